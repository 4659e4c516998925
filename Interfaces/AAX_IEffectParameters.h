// The plug-in's effect object as handed to the host: the host-facing interface (first base, so its table
// is the object's primary table) joined with reference counting (CACFUnknown).
#pragma once

#include "AAX_IACFEffectParameters.h"
#include "CACFUnknown.h"

class AAX_IEffectParameters : public AAX_IACFEffectParameters_V4, public CACFUnknown
{
public:
    ACF_DELEGATE_UNKNOWN_TO_OUTER

    // Answers the four effect-parameters interface versions with this object; the rest goes to
    // CACFUnknown.
    ACFRESULT InternalQueryInterface(const acfIID& riid, void** ppvObjOut) override;

    ~AAX_IEffectParameters() override {}
};
