// The host's per-instance controller, in three versions. The host's table order: each version begins with
// every method of the one before; method numbers count QueryInterface as 0.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "acfunknown.h"

class AAX_IString;
struct AAX_CMidiPacket;

class AAX_IACFController : public IACFUnknown
{
public:
    virtual AAX_Result GetEffectID(AAX_IString* oEffectID) const = 0;                                           // 3
    virtual AAX_Result GetSampleRate(AAX_CSampleRate* oSampleRate) const = 0;                                   // 4
    virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* oStemFormat) const = 0;                              // 5
    virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* oStemFormat) const = 0;                             // 6
    virtual AAX_Result GetSignalLatency(int32_t* oSamples) const = 0;                                           // 7
    virtual AAX_Result GetCycleCount(AAX_EProperty iWhichCycleCount, AAX_CPropertyValue* oNumCycles) const = 0; // 8
    virtual AAX_Result GetTODLocation(int64_t* oTODLocation) const = 0;                                         // 9
    virtual AAX_Result SetSignalLatency(int32_t iNumSamples) = 0;                                               // 10
    virtual AAX_Result SetCycleCount(AAX_EProperty* iWhichCycleCounts, AAX_CPropertyValue* iValues,
                                     int32_t iNumValues) = 0; // 11
    virtual AAX_Result PostPacket(AAX_CFieldIndex iFieldIndex, const void* iPayloadP,
                                  uint32_t iPayloadSize) = 0;                                     // 12
    virtual AAX_Result GetCurrentMeterValue(AAX_CTypeID iMeterID, float* oMeterValue) const = 0;  // 13
    virtual AAX_Result GetMeterPeakValue(AAX_CTypeID iMeterID, float* oMeterPeakValue) const = 0; // 14
    virtual AAX_Result ClearMeterPeakValue(AAX_CTypeID iMeterID) const = 0;                       // 15
    virtual AAX_Result GetMeterClipped(AAX_CTypeID iMeterID, AAX_CBoolean* oClipped) const = 0;   // 16
    virtual AAX_Result ClearMeterClipped(AAX_CTypeID iMeterID) const = 0;                         // 17
    virtual AAX_Result GetMeterCount(uint32_t* oMeterCount) const = 0;                            // 18
    virtual AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* oPort, AAX_CMidiPacket* oPacket) = 0;   // 19

protected:
    ~AAX_IACFController() = default;
};

class AAX_IACFController_V2 : public AAX_IACFController
{
public:
    virtual AAX_Result SendNotification(AAX_CTypeID iNotificationType, const void* iNotificationData,
                                        uint32_t iNotificationDataSize) = 0;                       // 20
    virtual AAX_Result GetHybridSignalLatency(int32_t* oSamples) const = 0;                        // 21
    virtual AAX_Result GetCurrentAutomationTimestamp(AAX_CTransportCounter* oTimestamp) const = 0; // 22
    virtual AAX_Result GetHostName(AAX_IString* oHostNameString) const = 0;                        // 23

protected:
    ~AAX_IACFController_V2() = default;
};

class AAX_IACFController_V3 : public AAX_IACFController_V2
{
public:
    virtual AAX_Result GetPlugInTargetPlatform(int32_t* oTargetPlatform) const = 0; // 24
    virtual AAX_Result GetIsAudioSuite(AAX_CBoolean* oIsAudioSuite) const = 0;      // 25

protected:
    ~AAX_IACFController_V3() = default;
};
