// Proxy of the host's automation interface: forwards every call unchanged.
#pragma once

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IAutomationDelegate.h"
#include "ACF/ACFPtr.h"

class AAX_VAutomationDelegate : public AAX_IAutomationDelegate
{
public:
    // Asks hostUnknown (may be null) for IID_IAAXAutomationDelegateV1. Without it every operation
    // returns AAX_ERROR_NULL_OBJECT and calls nothing.
    explicit AAX_VAutomationDelegate(IACFUnknown* hostUnknown);
    ~AAX_VAutomationDelegate() override;

    AAX_VAutomationDelegate(const AAX_VAutomationDelegate&) = delete;
    AAX_VAutomationDelegate& operator=(const AAX_VAutomationDelegate&) = delete;

    AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
    AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
    AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const override;
    AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const override;
    AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
    AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
    AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) override;

private:
    ACFPtr<AAX_IACFAutomationDelegate> mIAutomationDelegate;
};
