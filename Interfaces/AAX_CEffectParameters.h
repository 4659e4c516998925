// Base class of a plug-in's effect object: the whole host-facing effect interface with working defaults
// on top of a parameter manager, a packet dispatcher and the parameter-values chunk. A plug-in registers
// its parameters in EffectInit and overrides what it needs.
#pragma once

#include "AAX.h"
#include "AAX_CChunkDataParser.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameter.h"
#include "AAX_CParameterManager.h"
#include "AAX_CString.h"
#include "AAX_Enums.h"
#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IMIDINode.h"
#include "AAX_IPageTable.h"
#include "AAX_IParameter.h"
#include "AAX_ITransport.h"

#include <set>
#include <string>

class AAX_IAutomationDelegate;

// ID of the host-bypass parameter; it is left out of the parameter-values chunk.
inline constexpr char cDefaultMasterBypassID[] = "MasterBypassID";
// ID of the AudioSuite preview parameter, set by the preview notification.
inline constexpr char cPreviewID[] = "PreviewID";

class AAX_CEffectParameters : public AAX_IEffectParameters
{
public:
    AAX_CEffectParameters();
    AAX_CEffectParameters(const AAX_CEffectParameters&) = delete;
    AAX_CEffectParameters& operator=(const AAX_CEffectParameters&) = delete;

