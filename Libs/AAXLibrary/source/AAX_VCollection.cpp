#include "AAX_VCollection.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"

#include <memory>

AAX_VCollection::AAX_VCollection(IACFUnknown* inHostUnknown) : mUnkHost(inHostUnknown), mDescriptionHost(inHostUnknown)
{
    ACFPtr<IACFComponentFactory> factory = AAX_AcquireComponentFactory(inHostUnknown);
    if (!factory)
        return;

    // A holder left empty means the host made no collection; every forwarding call then says so.
    factory->CreateComponent(AAXCompID_AAXCollection, nullptr, IID_IAAXCollectionV1, mIACFCollection.outArgument());
}

AAX_VCollection::~AAX_VCollection()
{
    for (AAX_IEffectDescriptor* descriptor : mEffectDescriptors)
        delete descriptor;
    for (AAX_IPropertyMap* map : mPropertyMaps)
        delete map;
    mEffectDescriptors.clear();
    mPropertyMaps.clear();
    // Then, by member order: the description host, the host's collection, the host itself.
}

AAX_IEffectDescriptor* AAX_VCollection::NewDescriptor()
{
    std::unique_ptr<AAX_VEffectDescriptor> descriptor(new AAX_VEffectDescriptor(mUnkHost.get()));
    mEffectDescriptors.insert(descriptor.get());
    return descriptor.release();
}

AAX_Result AAX_VCollection::AddEffect(const char* inEffectID, AAX_IEffectDescriptor* inEffectDescriptor)
{
    // Only descriptors made by a collection can be passed on: their host object is what the host needs.
    auto* const descriptor = dynamic_cast<AAX_VEffectDescriptor*>(inEffectDescriptor);
    if (!mIACFCollection || descriptor == nullptr)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->AddEffect(inEffectID, descriptor->GetIUnknown());
}

AAX_Result AAX_VCollection::SetManufacturerName(const char* inPackageName)
{
    return AAX_CallHost(mIACFCollection, &AAX_IACFCollection::SetManufacturerName, inPackageName);
}

AAX_Result AAX_VCollection::AddPackageName(const char* inPackageName)
{
    return AAX_CallHost(mIACFCollection, &AAX_IACFCollection::AddPackageName, inPackageName);
}

AAX_Result AAX_VCollection::SetPackageVersion(uint32_t inVersion)
{
    return AAX_CallHost(mIACFCollection, &AAX_IACFCollection::SetPackageVersion, inVersion);
}

AAX_IPropertyMap* AAX_VCollection::NewPropertyMap()
{
    std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(mUnkHost.get()));
    mPropertyMaps.insert(map.get());
    return map.release();
}

AAX_Result AAX_VCollection::SetProperties(AAX_IPropertyMap* inProperties)
{
    if (!mIACFCollection)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFCollection->SetProperties(inProperties != nullptr ? inProperties->GetIUnknown() : nullptr);
}

AAX_IDescriptionHost* AAX_VCollection::DescriptionHost()
{
    return mDescriptionHost.Supported() ? &mDescriptionHost : nullptr;
}

const AAX_IDescriptionHost* AAX_VCollection::DescriptionHost() const
{
    return mDescriptionHost.Supported() ? &mDescriptionHost : nullptr;
}

IACFDefinition* AAX_VCollection::HostDefinition() const
{
    return mDescriptionHost.HostDefinition();
}

IACFUnknown* AAX_VCollection::GetIUnknown() const
{
    return mIACFCollection.get();
}
