// The host-facing GUI interface: the host calls each method by its position in the table of functions
// (QueryInterface is 0), so the order below is the contract with the host.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_GUITypes.h"
#include "acfunknown.h"

class AAX_IString;

class AAX_IACFEffectGUI : public IACFUnknown
{
public:
    virtual AAX_Result Initialize(IACFUnknown* iController) = 0; // 3
    virtual AAX_Result Uninitialize() = 0;                       // 4
    virtual AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inNotificationData,
                                            uint32_t inNotificationDataSize) = 0;                    // 5
    virtual AAX_Result SetViewContainer(IACFUnknown* iViewContainer) = 0;                            // 6
    virtual AAX_Result GetViewSize(AAX_Point* oViewSize) const = 0;                                  // 7
    virtual AAX_Result Draw(AAX_Rect* iDrawRect) = 0;                                                // 8
    virtual AAX_Result TimerWakeup() = 0;                                                            // 9
    virtual AAX_Result ParameterUpdated(AAX_CParamID inParamID) = 0;                                 // 10
    virtual AAX_Result GetCustomLabel(AAX_EPlugInStrings iSelector, AAX_IString* oString) const = 0; // 11
    virtual AAX_Result SetControlHighlightInfo(AAX_CParamID iParameterID, AAX_CBoolean iIsHighlighted,
                                               AAX_EHighlightColor iColor) = 0; // 12

protected:
    ~AAX_IACFEffectGUI() = default;
};
