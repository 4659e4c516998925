// Assertions and traces go to the host; they never stop execution.
#pragma once

#include "AAX_CHostServices.h"

// On a false condition, reports the source file, the line and the condition's text to the host (flags 1)
// and carries on.
#define AAX_ASSERT(condition) AAX_ASSERT_REPORT(__LINE__, condition, #condition)

// The same, reporting the given line instead of the one it stands on: for assertions whose reported place
// is fixed, so that editing the file around them does not move it.
#define AAX_ASSERT_AT(line, condition) AAX_ASSERT_REPORT(line, condition, #condition)

// The condition's text is taken by the two forms above, before any macro in it is expanded.
#define AAX_ASSERT_REPORT(line, condition, text)                                                                       \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(condition))                                                                                              \
            (void)AAX_CHostServices::HandleAssertFailure(__FILE__, (line), (text), 1);                                 \
    } while (false)

// Sends a printf-style message to the host with the given AAX_ETracePriorityHost.
#define AAX_TRACE(priority, ...) ((void)AAX_CHostServices::Trace((priority), __VA_ARGS__))
#define AAX_TRACE_RELEASE(priority, ...) AAX_TRACE(priority, __VA_ARGS__)
