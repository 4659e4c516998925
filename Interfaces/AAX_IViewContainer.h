// The plug-in side's view of the host's view container.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_GUITypes.h"

class AAX_IViewContainer
{
public:
    virtual ~AAX_IViewContainer() {}

    virtual int32_t GetType() = 0;                               // an AAX_EViewContainer_Type value
    virtual void* GetPtr() = 0;                                  // the host's native view
    virtual AAX_Result GetModifiers(uint32_t* outModifiers) = 0; // AAX_EModifiers bits
    virtual AAX_Result SetViewSize(AAX_Point& inSize) = 0;       // 0 when the host accepts the size
    virtual AAX_Result HandleParameterMouseDown(AAX_CParamID inParamID, uint32_t inModifiers) = 0;
    virtual AAX_Result HandleParameterMouseDrag(AAX_CParamID inParamID, uint32_t inModifiers) = 0;
    virtual AAX_Result HandleParameterMouseUp(AAX_CParamID inParamID, uint32_t inModifiers) = 0;
    virtual AAX_Result HandleMultipleParametersMouseDown(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                         uint32_t inModifiers) = 0;
    virtual AAX_Result HandleMultipleParametersMouseDrag(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                         uint32_t inModifiers) = 0;
    virtual AAX_Result HandleMultipleParametersMouseUp(const AAX_CParamID* inParamIDs, uint32_t inNumOfParams,
                                                       uint32_t inModifiers) = 0;
};
