// How the library's host-facing base classes keep exceptions from reaching the host.
#pragma once

#include "AAX.h"
#include "AAX_Errors.h"
#include "AAX_Exception.h"

// Runs one host-facing operation: its result, or a failure code when it throws (a failed checked result
// keeps its own code; anything else, running out of memory included, is AAX_ERROR_UNKNOWN_EXCEPTION).
template <typename Operation>
AAX_Result AAX_AnswerHost(Operation&& operation) noexcept
{
    try
    {
        return operation();
    }
    catch (const AAX::Exception::ResultError& error)
    {
        return error.Result() != AAX_SUCCESS ? error.Result() : AAX_ERROR_UNKNOWN_EXCEPTION;
    }
    catch (...)
    {
        return AAX_ERROR_UNKNOWN_EXCEPTION;
    }
}
