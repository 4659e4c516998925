#include "HostPropertyMap.h"

#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration registration(
    {HostPropertyMap::kName, true, AAXCompID_AAXPropertyMap, {}, [](HostEnvironment& environment) -> HostObject* {
         return new HostPropertyMap(environment);
     }});

std::string propertyArg(AAX_EProperty property)
{
    return hostArg(static_cast<int32_t>(property));
}

// A getter's answer: 1 with the stored value copied out (where the caller gave room for it), or 0 where
// the map holds nothing for the property.
template <typename Values, typename Value>
AAX_CBoolean copyStoredValue(const Values& values, AAX_EProperty property, Value* out)
{
    const auto found = values.find(property);
    if (found == values.end())
        return 0;
    if (out != nullptr)
        *out = found->second;
    return 1;
}
} // namespace

HostPropertyMap::HostPropertyMap(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXPropertyMapV1"), mV2(*this, "IAAXPropertyMapV2"),
      mV3(*this, "IAAXPropertyMapV3")
{
}

AAX_CPropertyValue HostPropertyMap::property(AAX_EProperty property, AAX_CPropertyValue fallback) const
{
    const auto found = mProperties.find(property);
    return found != mProperties.end() ? found->second : fallback;
}

const void* HostPropertyMap::pointerProperty(AAX_EProperty property) const
{
    const auto found = mPointerProperties.find(property);
    return found != mPointerProperties.end() ? found->second : nullptr;
}

bool HostPropertyMap::hasInterface(const IACFUnknown* passed) const
{
    return passed == static_cast<const AAX_IACFPropertyMap*>(&mV1)
           || passed == static_cast<const AAX_IACFPropertyMap*>(&mV2)
           || passed == static_cast<const AAX_IACFPropertyMap*>(&mV3);
}

void* HostPropertyMap::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXPropertyMapV1)
        return static_cast<AAX_IACFPropertyMap*>(&mV1);
    if (interfaceID == IID_IAAXPropertyMapV2)
        return static_cast<AAX_IACFPropertyMap_V2*>(&mV2);
    if (interfaceID == IID_IAAXPropertyMapV3)
        return static_cast<AAX_IACFPropertyMap_V3*>(&mV3);
    return nullptr;
}

AAX_CBoolean HostPropertyMap::Facet::GetProperty(AAX_EProperty property, AAX_CPropertyValue* value) const
{
    if (call(3, {propertyArg(property), hostArg(static_cast<const void*>(value))}) != 0)
        return 0;
    return copyStoredValue(mMap.mProperties, property, value);
}

AAX_Result HostPropertyMap::Facet::AddProperty(AAX_EProperty property, AAX_CPropertyValue value)
{
    const AAX_Result result = call(4, {propertyArg(property), hostArg(value)});
    if (result == 0)
        mMap.mProperties[property] = value;
    return result;
}

AAX_Result HostPropertyMap::Facet::RemoveProperty(AAX_EProperty property)
{
    const AAX_Result result = call(5, {propertyArg(property)});
    if (result == 0)
    {
        mMap.mProperties.erase(property);
        mMap.mPointerProperties.erase(property);
        mMap.mIDArrayProperties.erase(property);
    }
    return result;
}

AAX_Result HostPropertyMap::Facet::AddPropertyWithIDArray(AAX_EProperty property, const AAX_SPlugInIdentifierTriad* ids,
                                                          uint32_t count)
{
    const AAX_Result result = call(6, {propertyArg(property), hostAddressArg(ids), hostArg(count)});
    if (result == 0)
        mMap.mIDArrayProperties[property] = ids != nullptr ? std::vector<AAX_SPlugInIdentifierTriad>(ids, ids + count)
                                                           : std::vector<AAX_SPlugInIdentifierTriad>();
    return result;
}

AAX_CBoolean HostPropertyMap::Facet::GetPropertyWithIDArray(AAX_EProperty property,
                                                            const AAX_SPlugInIdentifierTriad** ids,
                                                            uint32_t* count) const
{
    if (call(7,
             {propertyArg(property), hostArg(static_cast<const void*>(ids)), hostArg(static_cast<const void*>(count))})
        != 0)
        return 0;
    const auto found = mMap.mIDArrayProperties.find(property);
    if (found == mMap.mIDArrayProperties.end())
        return 0;
    if (ids != nullptr)
        *ids = found->second.data();
    if (count != nullptr)
        *count = static_cast<uint32_t>(found->second.size());
    return 1;
}

AAX_CBoolean HostPropertyMap::Facet::GetPointerProperty(AAX_EProperty property, const void** value) const
{
    if (call(8, {propertyArg(property), hostArg(static_cast<const void*>(value))}) != 0)
        return 0;
    return copyStoredValue(mMap.mPointerProperties, property, value);
}

AAX_Result HostPropertyMap::Facet::AddPointerProperty(AAX_EProperty property, const void* value)
{
    const AAX_Result result = call(9, {propertyArg(property), hostAddressArg(value)});
    if (result == 0)
        mMap.mPointerProperties[property] = value;
    return result;
}
