// The plug-in's GUI object as handed to the host: the host-facing interface (first base, so its table is
// the object's primary table) joined with reference counting (CACFUnknown).
#pragma once

#include "AAX_IACFEffectGUI.h"
#include "CACFUnknown.h"

class AAX_IEffectGUI : public AAX_IACFEffectGUI, public CACFUnknown
{
public:
    ACF_DELEGATE_UNKNOWN_TO_OUTER

    // Answers the GUI interface with this object; the rest goes to CACFUnknown.
    ACFRESULT InternalQueryInterface(const acfIID& riid, void** ppvObjOut) override;

    ~AAX_IEffectGUI() override {}
};
