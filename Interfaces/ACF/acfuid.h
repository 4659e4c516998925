// The 16-byte identifier by which interfaces and host components are named.
#pragma once

#include "acfbasetypes.h"

#include <cstring>

struct _acfUID
{
    acfUInt32 Data1;
    acfUInt16 Data2;
    acfUInt16 Data3;
    acfUInt8 Data4[8];
};

typedef _acfUID acfUID;
typedef _acfUID acfIID;
typedef _acfUID acfCLSID;

// Two identifiers are equal when all four fields agree.
inline bool IsEqualACFUID(const _acfUID& a, const _acfUID& b) noexcept
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3
           && std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

inline bool operator==(const _acfUID& a, const _acfUID& b) noexcept
{
    return IsEqualACFUID(a, b);
}
inline bool operator!=(const _acfUID& a, const _acfUID& b) noexcept
{
    return !IsEqualACFUID(a, b);
}

// Defines an identifier constant from its textual form XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, written as
// (0xXXXXXXXX, 0xXXXX, 0xXXXX, 0xXX, 0xXX, 0xXX, 0xXX, 0xXX, 0xXX, 0xXX, 0xXX). One definition for the
// whole program, usable from any number of translation units.
#define ACF_DEFINE_UID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                                                \
    inline constexpr _acfUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
