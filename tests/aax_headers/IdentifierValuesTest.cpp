// The identifiers by which the host answers interfaces and makes components.
#include "AAX_UIDs.h"
#include "ACF/acfuids.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

namespace
{
TEST(Identifiers, EveryIdentifierHasItsValue)
{
    const std::pair<const _acfUID*, const char*> identifiers[] = {
        {&IID_IACFUnknown, "00000000-0000-0000-C000-000000000046"},
        {&IID_IACFDefinition, "E51741F1-7FCF-11D6-AAC3-00306542A024"},
        {&IID_IACFPluginDefinition, "00EEF015-7FD0-11D6-8485-00306542A024"},
        {&IID_IACFComponentFactory, "382B6A96-7FD0-11D6-BCFE-00306542A024"},
        {&AAXCompID_HostServices, "88882C2D-EBBC-42EF-C0AB-8981B0BD0CCA"},
        {&IID_IAAXHostServicesV1, "96D42C2D-EBBC-41EF-B0AB-9991A0ED0CCA"},
        {&IID_IAAXHostServicesV2, "A207EE9E-B442-11E4-A71E-12E3F512A338"},
        {&IID_IAAXHostServicesV3, "12BEA399-9A4F-4353-8098-3916FA71898D"},
        {&AAXCompID_AAXCollection, "89882C2D-77BC-42EF-707B-7981B7BD0CCA"},
        {&IID_IAAXCollectionV1, "96D42C2D-EBBC-41DF-B1AB-9991A2EE0CCA"},
        {&AAXCompID_AAXEffectDescriptor, "89872C2D-75BC-423F-401B-F9A1BAAD0CCA"},
        {&IID_IAAXEffectDescriptorV1, "96D42C2D-EBBC-41EF-D1CB-499442E40FDA"},
        {&IID_IAAXEffectDescriptorV2, "41ECCC52-416B-4072-84BD-40B05210A74C"},
        {&AAXCompID_AAXComponentDescriptor, "94872C3D-95BC-413D-D0DB-D9B12AAD0CCA"},
        {&IID_IAAXComponentDescriptorV1, "96E42C2D-E2BC-51EF-61C7-48994AEB0CDA"},
        {&IID_IAAXComponentDescriptorV2, "1895259E-AAA9-4F0F-A985-149837B76F89"},
        {&IID_IAAXComponentDescriptorV3, "979CFCD4-2BCB-43AE-9CD0-2D0ECD2ADCD5"},
        {&AAXCompID_AAXPropertyMap, "A587AD3D-D53C-4ADC-D0DD-D9D12DDDDCDA"},
        {&IID_IAAXPropertyMapV1, "96EE2C2D-EECC-5EFF-E2D7-E849E3E2EEEE"},
        {&IID_IAAXPropertyMapV2, "7177DF80-7C9C-11E2-B92A-0800200C9A66"},
        {&IID_IAAXPropertyMapV3, "6D4AB208-D34B-4368-B4F1-58BC243F45C9"},
        {&IID_IAAXDescriptionHostV1, "E5BC71DF-4C1F-4CC4-814A-5A7DD0E70EF5"},
        {&IID_IAAXFeatureInfoV1, "24545609-A7C4-44D4-ABB8-CF13EA9D0BDF"},
        {&AAXATTR_ClientFeature_StemFormat, "729DD3E6-D3DC-484C-9169-F064A012601D"},
        {&IID_IAAXAutomationDelegateV1, "9D5E3D3D-42DC-5EFA-2217-EEE2E8E53E2E"},
        {&IID_IAAXControllerV1, "9D5E3E3D-52DC-5EFB-2018-DE1DE2E63F4E"},
        {&IID_IAAXControllerV2, "4C59AA0E-D7C0-4205-8B6C-32468D42D202"},
        {&IID_IAAXControllerV3, "DD6F168C-DA86-44F8-B864-D6CD221926E7"},
        {&IID_IAAXPageTableController, "2E9D35FB-BACC-4B2C-B5D7-C6E851F569BD"},
        {&IID_IAAXPageTableControllerV2, "06C6B83E-9D87-4938-8A38-F8E45B10A24A"},
        {&AAXCompID_PageTable, "DBC22879-A24E-4AC6-9721-938B72D8E81B"},
        {&IID_IAAXPageTableV1, "33C9E5BE-1CE3-4085-91A7-09D6F8EE4B64"},
        {&IID_IAAXPageTableV2, "D0F25D1B-9C5B-4D2E-8F1F-45BC934732F7"},
        {&IID_IAAXViewContainerV1, "22DA0BBC-D550-4D5E-8CC6-734483B8837F"},
        {&IID_IAAXViewContainerV2, "9143A0BE-7A79-4D02-AE25-AADBA76A50B2"},
        {&IID_IAAXTransportV1, "5CEE4EF4-6337-4359-B63B-FE58DC36543A"},
        {&IID_IAAXTransportV2, "203CBD9F-982C-4FE6-A827-07480257AEC3"},
        {&IID_IAAXTransportV3, "AF79E815-ECFE-1FB4-8A2E-24AB0EC08EF0"},
        {&IID_IAAXEffectParametersV1, "964E333D-334C-533F-C2C7-3834C3C23E3E"},
        {&IID_IAAXEffectParametersV2, "F1F47D06-308F-4CC5-9C7C-50A83F8AB813"},
        {&IID_IAAXEffectParametersV3, "D2540E9D-9163-42BB-A6FD-81E10EA32498"},
        {&IID_IAAXEffectParametersV4, "2E485536-31A3-4697-9C16-E59BF6B28A41"},
        {&IID_IAAXEffectGUIV1, "964E323D-424C-5E1A-2227-282423222E1E"},
    };
    for (const auto& [identifier, expected] : identifiers)
    {
        const _acfUID& id = *identifier;
        char text[37];
        std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", unsigned(id.Data1),
                      unsigned(id.Data2), unsigned(id.Data3), id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
                      id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
        EXPECT_STREQ(text, expected);
    }
}

} // namespace
