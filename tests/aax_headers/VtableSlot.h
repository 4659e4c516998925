// Position of a virtual function in its class's table of functions, read from a pointer to member
// function. Under the Itanium C++ ABI (GCC and Clang on Linux and macOS) such a pointer to a virtual
// function holds 1 + the byte offset of its entry in the table; a destructor takes two entries.
#pragma once

#include <cstddef>
#include <cstring>

#if !defined(__GXX_ABI_VERSION)
#error "These checks read Itanium C++ ABI pointers to member functions"
#endif

template <typename MemberFunctionPointer>
long VtableSlot(MemberFunctionPointer function)
{
    static_assert(sizeof(MemberFunctionPointer) == 2 * sizeof(void*), "not a pointer to member function");
    std::ptrdiff_t encoded = 0;
    std::memcpy(&encoded, &function, sizeof(encoded));
    if ((encoded & 1) == 0)
        return -1; // not virtual
    return static_cast<long>((encoded - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}
