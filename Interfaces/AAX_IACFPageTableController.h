// The host's page-table controller, in two versions: it copies one of its page tables into an empty
// table that the plug-in created (the last argument of each method).
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "acfunknown.h"

class AAX_IACFPageTableController : public IACFUnknown
{
public:
    virtual AAX_Result CopyTableForEffect(AAX_CPropertyValue inManufacturerID, AAX_CPropertyValue inProductID,
                                          AAX_CPropertyValue inPlugInID, uint32_t inTableType, int32_t inTablePageSize,
                                          IACFUnknown* oTable) const = 0; // 3
    virtual AAX_Result CopyTableForLayout(const char* inEffectID, const char* inLayoutName, uint32_t inTableType,
                                          int32_t inTablePageSize, IACFUnknown* oTable) const = 0; // 4

protected:
    ~AAX_IACFPageTableController() = default;
};

class AAX_IACFPageTableController_V2 : public AAX_IACFPageTableController
{
public:
    virtual AAX_Result CopyTableForEffectFromFile(const char* inPageTableFilePath, AAX_ETextEncoding inFilePathEncoding,
                                                  AAX_CPropertyValue inManufacturerID, AAX_CPropertyValue inProductID,
                                                  AAX_CPropertyValue inPlugInID, uint32_t inTableType,
                                                  int32_t inTablePageSize, IACFUnknown* oTable) const = 0; // 5
    virtual AAX_Result CopyTableForLayoutFromFile(const char* inPageTableFilePath, AAX_ETextEncoding inFilePathEncoding,
                                                  const char* inLayoutName, uint32_t inTableType,
                                                  int32_t inTablePageSize, IACFUnknown* oTable) const = 0; // 6

protected:
    ~AAX_IACFPageTableController_V2() = default;
};
