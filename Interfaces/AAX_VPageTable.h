// Proxy of a host page table: asks for versions 1 and 2 once when built and forwards each operation to
// the version that introduced it; a missing version answers AAX_ERROR_UNIMPLEMENTED.
#pragma once

#include "AAX_IACFPageTable.h"
#include "AAX_IPageTable.h"
#include "ACFPtr.h"

class AAX_VPageTable : public AAX_IPageTable
{
public:
    explicit AAX_VPageTable(IACFUnknown* pUnknown);
    ~AAX_VPageTable() override;
    AAX_VPageTable(const AAX_VPageTable&) = delete;
    AAX_VPageTable& operator=(const AAX_VPageTable&) = delete;

    AAX_Result Clear() override;
    AAX_Result Empty(AAX_CBoolean& oEmpty) const override;
    AAX_Result GetNumPages(int32_t& oNumPages) const override;
    AAX_Result InsertPage(int32_t iPage) override;
    AAX_Result RemovePage(int32_t iPage) override;
    AAX_Result GetNumMappedParameterIDs(int32_t iPage, int32_t& oNumParameterIdentifiers) const override;
    AAX_Result ClearMappedParameter(int32_t iPage, int32_t iIndex) override;
    AAX_Result GetMappedParameterID(int32_t iPage, int32_t iIndex, AAX_IString& oParameterIdentifier) const override;
    AAX_Result MapParameterID(AAX_CParamID iParameterIdentifier, int32_t iPage, int32_t iIndex) override;
    AAX_Result GetNumParametersWithNameVariations(int32_t& oNumParameterIdentifiers) const override;
    AAX_Result GetNameVariationParameterIDAtIndex(int32_t iIndex, AAX_IString& oParameterIdentifier) const override;
    AAX_Result GetNumNameVariationsForParameter(AAX_CParamID iParameterIdentifier,
                                                int32_t& oNumVariations) const override;
    AAX_Result GetParameterNameVariationAtIndex(AAX_CParamID iParameterIdentifier, int32_t iIndex,
                                                AAX_IString& oNameVariation, int32_t& oLength) const override;
    AAX_Result GetParameterNameVariationOfLength(AAX_CParamID iParameterIdentifier, int32_t iLength,
                                                 AAX_IString& oNameVariation) const override;
    AAX_Result ClearParameterNameVariations() override;
    AAX_Result ClearNameVariationsForParameter(AAX_CParamID iParameterIdentifier) override;
    AAX_Result SetParameterNameVariation(AAX_CParamID iParameterIdentifier, const AAX_IString& iNameVariation,
                                         int32_t iLength) override;

    // Whether the host gave this proxy its version-1 page table.
    bool HasVersion1() const { return static_cast<bool>(mIPageTable); }

private:
    ACFPtr<AAX_IACFPageTable> mIPageTable;
    ACFPtr<AAX_IACFPageTable_V2> mIPageTableV2;
};
