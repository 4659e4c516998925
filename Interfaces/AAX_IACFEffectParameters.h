// The host-facing effect interface, in four versions: the host calls each method by its position in the
// table of functions (QueryInterface is 0), so the order below is the contract with the host.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "acfunknown.h"

class AAX_IString;
class AAX_IParameter;
struct AAX_CMidiPacket;

// The host's record of one saved-settings chunk, followed by its data. Integers are in the processor's
// byte order.
struct AAX_SPlugInChunk
{
    int32_t fSize; // number of data bytes
    int32_t fVersion;
    AAX_CTypeID fManufacturerID; // identifiers kept by the host
    AAX_CTypeID fProductID;
    AAX_CTypeID fPlugInID;
    AAX_CTypeID fChunkID;
    char fName[32];
    char fData[1]; // fSize bytes
};

// Buffers of one block rendered through the hybrid path.
struct AAX_SHybridRenderInfo
{
    float** mAudioInputs;
    int32_t* mNumAudioInputs;
    float** mAudioOutputs;
    int32_t* mNumAudioOutputs;
    int32_t* mNumSamples;
    AAX_CTimestamp* mClock;
};

class AAX_IACFEffectParameters : public IACFUnknown
{
public:
    // Lifecycle and notifications (methods 3 to 5)
    virtual AAX_Result Initialize(IACFUnknown* iController) = 0;
    virtual AAX_Result Uninitialize() = 0;
    virtual AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inNotificationData,
                                            uint32_t inNotificationDataSize) = 0;

    // Parameters (methods 6 to 30)
    virtual AAX_Result GetNumberOfParameters(int32_t* oNumControls) const = 0;
    virtual AAX_Result GetMasterBypassParameter(AAX_IString* oIDString) const = 0;
    virtual AAX_Result GetParameterIsAutomatable(AAX_CParamID iParameterID, AAX_CBoolean* oAutomatable) const = 0;
    virtual AAX_Result GetParameterNumberOfSteps(AAX_CParamID iParameterID, int32_t* oNumSteps) const = 0;
    virtual AAX_Result GetParameterName(AAX_CParamID iParameterID, AAX_IString* oName) const = 0;
    virtual AAX_Result GetParameterNameOfLength(AAX_CParamID iParameterID, AAX_IString* oName,
                                                int32_t iNameLength) const = 0;
    virtual AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID iParameterID, double* oValue) const = 0;
    virtual AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID iParameterID, double iValue) = 0;
    virtual AAX_Result GetParameterType(AAX_CParamID iParameterID, AAX_EParameterType* oParameterType) const = 0;
    virtual AAX_Result GetParameterOrientation(AAX_CParamID iParameterID,
                                               AAX_EParameterOrientation* oParameterOrientation) const = 0;
    virtual AAX_Result GetParameter(AAX_CParamID iParameterID, AAX_IParameter** oParameter) = 0;
    virtual AAX_Result GetParameterIndex(AAX_CParamID iParameterID, int32_t* oControlIndex) const = 0;
    virtual AAX_Result GetParameterIDFromIndex(int32_t iControlIndex, AAX_IString* oParameterIDString) const = 0;
    virtual AAX_Result GetParameterValueInfo(AAX_CParamID iParameterID, int32_t iSelector, int32_t* oValue) const = 0;
    virtual AAX_Result GetParameterValueFromString(AAX_CParamID iParameterID, double* oValue,
                                                   const AAX_IString& iValueString) const = 0;
    virtual AAX_Result GetParameterStringFromValue(AAX_CParamID iParameterID, double iValue, AAX_IString* oValueString,
                                                   int32_t iMaxLength) const = 0;
    virtual AAX_Result GetParameterValueString(AAX_CParamID iParameterID, AAX_IString* oValueString,
                                               int32_t iMaxLength) const = 0;
    virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID iParameterID, double* oValuePtr) const = 0;
    virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID iParameterID, double iValue) = 0;
    virtual AAX_Result SetParameterNormalizedRelative(AAX_CParamID iParameterID, double iValue) = 0;
    virtual AAX_Result TouchParameter(AAX_CParamID iParameterID) = 0;
    virtual AAX_Result ReleaseParameter(AAX_CParamID iParameterID) = 0;
    virtual AAX_Result UpdateParameterTouch(AAX_CParamID iParameterID, AAX_CBoolean iTouchState) = 0;
    virtual AAX_Result UpdateParameterNormalizedValue(AAX_CParamID iParameterID, double iValue,
                                                      AAX_EUpdateSource iSource) = 0;
    virtual AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID iParameterID, double iValue) = 0;

    // Algorithm data (methods 31, 32)
    virtual AAX_Result GenerateCoefficients() = 0;
    virtual AAX_Result ResetFieldData(AAX_CFieldIndex iFieldIndex, void* oData, uint32_t iDataSize) const = 0;

    // Chunks (methods 33 to 38)
    virtual AAX_Result GetNumberOfChunks(int32_t* oNumChunks) const = 0;
    virtual AAX_Result GetChunkIDFromIndex(int32_t iIndex, AAX_CTypeID* oChunkID) const = 0;
    virtual AAX_Result GetChunkSize(AAX_CTypeID iChunkID, uint32_t* oSize) const = 0;
    virtual AAX_Result GetChunk(AAX_CTypeID iChunkID, AAX_SPlugInChunk* oChunk) const = 0;
    virtual AAX_Result SetChunk(AAX_CTypeID iChunkID, const AAX_SPlugInChunk* iChunk) = 0;
    virtual AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* iChunkP, AAX_CBoolean* oIsEqual) const = 0;
    virtual AAX_Result GetNumberOfChanges(int32_t* oNumChanges) const = 0;

    // Miscellaneous (methods 40 to 44)
    virtual AAX_Result TimerWakeup() = 0;
    virtual AAX_Result GetCurveData(AAX_CTypeID iCurveType, const float* iValues, uint32_t iNumValues,
                                    float* oValues) const = 0;
    virtual AAX_Result GetCustomData(AAX_CTypeID iDataBlockID, uint32_t inDataSize, void* oData,
                                     uint32_t* oDataWritten) const = 0;
    virtual AAX_Result SetCustomData(AAX_CTypeID iDataBlockID, uint32_t inDataSize, const void* iData) = 0;
    virtual AAX_Result DoMIDITransfers() = 0;

