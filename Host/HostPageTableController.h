// The host's page-table controller (IID_IAAXPageTableController, V2), offered through the host context: it
// copies one of the host's page tables into an empty table the plug-in made (the last argument).
//
// Methods: 3 CopyTableForEffect, 4 CopyTableForLayout (V1); 5 CopyTableForEffectFromFile,
// 6 CopyTableForLayoutFromFile (V2). Where the result is 0 and the table is one of this host's, it receives
// `source()`; pointer arguments are logged by address.
#pragma once

#include "AAX_IACFPageTableController.h"
#include "HostObject.h"
#include "HostPageTable.h"

class HostPageTableController : public HostObject
{
public:
    static constexpr const char* kName = "PageTableController";

    explicit HostPageTableController(HostEnvironment& environment);

    // The host's table that every copy receives; set before the plug-in calls in.
    HostPageTable::Contents& source() { return mSource; }

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFPageTableController_V2>
    {
    public:
        Facet(HostPageTableController& owner, const char* interfaceName)
            : HostFacet(owner, interfaceName), mController(owner)
        {
        }
        AAX_Result CopyTableForEffect(AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                      AAX_CPropertyValue plugInID, uint32_t tableType, int32_t pageSize,
                                      IACFUnknown* table) const override;
        AAX_Result CopyTableForLayout(const char* effectID, const char* layoutName, uint32_t tableType,
                                      int32_t pageSize, IACFUnknown* table) const override;
        AAX_Result CopyTableForEffectFromFile(const char* path, AAX_ETextEncoding encoding,
                                              AAX_CPropertyValue manufacturerID, AAX_CPropertyValue productID,
                                              AAX_CPropertyValue plugInID, uint32_t tableType, int32_t pageSize,
                                              IACFUnknown* table) const override;
        AAX_Result CopyTableForLayoutFromFile(const char* path, AAX_ETextEncoding encoding, const char* layoutName,
                                              uint32_t tableType, int32_t pageSize, IACFUnknown* table) const override;

    private:
        // Logs the call with the table appended and fills the table where the result is 0.
        AAX_Result copyInto(int method, std::vector<std::string> arguments, IACFUnknown* table) const;

        HostPageTableController& mController;
    };

    HostPageTable::Contents mSource;
    Facet mV1;
    Facet mV2;
};
