// The plug-in side's view of the host's per-instance controller.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"

class AAX_IString;
class AAX_IPageTable;
struct AAX_CMidiPacket;

class AAX_IController
{
public:
    virtual ~AAX_IController() {}

    virtual AAX_Result GetEffectID(AAX_IString* oEffectID) const = 0;
    virtual AAX_Result GetSampleRate(AAX_CSampleRate* oSampleRate) const = 0;
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* oStemFormat) const = 0;
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* oStemFormat) const = 0;
    virtual AAX_Result GetSignalLatency(int32_t* oSamples) const = 0;
    virtual AAX_Result GetCycleCount(AAX_EProperty iWhichCycleCount, AAX_CPropertyValue* oNumCycles) const = 0;
    virtual AAX_Result GetTODLocation(int64_t* oTODLocation) const = 0;
    virtual AAX_Result SetSignalLatency(int32_t iNumSamples) = 0;
    virtual AAX_Result SetCycleCount(AAX_EProperty* iWhichCycleCounts, AAX_CPropertyValue* iValues,
                                     int32_t iNumValues) = 0;
    virtual AAX_Result PostPacket(AAX_CFieldIndex iFieldIndex, const void* iPayloadP, uint32_t iPayloadSize) = 0;
    virtual AAX_Result SendNotification(AAX_CTypeID iNotificationType, const void* iNotificationData,
                                        uint32_t iNotificationDataSize) = 0;
    virtual AAX_Result SendNotification(AAX_CTypeID iNotificationType) = 0; // no data
    virtual AAX_Result GetCurrentMeterValue(AAX_CTypeID iMeterID, float* oMeterValue) const = 0;
    virtual AAX_Result GetMeterPeakValue(AAX_CTypeID iMeterID, float* oMeterPeakValue) const = 0;
    virtual AAX_Result ClearMeterPeakValue(AAX_CTypeID iMeterID) const = 0;
    virtual AAX_Result GetMeterCount(uint32_t* oMeterCount) const = 0;
    virtual AAX_Result GetMeterClipped(AAX_CTypeID iMeterID, AAX_CBoolean* oClipped) const = 0;
    virtual AAX_Result ClearMeterClipped(AAX_CTypeID iMeterID) const = 0;
    virtual AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* oPort, AAX_CMidiPacket* oPacket) = 0;
    virtual AAX_Result GetHybridSignalLatency(int32_t* oSamples) const = 0;
    virtual AAX_Result GetCurrentAutomationTimestamp(AAX_CTransportCounter* oTimestamp) const = 0;
    virtual AAX_Result GetHostName(AAX_IString* oHostNameString) const = 0;
    virtual AAX_Result GetPlugInTargetPlatform(int32_t* oTargetPlatform) const = 0;
    virtual AAX_Result GetIsAudioSuite(AAX_CBoolean* oIsAudioSuite) const = 0;

    // Copies of the host's page tables; the caller owns the result, null on any failure.
    virtual AAX_IPageTable* CreateTableCopyForEffect(AAX_CPropertyValue inManufacturerID,
                                                     AAX_CPropertyValue inProductID, AAX_CPropertyValue inPlugInID,
                                                     uint32_t inTableType, int32_t inTablePageSize) const = 0;
    virtual AAX_IPageTable* CreateTableCopyForLayout(const char* inEffectID, const char* inLayoutName,
                                                     uint32_t inTableType, int32_t inTablePageSize) const = 0;
    virtual AAX_IPageTable* CreateTableCopyForEffectFromFile(const char* inPageTableFilePath,
                                                             AAX_ETextEncoding inFilePathEncoding,
                                                             AAX_CPropertyValue inManufacturerID,
                                                             AAX_CPropertyValue inProductID,
                                                             AAX_CPropertyValue inPlugInID, uint32_t inTableType,
                                                             int32_t inTablePageSize) const = 0;
    virtual AAX_IPageTable* CreateTableCopyForLayoutFromFile(const char* inPageTableFilePath,
                                                             AAX_ETextEncoding inFilePathEncoding,
                                                             const char* inLayoutName, uint32_t inTableType,
                                                             int32_t inTablePageSize) const = 0;
};
