#include "AAX_VDescriptionHost.h"

#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "AAX_VFeatureInfo.h"

AAX_VDescriptionHost::AAX_VDescriptionHost(IACFUnknown* inHostUnknown)
{
    if (inHostUnknown == nullptr)
        return;
    inHostUnknown->QueryInterface(IID_IAAXDescriptionHostV1, mIACFDescriptionHost.outArgument());
    inHostUnknown->QueryInterface(IID_IACFDefinition, mIACFDefinition.outArgument());
}

AAX_VDescriptionHost::~AAX_VDescriptionHost()
{
    mIACFDefinition.reset();
    mIACFDescriptionHost.reset();
}

AAX_IFeatureInfo* AAX_VDescriptionHost::AcquireFeatureProperties(const _acfUID& inFeatureID) const
{
    if (!mIACFDescriptionHost)
        return nullptr;

    // The host's reference on the stored feature object is ours to release; the proxy takes its own.
    ACFPtr<IACFUnknown> handedBack;
    const AAX_Result result = mIACFDescriptionHost->AcquireFeatureProperties(inFeatureID, &handedBack);
    if (result != AAX_SUCCESS || !handedBack)
        return nullptr;
    return new AAX_VFeatureInfo(handedBack.get(), inFeatureID);
}
