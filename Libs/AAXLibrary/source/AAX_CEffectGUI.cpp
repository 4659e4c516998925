#include "AAX_CEffectGUI.h"

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "AAX_HostBoundary.h"
#include "AAX_Init.h"
#include "AAX_UIDs.h"
#include "AAX_VController.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"

AAX_CEffectGUI::AAX_CEffectGUI() : mController(nullptr), mEffectParameters(nullptr), mTransport(nullptr) {}

AAX_CEffectGUI::~AAX_CEffectGUI()
{
    // The derived part is gone by now: only what the base holds is given back.
    ReleaseHostProxies();
    mViewContainer.reset();
}

AAX_Result AAX_CEffectGUI::Initialize(IACFUnknown* iController)
{
    return AAX_AnswerHost([this, iController] {
        // Called again without Uninitialize: the earlier proxies go first.
        ReleaseHostProxies();
        mController = new AAX_VController(iController);
        if (iController == nullptr)
            return AAX_Result(AAX_ERROR_NOT_INITIALIZED);

        // A refused query leaves the member null; only an answered query carries a reference.
        void* effectParameters = nullptr;
        if (iController->QueryInterface(IID_IAAXEffectParametersV1, &effectParameters) == ACF_OK)
            mEffectParameters =
                static_cast<AAX_IEffectParameters*>(static_cast<AAX_IACFEffectParameters*>(effectParameters));
        mTransport = new AAX_VTransport(iController);
        CreateViewContents();
        return AAX_Result(AAX_SUCCESS);
    });
}

AAX_Result AAX_CEffectGUI::Uninitialize()
{
    // The proxies go even when detaching the view failed.
    const AAX_Result result =
        mViewContainer ? AAX_AnswerHost([this] { return this->SetViewContainer(nullptr); }) : AAX_Result(AAX_SUCCESS);
    ReleaseHostProxies();
    return result;
}

AAX_Result AAX_CEffectGUI::NotificationReceived(AAX_CTypeID /*inNotificationType*/, const void* /*inNotificationData*/,
                                                uint32_t /*inNotificationDataSize*/)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(IACFUnknown* iViewContainer)
{
    if (iViewContainer == nullptr)
    {
        // The container goes even when the plug-in's detaching failed.
        const AAX_Result result = AAX_AnswerHost([this] {
            DeleteViewContainer();
            return AAX_Result(AAX_SUCCESS);
        });
        mViewContainer.reset();
        return result;
    }
    return AAX_AnswerHost([this, iViewContainer] {
        mViewContainer.reset(new AAX_VViewContainer(iViewContainer));
        CreateViewContainer();
        UpdateAllParameters();
        return AAX_Result(AAX_SUCCESS);
    });
}

AAX_Result AAX_CEffectGUI::GetViewSize(AAX_Point* /*oViewSize*/) const
{
    // The base has no view and so no size; a GUI with a view answers for itself.
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectGUI::Draw(AAX_Rect* /*iDrawRect*/)
{
    return AAX_SUCCESS;
}

// Weak: a plug-in's own definition takes its place.
__attribute__((weak)) void AAXPlatformGUITimerWakeup() {}

AAX_Result AAX_CEffectGUI::TimerWakeup()
{
    // Where the host's run loop does not dispatch the window's events, its GUI timer lends the time for them.
    return AAX_AnswerHost([] {
        AAXPlatformGUITimerWakeup();
        return AAX_Result(AAX_SUCCESS);
    });
}

AAX_Result AAX_CEffectGUI::ParameterUpdated(AAX_CParamID /*inParamID*/)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetCustomLabel(AAX_EPlugInStrings /*iSelector*/, AAX_IString* /*oString*/) const
{
    return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_CEffectGUI::SetControlHighlightInfo(AAX_CParamID /*iParameterID*/, AAX_CBoolean /*iIsHighlighted*/,
                                                   AAX_EHighlightColor /*iColor*/)
{
    return AAX_SUCCESS;
}

ACFRESULT AAX_CEffectGUI::InternalQueryInterface(const acfIID& riid, void** ppvObjOut)
{
    return AAX_IEffectGUI::InternalQueryInterface(riid, ppvObjOut);
}

void AAX_CEffectGUI::UpdateAllParameters()
{
    if (mEffectParameters == nullptr)
        return;
    int32_t count = 0;
    if (mEffectParameters->GetNumberOfParameters(&count) != AAX_SUCCESS || count < 0)
        return;
    for (int32_t index = 0; index < count; ++index)
    {
        AAX_CString parameterID;
        if (mEffectParameters->GetParameterIDFromIndex(index, &parameterID) == AAX_SUCCESS)
            ParameterUpdated(parameterID.Get());
    }
}

int32_t AAX_CEffectGUI::GetViewContainerType()
{
    return mViewContainer ? mViewContainer->GetType() : 0;
}

void* AAX_CEffectGUI::GetViewContainerPtr()
{
    return mViewContainer ? mViewContainer->GetPtr() : nullptr;
}

void AAX_CEffectGUI::ReleaseHostProxies()
{
    if (mEffectParameters != nullptr)
        mEffectParameters->Release();
    mEffectParameters = nullptr;
    delete mController;
    mController = nullptr;
    delete mTransport;
    mTransport = nullptr;
}
