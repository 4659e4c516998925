#include "AAX_CHostServices.h"

#include "AAX_Errors.h"
#include "AAX_VHostServices.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace
{
// Written only by the startup and shutdown entry points; read from any thread in between.
AAX_VHostServices* sHostServices = nullptr;
} // namespace

void AAX_CHostServices::Set(IACFUnknown* hostUnknown)
{
    if (sHostServices == nullptr && hostUnknown != nullptr)
    {
        // A throwing constructor leaves nothing to free and nothing installed.
        sHostServices = new AAX_VHostServices(hostUnknown);
    }
    else if (sHostServices != nullptr && hostUnknown == nullptr)
    {
        std::unique_ptr<AAX_VHostServices> removed(sHostServices);
        sHostServices = nullptr;
    }
}

AAX_Result AAX_CHostServices::HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags)
{
    if (sHostServices == nullptr)
        return AAX_SUCCESS;
    return sHostServices->HandleAssertFailure(file, line, note, flags);
}

AAX_Result AAX_CHostServices::Trace(AAX_ETracePriorityHost priority, const char* format, ...)
{
    const AAX_VHostServices* const hostServices = sHostServices;
    if (hostServices == nullptr)
        return AAX_SUCCESS;

    if (format == nullptr)
        return AAX_ERROR_TRACE_FORMAT_FAILED;

    char message[512];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (written < 0)
        return AAX_ERROR_TRACE_FORMAT_FAILED;
    return hostServices->Trace(priority, message);
}
