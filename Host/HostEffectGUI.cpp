#include "HostEffectGUI.h"

#include "AAX_UIDs.h"
#include "HostError.h"
#include "HostInstance.h"
#include "HostPlugIn.h"

HostEffectGUI::HostEffectGUI(const HostPlugIn& plugIn, HostInstance& instance)
    : mContext(makeHostObject<HostContext>(plugIn.environment()))
{
    mGUI = static_cast<AAX_IACFEffectGUI*>(
        plugIn.createObject(kAAX_ProcPtrID_Create_EffectGUI, IID_IAAXEffectGUIV1, "its GUI"));

    mContext->setEffect(&instance.effect());
    const AAX_Result initialized = mGUI->Initialize(mContext->unknown());
    mInitialized = true;
    if (initialized != 0)
    {
        close();
        throw HostError("the plug-in's GUI refused to initialise (" + hostResultText(initialized) + ")");
    }
}

HostEffectGUI::~HostEffectGUI()
{
    close();
}

void HostEffectGUI::close()
{
    if (mGUI == nullptr)
        return;
    detach();
    if (mInitialized)
        mGUI->Uninitialize();
    mGUI->Release();
    mGUI = nullptr;
    mContext->setEffect(nullptr);
}

AAX_Point HostEffectGUI::viewSize() const
{
    AAX_Point size;
    if (mGUI->GetViewSize(&size) != 0)
        return {};
    return size;
}

AAX_Result HostEffectGUI::attach(int32_t containerType, void* nativeView)
{
    HostRef<HostViewContainer> container = makeHostObject<HostViewContainer>(mContext->environment());
    container->setType(containerType);
    container->setNativeView(nativeView);
    const AAX_Result result = mGUI->SetViewContainer(container->unknown());
    mContainer = container;
    return result;
}

AAX_Result HostEffectGUI::detach()
{
    if (!mContainer)
        return 0;
    const AAX_Result result = mGUI->SetViewContainer(nullptr);
    mContainer.reset();
    return result;
}
