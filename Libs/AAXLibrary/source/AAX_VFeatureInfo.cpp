#include "AAX_VFeatureInfo.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "AAX_VPropertyMap.h"

AAX_VFeatureInfo::AAX_VFeatureInfo(IACFUnknown* inFeature, const _acfUID& inFeatureID) : mFeatureID(inFeatureID)
{
    if (inFeature != nullptr)
        inFeature->QueryInterface(IID_IAAXFeatureInfoV1, mIACFFeatureInfo.outArgument());
}

AAX_VFeatureInfo::~AAX_VFeatureInfo()
{
    mIACFFeatureInfo.reset();
}

AAX_Result AAX_VFeatureInfo::SupportLevel(AAX_ESupportLevel& outSupportLevel) const
{
    return AAX_CallHost(mIACFFeatureInfo, &AAX_IACFFeatureInfo::SupportLevel, outSupportLevel);
}

AAX_IPropertyMap* AAX_VFeatureInfo::AcquireProperties() const
{
    if (!mIACFFeatureInfo)
        return nullptr;

    // The host's reference on the stored map is ours to release; the new proxy takes its own.
    ACFPtr<IACFUnknown> handedBack;
    const AAX_Result result = mIACFFeatureInfo->AcquireProperties(&handedBack);
    if (result != AAX_SUCCESS || !handedBack)
        return nullptr;
    return AAX_VPropertyMap::Acquire(handedBack.get());
}
