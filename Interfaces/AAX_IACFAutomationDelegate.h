// The host's automation interface (IID_IAAXAutomationDelegateV1).
#pragma once

#include "AAX.h"
#include "ACF/acfunknown.h"

class AAX_IACFAutomationDelegate : public IACFUnknown
{
public:
    virtual AAX_Result RegisterParameter(AAX_CParamID parameterID) = 0;                                 // method 3
    virtual AAX_Result UnregisterParameter(AAX_CParamID parameterID) = 0;                               // method 4
    virtual AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const = 0; // method 5
    virtual AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const = 0;    // method 6
    virtual AAX_Result PostTouchRequest(AAX_CParamID parameterID) = 0;                                  // method 7
    virtual AAX_Result PostReleaseRequest(AAX_CParamID parameterID) = 0;                                // method 8
    virtual AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) = 0;              // method 9

protected:
    ~AAX_IACFAutomationDelegate() = default;
};
