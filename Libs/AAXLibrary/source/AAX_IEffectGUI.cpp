#include "AAX_IEffectGUI.h"

#include "AAX_UIDs.h"

ACFRESULT AAX_IEffectGUI::InternalQueryInterface(const acfIID& riid, void** ppvObjOut)
{
    if (riid == IID_IAAXEffectGUIV1 && ppvObjOut != nullptr)
    {
        *ppvObjOut = static_cast<AAX_IACFEffectGUI*>(this);
        AddRef();
        return ACF_OK;
    }
    return CACFUnknown::InternalQueryInterface(riid, ppvObjOut);
}
