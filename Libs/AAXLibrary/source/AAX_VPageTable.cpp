#include "AAX_VPageTable.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"

AAX_VPageTable::AAX_VPageTable(IACFUnknown* pUnknown)
{
    if (pUnknown == nullptr)
        return;
    pUnknown->QueryInterface(IID_IAAXPageTableV1, mIPageTable.outArgument());
    pUnknown->QueryInterface(IID_IAAXPageTableV2, mIPageTableV2.outArgument());
}

AAX_VPageTable::~AAX_VPageTable()
{
    mIPageTableV2.reset();
    mIPageTable.reset();
}

AAX_Result AAX_VPageTable::Clear()
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::Clear);
}

AAX_Result AAX_VPageTable::Empty(AAX_CBoolean& oEmpty) const
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::Empty, oEmpty);
}

AAX_Result AAX_VPageTable::GetNumPages(int32_t& oNumPages) const
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::GetNumPages, oNumPages);
}

AAX_Result AAX_VPageTable::InsertPage(int32_t iPage)
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::InsertPage, iPage);
}

AAX_Result AAX_VPageTable::RemovePage(int32_t iPage)
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::RemovePage, iPage);
}

AAX_Result AAX_VPageTable::GetNumMappedParameterIDs(int32_t iPage, int32_t& oNumParameterIdentifiers) const
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::GetNumMappedParameterIDs, iPage,
                                       oNumParameterIdentifiers);
}

AAX_Result AAX_VPageTable::ClearMappedParameter(int32_t iPage, int32_t iIndex)
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::ClearMappedParameter, iPage, iIndex);
}

AAX_Result AAX_VPageTable::GetMappedParameterID(int32_t iPage, int32_t iIndex, AAX_IString& oParameterIdentifier) const
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::GetMappedParameterID, iPage, iIndex,
                                       oParameterIdentifier);
}

AAX_Result AAX_VPageTable::MapParameterID(AAX_CParamID iParameterIdentifier, int32_t iPage, int32_t iIndex)
{
    return AAX_CallHostOrUnimplemented(mIPageTable, &AAX_IACFPageTable::MapParameterID, iParameterIdentifier, iPage,
                                       iIndex);
}

AAX_Result AAX_VPageTable::GetNumParametersWithNameVariations(int32_t& oNumParameterIdentifiers) const
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::GetNumParametersWithNameVariations,
                                       oNumParameterIdentifiers);
}

AAX_Result AAX_VPageTable::GetNameVariationParameterIDAtIndex(int32_t iIndex, AAX_IString& oParameterIdentifier) const
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::GetNameVariationParameterIDAtIndex, iIndex,
                                       oParameterIdentifier);
}

AAX_Result AAX_VPageTable::GetNumNameVariationsForParameter(AAX_CParamID iParameterIdentifier,
                                                            int32_t& oNumVariations) const
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::GetNumNameVariationsForParameter,
                                       iParameterIdentifier, oNumVariations);
}

AAX_Result AAX_VPageTable::GetParameterNameVariationAtIndex(AAX_CParamID iParameterIdentifier, int32_t iIndex,
                                                            AAX_IString& oNameVariation, int32_t& oLength) const
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::GetParameterNameVariationAtIndex,
                                       iParameterIdentifier, iIndex, oNameVariation, oLength);
}

AAX_Result AAX_VPageTable::GetParameterNameVariationOfLength(AAX_CParamID iParameterIdentifier, int32_t iLength,
                                                             AAX_IString& oNameVariation) const
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::GetParameterNameVariationOfLength,
                                       iParameterIdentifier, iLength, oNameVariation);
}

AAX_Result AAX_VPageTable::ClearParameterNameVariations()
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::ClearParameterNameVariations);
}

AAX_Result AAX_VPageTable::ClearNameVariationsForParameter(AAX_CParamID iParameterIdentifier)
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::ClearNameVariationsForParameter,
                                       iParameterIdentifier);
}

AAX_Result AAX_VPageTable::SetParameterNameVariation(AAX_CParamID iParameterIdentifier,
                                                     const AAX_IString& iNameVariation, int32_t iLength)
{
    return AAX_CallHostOrUnimplemented(mIPageTableV2, &AAX_IACFPageTable_V2::SetParameterNameVariation,
                                       iParameterIdentifier, iNameVariation, iLength);
}
