#include "HostIdentifiers.h"

#include "AAX_UIDs.h"

#include <cstdio>

namespace
{
struct KnownIdentifier
{
    const _acfUID* identifier;
    const char* name;
};

const KnownIdentifier kKnownIdentifiers[] = {
    {&IID_IACFUnknown, "IID_IACFUnknown"},
    {&IID_IACFDefinition, "IID_IACFDefinition"},
    {&IID_IACFPluginDefinition, "IID_IACFPluginDefinition"},
    {&IID_IACFComponentFactory, "IID_IACFComponentFactory"},
    {&AAXCompID_HostServices, "AAXCompID_HostServices"},
    {&IID_IAAXHostServicesV1, "IID_IAAXHostServicesV1"},
    {&IID_IAAXHostServicesV2, "IID_IAAXHostServicesV2"},
    {&IID_IAAXHostServicesV3, "IID_IAAXHostServicesV3"},
    {&AAXCompID_AAXCollection, "AAXCompID_AAXCollection"},
    {&IID_IAAXCollectionV1, "IID_IAAXCollectionV1"},
    {&AAXCompID_AAXEffectDescriptor, "AAXCompID_AAXEffectDescriptor"},
    {&IID_IAAXEffectDescriptorV1, "IID_IAAXEffectDescriptorV1"},
    {&IID_IAAXEffectDescriptorV2, "IID_IAAXEffectDescriptorV2"},
    {&AAXCompID_AAXComponentDescriptor, "AAXCompID_AAXComponentDescriptor"},
    {&IID_IAAXComponentDescriptorV1, "IID_IAAXComponentDescriptorV1"},
    {&IID_IAAXComponentDescriptorV2, "IID_IAAXComponentDescriptorV2"},
    {&IID_IAAXComponentDescriptorV3, "IID_IAAXComponentDescriptorV3"},
    {&AAXCompID_AAXPropertyMap, "AAXCompID_AAXPropertyMap"},
    {&IID_IAAXPropertyMapV1, "IID_IAAXPropertyMapV1"},
    {&IID_IAAXPropertyMapV2, "IID_IAAXPropertyMapV2"},
    {&IID_IAAXPropertyMapV3, "IID_IAAXPropertyMapV3"},
    {&IID_IAAXDescriptionHostV1, "IID_IAAXDescriptionHostV1"},
    {&IID_IAAXFeatureInfoV1, "IID_IAAXFeatureInfoV1"},
    {&AAXATTR_ClientFeature_StemFormat, "AAXATTR_ClientFeature_StemFormat"},
    {&IID_IAAXAutomationDelegateV1, "IID_IAAXAutomationDelegateV1"},
    {&IID_IAAXControllerV1, "IID_IAAXControllerV1"},
    {&IID_IAAXControllerV2, "IID_IAAXControllerV2"},
    {&IID_IAAXControllerV3, "IID_IAAXControllerV3"},
    {&IID_IAAXPageTableController, "IID_IAAXPageTableController"},
    {&IID_IAAXPageTableControllerV2, "IID_IAAXPageTableControllerV2"},
    {&AAXCompID_PageTable, "AAXCompID_PageTable"},
    {&IID_IAAXPageTableV1, "IID_IAAXPageTableV1"},
    {&IID_IAAXPageTableV2, "IID_IAAXPageTableV2"},
    {&IID_IAAXViewContainerV1, "IID_IAAXViewContainerV1"},
    {&IID_IAAXViewContainerV2, "IID_IAAXViewContainerV2"},
    {&IID_IAAXTransportV1, "IID_IAAXTransportV1"},
    {&IID_IAAXTransportV2, "IID_IAAXTransportV2"},
    {&IID_IAAXTransportV3, "IID_IAAXTransportV3"},
    {&IID_IAAXEffectParametersV1, "IID_IAAXEffectParametersV1"},
    {&IID_IAAXEffectParametersV2, "IID_IAAXEffectParametersV2"},
    {&IID_IAAXEffectParametersV3, "IID_IAAXEffectParametersV3"},
    {&IID_IAAXEffectParametersV4, "IID_IAAXEffectParametersV4"},
    {&IID_IAAXEffectGUIV1, "IID_IAAXEffectGUIV1"},
};
} // namespace

std::string hostIdentifierText(const _acfUID& id)
{
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", unsigned(id.Data1),
                  unsigned(id.Data2), unsigned(id.Data3), id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
                  id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

std::string hostIdentifierName(const _acfUID& identifier)
{
    for (const KnownIdentifier& known : kKnownIdentifiers)
        if (*known.identifier == identifier)
            return known.name;
    return hostIdentifierText(identifier);
}
