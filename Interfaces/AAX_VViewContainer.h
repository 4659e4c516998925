// Proxy of the host's view container: asks for versions 1 and 2 once when built and forwards each
// operation to the version that introduced it.
#pragma once

#include "AAX_IACFViewContainer.h"
#include "AAX_IViewContainer.h"
#include "ACFPtr.h"

class AAX_VViewContainer : public AAX_IViewContainer
{
public:
    explicit AAX_VViewContainer(IACFUnknown* pUnknown);
    ~AAX_VViewContainer() override;
    AAX_VViewContainer(const AAX_VViewContainer&) = delete;
    AAX_VViewContainer& operator=(const AAX_VViewContainer&) = delete;

    int32_t GetType() override;
    void* GetPtr() override;
    AAX_Result GetModifiers(uint32_t* outModifiers) override;
    AAX_Result SetViewSize(AAX_Point& inSize) override;
    AAX_Result HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers) override;
    AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                 uint32_t inModifiers) override;
    AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                 uint32_t inModifiers) override;
    AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                               uint32_t inModifiers) override;

private:
    // The destructor gives back version 1 first, then version 2.
    ACFPtr<AAX_IACFViewContainer> mViewContainerV1;
    ACFPtr<AAX_IACFViewContainer_V2> mViewContainerV2;
};
