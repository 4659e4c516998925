#include "HostViewContainer.h"

#include "AAX_UIDs.h"
#include "HostDescriptionSupport.h"

HostViewContainer::HostViewContainer(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXViewContainerV1"), mV2(*this, "IAAXViewContainerV2")
{
}

AAX_Point HostViewContainer::viewSize() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mViewSize;
}

void* HostViewContainer::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXViewContainerV1)
        return static_cast<AAX_IACFViewContainer*>(&mV1);
    if (interfaceID == IID_IAAXViewContainerV2)
        return static_cast<AAX_IACFViewContainer_V2*>(&mV2);
    return nullptr;
}

int32_t HostViewContainer::Facet::GetType()
{
    call(3, {});
    return mContainer.mType;
}

void* HostViewContainer::Facet::GetPtr()
{
    call(4, {});
    return mContainer.mNativeView;
}

AAX_Result HostViewContainer::Facet::GetModifiers(uint32_t* modifiers)
{
    return callAndAnswer(5, {hostAddressArg(modifiers)}, modifiers, mContainer.mModifiers);
}

AAX_Result HostViewContainer::Facet::SetViewSize(AAX_Point& size)
{
    std::lock_guard<std::mutex> lock(mContainer.mMutex);
    return callAndAnswer(6, {hostAddressArg(&size)}, &mContainer.mViewSize, size);
}

AAX_Result HostViewContainer::Facet::HandleParameterMouseDown(AAX_CParamID id, uint32_t modifiers)
{
    return call(7, {hostArg(id), hostArg(modifiers)});
}

AAX_Result HostViewContainer::Facet::HandleParameterMouseDrag(AAX_CParamID id, uint32_t modifiers)
{
    return call(8, {hostArg(id), hostArg(modifiers)});
}

AAX_Result HostViewContainer::Facet::HandleParameterMouseUp(AAX_CParamID id, uint32_t modifiers)
{
    return call(9, {hostArg(id), hostArg(modifiers)});
}

AAX_Result HostViewContainer::Facet::HandleMultipleParametersMouseDown(const AAX_CParamID* ids, uint32_t count,
                                                                       uint32_t modifiers)
{
    return call(10, {hostAddressArg(ids), hostArg(count), hostArg(modifiers)});
}

AAX_Result HostViewContainer::Facet::HandleMultipleParametersMouseDrag(const AAX_CParamID* ids, uint32_t count,
                                                                       uint32_t modifiers)
{
    return call(11, {hostAddressArg(ids), hostArg(count), hostArg(modifiers)});
}

AAX_Result HostViewContainer::Facet::HandleMultipleParametersMouseUp(const AAX_CParamID* ids, uint32_t count,
                                                                     uint32_t modifiers)
{
    return call(12, {hostAddressArg(ids), hostArg(count), hostArg(modifiers)});
}