    // Host operations, in the order of the host's table
    AAX_Result Initialize(IACFUnknown* iController) override;
    AAX_Result Uninitialize() override;
    AAX_Result NotificationReceived(AAX_CTypeID inNotificationType, const void* inNotificationData,
                                    uint32_t inNotificationDataSize) override;
    AAX_Result GetNumberOfParameters(int32_t* oNumControls) const override;
    AAX_Result GetMasterBypassParameter(AAX_IString* oIDString) const override;
    AAX_Result GetParameterIsAutomatable(AAX_CParamID iParameterID, AAX_CBoolean* oAutomatable) const override;
    AAX_Result GetParameterNumberOfSteps(AAX_CParamID iParameterID, int32_t* oNumSteps) const override;
    AAX_Result GetParameterName(AAX_CParamID iParameterID, AAX_IString* oName) const override;
    AAX_Result GetParameterNameOfLength(AAX_CParamID iParameterID, AAX_IString* oName,
                                        int32_t iNameLength) const override;
    AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID iParameterID, double* oValue) const override;
    AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID iParameterID, double iValue) override;
    AAX_Result GetParameterType(AAX_CParamID iParameterID, AAX_EParameterType* oParameterType) const override;
    AAX_Result GetParameterOrientation(AAX_CParamID iParameterID,
                                       AAX_EParameterOrientation* oParameterOrientation) const override;
    AAX_Result GetParameter(AAX_CParamID iParameterID, AAX_IParameter** oParameter) override;
    AAX_Result GetParameterIndex(AAX_CParamID iParameterID, int32_t* oControlIndex) const override;
    AAX_Result GetParameterIDFromIndex(int32_t iControlIndex, AAX_IString* oParameterIDString) const override;
    AAX_Result GetParameterValueInfo(AAX_CParamID iParameterID, int32_t iSelector, int32_t* oValue) const override;
    AAX_Result GetParameterValueFromString(AAX_CParamID iParameterID, double* oValue,
                                           const AAX_IString& iValueString) const override;
    AAX_Result GetParameterStringFromValue(AAX_CParamID iParameterID, double iValue, AAX_IString* oValueString,
                                           int32_t iMaxLength) const override;
    AAX_Result GetParameterValueString(AAX_CParamID iParameterID, AAX_IString* oValueString,
                                       int32_t iMaxLength) const override;
    AAX_Result GetParameterNormalizedValue(AAX_CParamID iParameterID, double* oValuePtr) const override;
    AAX_Result SetParameterNormalizedValue(AAX_CParamID iParameterID, double iValue) override;
    AAX_Result SetParameterNormalizedRelative(AAX_CParamID iParameterID, double iValue) override;
    AAX_Result TouchParameter(AAX_CParamID iParameterID) override;
    AAX_Result ReleaseParameter(AAX_CParamID iParameterID) override;
    AAX_Result UpdateParameterTouch(AAX_CParamID iParameterID, AAX_CBoolean iTouchState) override;
    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID iParameterID, double iValue,
                                              AAX_EUpdateSource iSource) override;
    AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID iParameterID, double iValue) override;
    AAX_Result GenerateCoefficients() override;
    AAX_Result ResetFieldData(AAX_CFieldIndex iFieldIndex, void* oData, uint32_t iDataSize) const override;
    AAX_Result GetNumberOfChunks(int32_t* oNumChunks) const override;
    AAX_Result GetChunkIDFromIndex(int32_t iIndex, AAX_CTypeID* oChunkID) const override;
    AAX_Result GetChunkSize(AAX_CTypeID iChunkID, uint32_t* oSize) const override;
    AAX_Result GetChunk(AAX_CTypeID iChunkID, AAX_SPlugInChunk* oChunk) const override;
    AAX_Result SetChunk(AAX_CTypeID iChunkID, const AAX_SPlugInChunk* iChunk) override;
    AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* iChunkP, AAX_CBoolean* oIsEqual) const override;
    AAX_Result GetNumberOfChanges(int32_t* oNumChanges) const override;
    AAX_Result TimerWakeup() override;
    AAX_Result GetCurveData(AAX_CTypeID iCurveType, const float* iValues, uint32_t iNumValues,
                            float* oValues) const override;
    AAX_Result GetCustomData(AAX_CTypeID iDataBlockID, uint32_t inDataSize, void* oData,
                             uint32_t* oDataWritten) const override;
    AAX_Result SetCustomData(AAX_CTypeID iDataBlockID, uint32_t inDataSize, const void* iData) override;
    AAX_Result DoMIDITransfers() override;
    AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo* ioRenderInfo) override;
    AAX_Result UpdateMIDINodes(AAX_CFieldIndex inFieldIndex, AAX_CMidiPacket& iPacket) override;
    AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& iPacket) override;
    AAX_Result GetCurveDataMeterIds(AAX_CTypeID iCurveType, uint32_t* oXMeterId, uint32_t* oYMeterId) const override;
    AAX_Result GetCurveDataDisplayRange(AAX_CTypeID iCurveType, float* oXMin, float* oXMax, float* oYMin,
                                        float* oYMax) const override;
    AAX_Result UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize, IACFUnknown* iHostUnknown,
                               IACFUnknown* ioPageTableUnknown) const override;

    ACFRESULT InternalQueryInterface(const acfIID& riid, void** ppvObjOut) override;

    ~AAX_CEffectParameters() override;

    // The plug-in's set-up hook, run at the end of Initialize; the base does nothing.
    virtual AAX_Result EffectInit();
    // Fills a page table the host handed over; the base has none to give.
    virtual AAX_Result UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize,
                                       AAX_IPageTable& ioPageTable) const;

protected:
    // Proxies of the host's controller and transport between Initialize and Uninitialize, null otherwise.
    AAX_IController* Controller() { return mController; }
    const AAX_IController* Controller() const { return mController; }
    AAX_ITransport* Transport() { return mTransport; }
    const AAX_ITransport* Transport() const { return mTransport; }

    // Leaves the parameter with this ID out of the parameter-values chunk; a null ID is ignored.
    void FilterParameterIDOnSave(AAX_CParamID controlID);

    // Collects the values of the chunked parameters into the chunk parser.
    void BuildChunkData() const;

    int32_t mNumPlugInChanges;  // confirmed value changes; derived classes may add to it
    mutable int32_t mChunkSize; // size computed by the last GetChunkSize of the library chunk
    mutable AAX_CChunkDataParser mChunkParser;
    int32_t mNumChunkedParameters;
    AAX_CPacketDispatcher mPacketDispatcher;
    AAX_CParameterManager mParameterManager;
    std::set<std::string> mFilteredParameters;

private:
    AAX_IController* mController;
    AAX_ITransport* mTransport;
    AAX_IAutomationDelegate* mAutomationDelegate;
};
