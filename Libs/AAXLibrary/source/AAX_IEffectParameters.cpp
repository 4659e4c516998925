#include "AAX_IEffectParameters.h"

#include "AAX_UIDs.h"

ACFRESULT AAX_IEffectParameters::InternalQueryInterface(const acfIID& riid, void** ppvObjOut)
{
    if (ppvObjOut != nullptr
        && (riid == IID_IAAXEffectParametersV1 || riid == IID_IAAXEffectParametersV2
            || riid == IID_IAAXEffectParametersV3 || riid == IID_IAAXEffectParametersV4))
    {
        // Every version's table begins the newest one, so one pointer answers all four.
        *ppvObjOut = static_cast<AAX_IACFEffectParameters_V4*>(this);
        AddRef();
        return ACF_OK;
    }
    return CACFUnknown::InternalQueryInterface(riid, ppvObjOut);
}
