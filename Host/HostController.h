// The host's per-instance controller (IID_IAAXControllerV1..V3), offered through the host context.
//
// Methods: 3 GetEffectID, 4 GetSampleRate, 5/6 input and output stem format, 7 GetSignalLatency,
// 8 GetCycleCount, 9 GetTODLocation, 10 SetSignalLatency, 11 SetCycleCount, 12 PostPacket, 13 to 18 meters,
// 19 GetNextMIDIPacket (V1); 20 SendNotification, 21 GetHybridSignalLatency, 22 GetCurrentAutomationTimestamp,
// 23 GetHostName (V2); 24 GetPlugInTargetPlatform, 25 GetIsAudioSuite (V3). Pointer arguments are logged by
// address. Answers are written only where the result is 0; a call whose injected result is not 0 changes
// nothing. The stand-in has no MIDI: method 19 never writes a packet.
#pragma once

#include "AAX_IACFController.h"
#include "HostObject.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class HostController : public HostObject
{
public:
    static constexpr const char* kName = "Controller";

    // What the host answers; set before the plug-in calls in.
    struct Answers
    {
        std::string effectID = "com.example.effect";
        AAX_CSampleRate sampleRate = 48000.0f;
        AAX_EStemFormat inputStemFormat = AAX_eStemFormat_Stereo;
        AAX_EStemFormat outputStemFormat = AAX_eStemFormat_Stereo;
        int64_t todLocation = 0;
        int32_t hybridSignalLatency = 0;
        AAX_CTransportCounter automationTimestamp = 0;
        std::string hostName = "AAX host stand-in";
        int32_t targetPlatform = 0;
        bool audioSuite = false;
    };

    struct Packet
    {
        AAX_CFieldIndex field;
        std::vector<uint8_t> payload;
    };
    struct Notification
    {
        AAX_CTypeID type;
        std::vector<uint8_t> data;
    };
    struct Meter
    {
        float value = 0.0f;
        float peak = 0.0f;
        bool clipped = false;
    };

    explicit HostController(HostEnvironment& environment);

    Answers& answers() { return mAnswers; }
    // A meter's current value, which is also its peak, and its clip flag, until the plug-in clears them.
    void setMeter(AAX_CTypeID meter, float value, bool clipped);

    // What the plug-in told the host.
    int32_t signalLatency() const;
    std::vector<Packet> packets() const;
    // Those posted after the first `skipped` (a host that has taken them up to there).
    std::vector<Packet> packetsAfter(size_t skipped) const;
    std::vector<Notification> notifications() const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFController_V3>
    {
    public:
        Facet(HostController& owner, const char* interfaceName) : HostFacet(owner, interfaceName), mController(owner) {}
        AAX_Result GetEffectID(AAX_IString* oEffectID) const override;
        AAX_Result GetSampleRate(AAX_CSampleRate* oSampleRate) const override;
        AAX_Result GetInputStemFormat(AAX_EStemFormat* oStemFormat) const override;
        AAX_Result GetOutputStemFormat(AAX_EStemFormat* oStemFormat) const override;
        AAX_Result GetSignalLatency(int32_t* oSamples) const override;
        AAX_Result GetCycleCount(AAX_EProperty which, AAX_CPropertyValue* oNumCycles) const override;
        AAX_Result GetTODLocation(int64_t* oTODLocation) const override;
        AAX_Result SetSignalLatency(int32_t samples) override;
        AAX_Result SetCycleCount(AAX_EProperty* which, AAX_CPropertyValue* values, int32_t count) override;
        AAX_Result PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size) override;
        AAX_Result GetCurrentMeterValue(AAX_CTypeID meter, float* oValue) const override;
        AAX_Result GetMeterPeakValue(AAX_CTypeID meter, float* oValue) const override;
        AAX_Result ClearMeterPeakValue(AAX_CTypeID meter) const override;
        AAX_Result GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* oClipped) const override;
        AAX_Result ClearMeterClipped(AAX_CTypeID meter) const override;
        AAX_Result GetMeterCount(uint32_t* oCount) const override;
        AAX_Result GetNextMIDIPacket(AAX_CFieldIndex* oPort, AAX_CMidiPacket* oPacket) override;
        AAX_Result SendNotification(AAX_CTypeID type, const void* data, uint32_t size) override;
        AAX_Result GetHybridSignalLatency(int32_t* oSamples) const override;
        AAX_Result GetCurrentAutomationTimestamp(AAX_CTransportCounter* oTimestamp) const override;
        AAX_Result GetHostName(AAX_IString* oName) const override;
        AAX_Result GetPlugInTargetPlatform(int32_t* oPlatform) const override;
        AAX_Result GetIsAudioSuite(AAX_CBoolean* oIsAudioSuite) const override;

    private:
        HostController& mController;
    };

    Answers mAnswers;
    mutable std::mutex mMutex; // guards what the plug-in changes
    int32_t mSignalLatency = 0;
    std::map<AAX_EProperty, AAX_CPropertyValue> mCycleCounts;
    std::map<AAX_CTypeID, Meter> mMeters;
    std::vector<Packet> mPackets;
    std::vector<Notification> mNotifications;
    Facet mV1;
    Facet mV2;
    Facet mV3;
};
