// The host's host-services component (AAXCompID_HostServices), versions 1 to 3 (IID_IAAXHostServicesV1..V3).
// Every method only logs its call and returns the injected result (default 0).
#pragma once

#include "AAX_IACFHostServices.h"
#include "HostObject.h"

class HostServices : public HostObject
{
public:
    static constexpr const char* kName = "HostServices";

    explicit HostServices(HostEnvironment& environment);

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    // One facet per version; all implement the newest table, which begins with the older ones.
    class Facet final : public HostFacet<AAX_IACFHostServices_V3>
    {
    public:
        Facet(HostServices& owner, const char* interfaceName) : HostFacet(owner, interfaceName) {}
        AAX_Result Assert(const char* file, int32_t line, const char* note) override;
        AAX_Result Trace(int32_t priority, const char* message) override;
        AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) override;
        AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) override;
    };

    Facet mV1;
    Facet mV2;
    Facet mV3;
};
