// Result type, argument types and constness of a member function, read from its pointer.
#pragma once

#include <tuple>
#include <type_traits>

template <typename MemberFunctionPointer>
struct Operation;

template <typename Class, typename R, typename... A>
struct Operation<R (Class::*)(A...)>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
    static constexpr bool isConst = false;
};

template <typename Class, typename R, typename... A>
struct Operation<R (Class::*)(A...) const>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
    static constexpr bool isConst = true;
};

// True when the operation takes exactly these arguments.
template <auto member, typename... A>
constexpr bool Takes()
{
    return std::is_same_v<typename Operation<decltype(member)>::Arguments, std::tuple<A...>>;
}

template <auto member, typename R>
constexpr bool Returns()
{
    return std::is_same_v<typename Operation<decltype(member)>::Result, R>;
}

template <auto member>
constexpr bool IsConst()
{
    return Operation<decltype(member)>::isConst;
}
