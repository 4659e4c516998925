// A host page table (AAXCompID_PageTable), versions 1 and 2 (IID_IAAXPageTableV1, V2): pages of parameter
// IDs by slot, and name variations of parameters by length. Made by the component factory; the page-table
// controller fills it.
//
// Methods: 3 Clear, 4 Empty, 5 GetNumPages, 6 InsertPage, 7 RemovePage, 8 GetNumMappedParameterIDs,
// 9 ClearMappedParameter, 10 GetMappedParameterID, 11 MapParameterID (V1); 12 to 19 the name variations
// (V2). An injected result other than 0 changes and answers nothing; a page, slot or variation that does
// not exist is refused with AAX_ERROR_INVALID_ARGUMENT. Pointer and reference arguments are logged by
// address.
#pragma once

#include "AAX_IACFPageTable.h"
#include "HostObject.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class HostPageTable : public HostObject
{
public:
    static constexpr const char* kName = "PageTable";

    struct Contents
    {
        std::vector<std::map<int32_t, std::string>> pages;                // slot -> parameter ID, per page
        std::map<std::string, std::map<int32_t, std::string>> variations; // parameter ID -> length -> name
        bool operator==(const Contents& other) const { return pages == other.pages && variations == other.variations; }
    };

    explicit HostPageTable(HostEnvironment& environment);

    Contents contents() const;
    void assign(const Contents& contents);

    bool hasInterface(const IACFUnknown* passed) const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFPageTable_V2>
    {
    public:
        Facet(HostPageTable& owner, const char* interfaceName) : HostFacet(owner, interfaceName), mTable(owner) {}
        AAX_Result Clear() override;
        AAX_Result Empty(AAX_CBoolean& oEmpty) const override;
        AAX_Result GetNumPages(int32_t& oNumPages) const override;
        AAX_Result InsertPage(int32_t page) override;
        AAX_Result RemovePage(int32_t page) override;
        AAX_Result GetNumMappedParameterIDs(int32_t page, int32_t& oCount) const override;
        AAX_Result ClearMappedParameter(int32_t page, int32_t slot) override;
        AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_IString& oID) const override;
        AAX_Result MapParameterID(AAX_CParamID id, int32_t page, int32_t slot) override;
        AAX_Result GetNumParametersWithNameVariations(int32_t& oCount) const override;
        AAX_Result GetNameVariationParameterIDAtIndex(int32_t index, AAX_IString& oID) const override;
        AAX_Result GetNumNameVariationsForParameter(AAX_CParamID id, int32_t& oCount) const override;
        AAX_Result GetParameterNameVariationAtIndex(AAX_CParamID id, int32_t index, AAX_IString& oName,
                                                    int32_t& oLength) const override;
        AAX_Result GetParameterNameVariationOfLength(AAX_CParamID id, int32_t length,
                                                     AAX_IString& oName) const override;
        AAX_Result ClearParameterNameVariations() override;
        AAX_Result ClearNameVariationsForParameter(AAX_CParamID id) override;
        AAX_Result SetParameterNameVariation(AAX_CParamID id, const AAX_IString& name, int32_t length) override;

    private:
        // Logs the call; where the injected result is 0, runs `body` on the contents under the lock.
        AAX_Result act(int method, std::vector<std::string> arguments,
                       const std::function<AAX_Result(Contents&)>& body) const;

        HostPageTable& mTable;
    };

    mutable std::mutex mMutex;
    Contents mContents;
    Facet mV1;
    Facet mV2;
};
