// Base class of a plug-in's GUI object. It turns the host's calls into a fixed sequence of calls to
// CreateViewContents, CreateViewContainer and DeleteViewContainer, which the plug-in supplies, keeps the
// proxies of the effect parameters, view container, controller and transport, and refreshes every
// parameter once a view is attached.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_GUITypes.h"
#include "AAX_IController.h"
#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "AAX_ITransport.h"
#include "AAX_IViewContainer.h"

#include <memory>

class AAX_CEffectGUI : public AAX_IEffectGUI
{
public:
    AAX_CEffectGUI();
    AAX_CEffectGUI(const AAX_CEffectGUI&) = delete;
    AAX_CEffectGUI& operator=(const AAX_CEffectGUI&) = delete;

    // Host operations, in the order of the host's table
    AAX_Result Initialize(IACFUnknown* iController) override;
    AAX_Result Uninitialize() override;
    AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inNotificationData,
                                    uint32_t inNotificationDataSize) override;
    AAX_Result SetViewContainer(IACFUnknown* iViewContainer) override;
    AAX_Result GetViewSize(AAX_Point* oViewSize) const override;
    AAX_Result Draw(AAX_Rect* iDrawRect) override;
    AAX_Result TimerWakeup() override;
    AAX_Result ParameterUpdated(AAX_CParamID inParamID) override;
    AAX_Result GetCustomLabel(AAX_EPlugInStrings iSelector, AAX_IString* oString) const override;
    AAX_Result SetControlHighlightInfo(AAX_CParamID iParameterID, AAX_CBoolean iIsHighlighted,
                                       AAX_EHighlightColor iColor) override;

    ACFRESULT InternalQueryInterface(const acfIID& riid, void** ppvObjOut) override;

    ~AAX_CEffectGUI() override;

protected:
    // Supplied by the plug-in: build the view contents (end of Initialize), attach the view to a new
    // container (SetViewContainer with a container), detach and discard it (SetViewContainer(null)).
    virtual void CreateViewContents() = 0;
    virtual void CreateViewContainer() = 0;
    virtual void DeleteViewContainer() = 0;
    // Calls ParameterUpdated for every parameter of the effect.
    virtual void UpdateAllParameters();

    AAX_IEffectParameters* GetEffectParameters() { return mEffectParameters; }
    const AAX_IEffectParameters* GetEffectParameters() const { return mEffectParameters; }
    AAX_IViewContainer* GetViewContainer() { return mViewContainer.get(); }
    const AAX_IViewContainer* GetViewContainer() const { return mViewContainer.get(); }
    // The container's type (an AAX_EViewContainer_Type value), 0 without a container.
    int32_t GetViewContainerType();
    // The host's native view, null without a container.
    void* GetViewContainerPtr();

private:
    // Gives back the effect parameters and deletes the controller and transport proxies (in that order).
    void ReleaseHostProxies();

    AAX_IController* mController;
    AAX_IEffectParameters* mEffectParameters; // one reference from QueryInterface
    std::unique_ptr<AAX_IViewContainer> mViewContainer;
    AAX_ITransport* mTransport;
};