protected:
    ~AAX_IACFEffectParameters() = default;
};

class AAX_IACFEffectParameters_V2 : public AAX_IACFEffectParameters
{
public:
    // Methods 45 to 47
    virtual AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo* ioRenderInfo) = 0;
    virtual AAX_Result UpdateMIDINodes(AAX_CFieldIndex inFieldIndex, AAX_CMidiPacket& iPacket) = 0;
    virtual AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& iPacket) = 0;

protected:
    ~AAX_IACFEffectParameters_V2() = default;
};

class AAX_IACFEffectParameters_V3 : public AAX_IACFEffectParameters_V2
{
public:
    // Methods 48, 49
    virtual AAX_Result GetCurveDataMeterIds(AAX_CTypeID iCurveType, uint32_t* oXMeterId, uint32_t* oYMeterId) const = 0;
    virtual AAX_Result GetCurveDataDisplayRange(AAX_CTypeID iCurveType, float* oXMin, float* oXMax, float* oYMin,
                                                float* oYMax) const = 0;

protected:
    ~AAX_IACFEffectParameters_V3() = default;
};

class AAX_IACFEffectParameters_V4 : public AAX_IACFEffectParameters_V3
{
public:
    // Method 50: the host hands over one of its page tables to be filled.
    virtual AAX_Result UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize, IACFUnknown* iHostUnknown,
                                       IACFUnknown* ioPageTableUnknown) const = 0;

protected:
    ~AAX_IACFEffectParameters_V4() = default;
};
