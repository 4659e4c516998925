#include "AAX_VHostServices.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "ACF/acfbaseapi.h"

AAX_VHostServices::AAX_VHostServices(IACFUnknown* hostUnknown)
{
    if (hostUnknown == nullptr)
        return;

    ACFPtr<IACFComponentFactory> factory;
    if (hostUnknown->QueryInterface(IID_IACFComponentFactory, factory.outArgument()) != ACF_OK)
        return;

    // The results are not checked: a version the host does not offer leaves its holder empty. An empty
    // factory throws ACF_E_POINTER at the first call, before anything is created.
    factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV1, mIACFHostServices.outArgument());
    factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV2,
                             mIACFHostServicesV2.outArgument());
    factory->CreateComponent(AAXCompID_HostServices, nullptr, IID_IAAXHostServicesV3,
                             mIACFHostServicesV3.outArgument());
}

AAX_VHostServices::~AAX_VHostServices()
{
    // Newest version first.
    mIACFHostServicesV3.reset();
    mIACFHostServicesV2.reset();
    mIACFHostServices.reset();
}

AAX_Result AAX_VHostServices::HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) const
{
    return AAX_CallHost(mIACFHostServicesV3, &AAX_IACFHostServices_V3::HandleAssertFailure, file, line, note, flags);
}

AAX_Result AAX_VHostServices::Trace(int32_t priority, const char* message) const
{
    return AAX_CallHost(mIACFHostServices, &AAX_IACFHostServices::Trace, priority, message);
}

AAX_Result AAX_VHostServices::StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) const
{
    if (!mIACFHostServicesV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFHostServicesV2->StackTrace(tracePriority, stackTracePriority, message);
}
