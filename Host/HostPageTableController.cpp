#include "HostPageTableController.h"

#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration registration({HostPageTableController::kName,
                                              false,
                                              {},
                                              {IID_IAAXPageTableController, IID_IAAXPageTableControllerV2},
                                              [](HostEnvironment& environment) -> HostObject* {
                                                  return new HostPageTableController(environment);
                                              }});
} // namespace

HostPageTableController::HostPageTableController(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXPageTableControllerV1"), mV2(*this, "IAAXPageTableControllerV2")
{
}

void* HostPageTableController::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXPageTableController)
        return static_cast<AAX_IACFPageTableController*>(&mV1);
    if (interfaceID == IID_IAAXPageTableControllerV2)
        return static_cast<AAX_IACFPageTableController_V2*>(&mV2);
    return nullptr;
}

AAX_Result HostPageTableController::Facet::copyInto(int method, std::vector<std::string> arguments,
                                                    IACFUnknown* table) const
{
    arguments.push_back(hostAddressArg(table));
    const AAX_Result result = call(method, std::move(arguments));
    if (result == 0)
        if (HostPageTable* const target = hostObjectBehind<HostPageTable>(mController.environment(), table))
            target->assign(mController.mSource);
    return result;
}

AAX_Result HostPageTableController::Facet::CopyTableForEffect(AAX_CPropertyValue manufacturerID,
                                                              AAX_CPropertyValue productID, AAX_CPropertyValue plugInID,
                                                              uint32_t tableType, int32_t pageSize,
                                                              IACFUnknown* table) const
{
    return copyInto(
        3, {hostArg(manufacturerID), hostArg(productID), hostArg(plugInID), hostArg(tableType), hostArg(pageSize)},
        table);
}

AAX_Result HostPageTableController::Facet::CopyTableForLayout(const char* effectID, const char* layoutName,
                                                              uint32_t tableType, int32_t pageSize,
                                                              IACFUnknown* table) const
{
    return copyInto(4, {hostArg(effectID), hostArg(layoutName), hostArg(tableType), hostArg(pageSize)}, table);
}

AAX_Result HostPageTableController::Facet::CopyTableForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                                                      AAX_CPropertyValue manufacturerID,
                                                                      AAX_CPropertyValue productID,
                                                                      AAX_CPropertyValue plugInID, uint32_t tableType,
                                                                      int32_t pageSize, IACFUnknown* table) const
{
    return copyInto(5,
                    {hostArg(path), hostArg(static_cast<int32_t>(encoding)), hostArg(manufacturerID),
                     hostArg(productID), hostArg(plugInID), hostArg(tableType), hostArg(pageSize)},
                    table);
}

AAX_Result HostPageTableController::Facet::CopyTableForLayoutFromFile(const char* path, AAX_ETextEncoding encoding,
                                                                      const char* layoutName, uint32_t tableType,
                                                                      int32_t pageSize, IACFUnknown* table) const
{
    return copyInto(6,
                    {hostArg(path), hostArg(static_cast<int32_t>(encoding)), hostArg(layoutName), hostArg(tableType),
                     hostArg(pageSize)},
                    table);
}
