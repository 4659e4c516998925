#include "AAX_VViewContainer.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"

AAX_VViewContainer::AAX_VViewContainer(IACFUnknown* pUnknown)
{
    if (pUnknown == nullptr)
        return;
    pUnknown->QueryInterface(IID_IAAXViewContainerV1, mViewContainerV1.outArgument());
    pUnknown->QueryInterface(IID_IAAXViewContainerV2, mViewContainerV2.outArgument());
}

AAX_VViewContainer::~AAX_VViewContainer()
{
    mViewContainerV1.reset();
    mViewContainerV2.reset();
}

int32_t AAX_VViewContainer::GetType()
{
    return AAX_CallHostOr<int32_t>(0, mViewContainerV1, &AAX_IACFViewContainer::GetType);
}

void* AAX_VViewContainer::GetPtr()
{
    return AAX_CallHostOr<void*>(nullptr, mViewContainerV1, &AAX_IACFViewContainer::GetPtr);
}

AAX_Result AAX_VViewContainer::GetModifiers(uint32_t* outModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV1, &AAX_IACFViewContainer::GetModifiers, outModifiers);
}

AAX_Result AAX_VViewContainer::SetViewSize(AAX_Point& inSize)
{
    // Without a container no size was accepted: the window must not take a size nobody shows.
    return AAX_CallHostOrUnimplemented(mViewContainerV1, &AAX_IACFViewContainer::SetViewSize, inSize);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV1, &AAX_IACFViewContainer::HandleParameterMouseDown, inParamID,
                                       inModifiers);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV1, &AAX_IACFViewContainer::HandleParameterMouseDrag, inParamID,
                                       inModifiers);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV1, &AAX_IACFViewContainer::HandleParameterMouseUp, inParamID,
                                       inModifiers);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseDown(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                                 uint32_t inModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV2, &AAX_IACFViewContainer_V2::HandleMultipleParametersMouseDown,
                                       inParamIDs, inNumOfParams, inModifiers);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseDrag(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                                 uint32_t inModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV2, &AAX_IACFViewContainer_V2::HandleMultipleParametersMouseDrag,
                                       inParamIDs, inNumOfParams, inModifiers);
}

AAX_Result AAX_VViewContainer::HandleMultipleParametersMouseUp(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                               uint32_t inModifiers)
{
    return AAX_CallHostOrUnimplemented(mViewContainerV2, &AAX_IACFViewContainer_V2::HandleMultipleParametersMouseUp,
                                       inParamIDs, inNumOfParams, inModifiers);
}
