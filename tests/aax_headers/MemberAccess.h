// Reads the position and type of a class's data members, private ones included, without touching the
// class. An explicit template instantiation may name private members, so PrivateMember hands the member
// pointer out through a friend function that the tag type declares. The tag fixes the member's type: a
// member of another type does not convert and the test does not compile.
#pragma once

#include <cstddef>
#include <cstring>

#if !defined(__GXX_ABI_VERSION)
#error "These checks read Itanium C++ ABI pointers to data members"
#endif

template <typename Tag, typename Tag::type Member>
struct PrivateMember
{
    friend constexpr typename Tag::type memberPointer(Tag) { return Member; }
};

// Declares the tag TagName for member `member` of type MemberType in Class (Class and MemberType must be
// single tokens or aliases).
#define KELVANE_MEMBER(TagName, Class, MemberType, member)            \
    struct TagName                                                    \
    {                                                                 \
        using type = MemberType Class::*;                             \
        friend constexpr type memberPointer(TagName);                 \
    };                                                                \
    template struct PrivateMember<TagName, &Class::member>

// Byte offset of a member inside its class: under the Itanium C++ ABI a pointer to a data member holds
// exactly that offset.
template <typename Tag>
std::ptrdiff_t MemberOffset()
{
    const auto pointer = memberPointer(Tag{});
    static_assert(sizeof(pointer) == sizeof(std::ptrdiff_t), "not a pointer to a data member");
    std::ptrdiff_t offset = 0;
    std::memcpy(&offset, &pointer, sizeof(offset));
    return offset;
}

// True when the members lie in memory in the order given.
template <typename... Tags>
bool MembersInOrder()
{
    const std::ptrdiff_t offsets[] = {MemberOffset<Tags>()...};
    for (std::size_t i = 1; i < sizeof...(Tags); ++i)
        if (offsets[i] <= offsets[i - 1])
            return false;
    return true;
}
