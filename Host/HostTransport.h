// The host's transport (IID_IAAXTransportV1..V3), offered through the host context.
//
// Methods: 3 tempo, 4 meter, 5 playing, 6 tick position, 7 loop, 8 sample location, 9 custom tick position,
// 10 bar and beat, 11 ticks per quarter, 12 ticks per beat (V1); 13 timeline selection start, 14 time code,
// 15 feet and frames, 16 metronome (V2); 17 HD time code (V3). Pointer arguments are logged by address;
// answers are written only where the result is 0.
#pragma once

#include "AAX_IACFTransport.h"
#include "HostObject.h"

class HostTransport : public HostObject
{
public:
    static constexpr const char* kName = "Transport";

    // What the host answers; set before the plug-in calls in.
    struct Answers
    {
        double tempo = 120.0;
        int32_t meterNumerator = 4;
        int32_t meterDenominator = 4;
        bool playing = false;
        int64_t tickPosition = 0;
        bool looping = false;
        int64_t loopStart = 0;
        int64_t loopEnd = 0;
        int64_t sampleLocation = 0;
        int64_t customTickPosition = 0; // at whatever sample location is asked
        int32_t bar = 1;
        int32_t beat = 1;
        int64_t displayTicks = 0;
        uint32_t ticksPerQuarter = 960000;
        uint32_t ticksPerBeat = 960000;
        int64_t selectionStart = 0;
        AAX_EFrameRate frameRate = AAX_eFrameRate_Undeclared;
        int32_t timeCodeOffset = 0;
        AAX_EFeetFramesRate feetFramesRate = AAX_eFeetFramesRate_24;
        int64_t feetFramesOffset = 0;
        int32_t metronome = 0;
        AAX_EFrameRate hdFrameRate = AAX_eFrameRate_Undeclared;
        int64_t hdTimeCodeOffset = 0;
    };

    explicit HostTransport(HostEnvironment& environment);

    Answers& answers() { return mAnswers; }

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFTransport_V3>
    {
    public:
        Facet(HostTransport& owner, const char* interfaceName)
            : HostFacet(owner, interfaceName), mAnswers(owner.mAnswers)
        {
        }
        AAX_Result GetCurrentTempo(double* tempo) const override;
        AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) const override;
        AAX_Result IsTransportPlaying(bool* playing) const override;
        AAX_Result GetCurrentTickPosition(int64_t* ticks) const override;
        AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* start, int64_t* end) const override;
        AAX_Result GetCurrentNativeSampleLocation(int64_t* location) const override;
        AAX_Result GetCustomTickPosition(int64_t* ticks, int64_t location) const override;
        AAX_Result GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* ticks, int64_t location) const override;
        AAX_Result GetTicksPerQuarter(uint32_t* ticks) const override;
        AAX_Result GetCurrentTicksPerBeat(uint32_t* ticks) const override;
        AAX_Result GetTimelineSelectionStartPosition(int64_t* location) const override;
        AAX_Result GetTimeCodeInfo(AAX_EFrameRate* rate, int32_t* offset) const override;
        AAX_Result GetFeetFramesInfo(AAX_EFeetFramesRate* rate, int64_t* offset) const override;
        AAX_Result IsMetronomeEnabled(int32_t* enabled) const override;
        AAX_Result GetHDTimeCodeInfo(AAX_EFrameRate* rate, int64_t* offset) const override;

    private:
        const Answers& mAnswers;
    };

    Answers mAnswers;
    Facet mV1;
    Facet mV2;
    Facet mV3;
};
