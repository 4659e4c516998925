// Process-wide access to the host's host services. Installed by the startup entry point and removed by the
// shutdown entry point; every call does nothing (and returns 0) while nothing is installed.
#pragma once

#include "AAX.h"

class IACFUnknown;

class AAX_CHostServices
{
public:
    AAX_CHostServices() = delete;

    // Not null while nothing is installed: install. Null while installed: remove. Otherwise nothing
    // happens (a second installation keeps the first). Lets the proxy's exception pass, installing nothing.
    static void Set(IACFUnknown* hostUnknown);

    static AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags);

    // printf-style; formatted on the stack into 512 bytes (longer messages are cut at 511 characters).
    // Returns -20051 when formatting fails; the format is not evaluated while nothing is installed.
    static AAX_Result Trace(AAX_ETracePriorityHost priority, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
};
