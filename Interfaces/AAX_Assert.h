// Assertions and traces go to the host; they never stop execution.
#pragma once

#include "AAX_CHostServices.h"

// On a false condition, reports the source file, the line and the condition's text to the host (flags 1)
// and carries on.
#define AAX_ASSERT(condition)                                                                   \
	do                                                                                          \
	{                                                                                           \
		if (!(condition))                                                                       \
			(void)AAX_CHostServices::HandleAssertFailure(__FILE__, __LINE__, #condition, 1);   \
	} while (false)

// Sends a printf-style message to the host with the given AAX_ETracePriorityHost.
#define AAX_TRACE(priority, ...) ((void)AAX_CHostServices::Trace((priority), __VA_ARGS__))
#define AAX_TRACE_RELEASE(priority, ...) AAX_TRACE(priority, __VA_ARGS__)
