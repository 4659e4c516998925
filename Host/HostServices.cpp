#include "HostServices.h"

#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"

namespace
{
const HostComponentRegistration registration(
    {HostServices::kName, true, AAXCompID_HostServices, {}, [](HostEnvironment& environment) -> HostObject* {
         return new HostServices(environment);
     }});
} // namespace

HostServices::HostServices(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXHostServicesV1"), mV2(*this, "IAAXHostServicesV2"),
      mV3(*this, "IAAXHostServicesV3")
{
}

void* HostServices::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXHostServicesV1)
        return static_cast<AAX_IACFHostServices*>(&mV1);
    if (interfaceID == IID_IAAXHostServicesV2)
        return static_cast<AAX_IACFHostServices_V2*>(&mV2);
    if (interfaceID == IID_IAAXHostServicesV3)
        return static_cast<AAX_IACFHostServices_V3*>(&mV3);
    return nullptr;
}

AAX_Result HostServices::Facet::Assert(const char* file, int32_t line, const char* note)
{
    return call(3, {hostArg(file), hostArg(line), hostArg(note)});
}

AAX_Result HostServices::Facet::Trace(int32_t priority, const char* message)
{
    return call(4, {hostArg(priority), hostArg(message)});
}

AAX_Result HostServices::Facet::StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message)
{
    return call(5, {hostArg(tracePriority), hostArg(stackTracePriority), hostArg(message)});
}

AAX_Result HostServices::Facet::HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags)
{
    return call(6, {hostArg(file), hostArg(line), hostArg(note), hostArg(flags)});
}
