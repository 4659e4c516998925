#include "AAX_VAutomationDelegate.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"

AAX_VAutomationDelegate::AAX_VAutomationDelegate(IACFUnknown* hostUnknown)
{
    // A host that refuses leaves the holder empty; the result is not needed beyond that.
    if (hostUnknown != nullptr)
        hostUnknown->QueryInterface(IID_IAAXAutomationDelegateV1, mIAutomationDelegate.outArgument());
}

AAX_VAutomationDelegate::~AAX_VAutomationDelegate() = default;

AAX_Result AAX_VAutomationDelegate::RegisterParameter(AAX_CParamID parameterID)
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::RegisterParameter, parameterID);
}

AAX_Result AAX_VAutomationDelegate::UnregisterParameter(AAX_CParamID parameterID)
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::UnregisterParameter, parameterID);
}

AAX_Result AAX_VAutomationDelegate::PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::PostSetValueRequest, parameterID,
                        normalizedValue);
}

AAX_Result AAX_VAutomationDelegate::PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::PostCurrentValue, parameterID,
                        normalizedValue);
}

AAX_Result AAX_VAutomationDelegate::PostTouchRequest(AAX_CParamID parameterID)
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::PostTouchRequest, parameterID);
}

AAX_Result AAX_VAutomationDelegate::PostReleaseRequest(AAX_CParamID parameterID)
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::PostReleaseRequest, parameterID);
}

AAX_Result AAX_VAutomationDelegate::GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched)
{
    return AAX_CallHost(mIAutomationDelegate, &AAX_IACFAutomationDelegate::GetTouchState, parameterID, touched);
}
