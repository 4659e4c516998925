// Proxy of the host's host-services interfaces, versions 1 to 3.
#pragma once

#include "AAX_IACFHostServices.h"
#include "AAX_IHostServices.h"
#include "ACF/ACFPtr.h"

class AAX_VHostServices : public AAX_IHostServices
{
public:
    // Creates the three versions through the host's component factory. Throws ACF_E_POINTER (an ACFRESULT)
    // when the host claims to offer the factory but hands back nothing.
    explicit AAX_VHostServices(IACFUnknown* hostUnknown);
    ~AAX_VHostServices() override;

    AAX_VHostServices(const AAX_VHostServices&) = delete;
    AAX_VHostServices& operator=(const AAX_VHostServices&) = delete;

    // V3 method 6; AAX_ERROR_NULL_OBJECT without V3.
    AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) const override;
    // V1 method 4; AAX_ERROR_NULL_OBJECT without V1.
    AAX_Result Trace(int32_t priority, const char* message) const override;
    // V2 method 5; AAX_ERROR_UNIMPLEMENTED without V2.
    AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) const override;

private:
    ACFPtr<AAX_IACFHostServices> mIACFHostServices;
    ACFPtr<AAX_IACFHostServices_V2> mIACFHostServicesV2;
    ACFPtr<AAX_IACFHostServices_V3> mIACFHostServicesV3;
};
