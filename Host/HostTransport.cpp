#include "HostTransport.h"

#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration
    registration({HostTransport::kName,
                  false,
                  {},
                  {IID_IAAXTransportV1, IID_IAAXTransportV2, IID_IAAXTransportV3},
                  [](HostEnvironment& environment) -> HostObject* { return new HostTransport(environment); }});
} // namespace

HostTransport::HostTransport(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXTransportV1"), mV2(*this, "IAAXTransportV2"),
      mV3(*this, "IAAXTransportV3")
{
}

void* HostTransport::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXTransportV1)
        return static_cast<AAX_IACFTransport*>(&mV1);
    if (interfaceID == IID_IAAXTransportV2)
        return static_cast<AAX_IACFTransport_V2*>(&mV2);
    if (interfaceID == IID_IAAXTransportV3)
        return static_cast<AAX_IACFTransport_V3*>(&mV3);
    return nullptr;
}

AAX_Result HostTransport::Facet::GetCurrentTempo(double* tempo) const
{
    return callAndAnswer(3, {hostAddressArg(tempo)}, tempo, mAnswers.tempo);
}

AAX_Result HostTransport::Facet::GetCurrentMeter(int32_t* numerator, int32_t* denominator) const
{
    return hostAnswer(
        callAndAnswer(4, {hostAddressArg(numerator), hostAddressArg(denominator)}, numerator, mAnswers.meterNumerator),
        denominator, mAnswers.meterDenominator);
}

AAX_Result HostTransport::Facet::IsTransportPlaying(bool* playing) const
{
    return callAndAnswer(5, {hostAddressArg(playing)}, playing, mAnswers.playing);
}

AAX_Result HostTransport::Facet::GetCurrentTickPosition(int64_t* ticks) const
{
    return callAndAnswer(6, {hostAddressArg(ticks)}, ticks, mAnswers.tickPosition);
}

AAX_Result HostTransport::Facet::GetCurrentLoopPosition(bool* looping, int64_t* start, int64_t* end) const
{
    const AAX_Result result = callAndAnswer(7, {hostAddressArg(looping), hostAddressArg(start), hostAddressArg(end)},
                                            looping, mAnswers.looping);
    return hostAnswer(hostAnswer(result, start, mAnswers.loopStart), end, mAnswers.loopEnd);
}

AAX_Result HostTransport::Facet::GetCurrentNativeSampleLocation(int64_t* location) const
{
    return callAndAnswer(8, {hostAddressArg(location)}, location, mAnswers.sampleLocation);
}

AAX_Result HostTransport::Facet::GetCustomTickPosition(int64_t* ticks, int64_t location) const
{
    return callAndAnswer(9, {hostAddressArg(ticks), hostArg(location)}, ticks, mAnswers.customTickPosition);
}

AAX_Result HostTransport::Facet::GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* ticks,
                                                    int64_t location) const
{
    const AAX_Result result =
        callAndAnswer(10, {hostAddressArg(bars), hostAddressArg(beats), hostAddressArg(ticks), hostArg(location)}, bars,
                      mAnswers.bar);
    return hostAnswer(hostAnswer(result, beats, mAnswers.beat), ticks, mAnswers.displayTicks);
}

AAX_Result HostTransport::Facet::GetTicksPerQuarter(uint32_t* ticks) const
{
    return callAndAnswer(11, {hostAddressArg(ticks)}, ticks, mAnswers.ticksPerQuarter);
}

AAX_Result HostTransport::Facet::GetCurrentTicksPerBeat(uint32_t* ticks) const
{
    return callAndAnswer(12, {hostAddressArg(ticks)}, ticks, mAnswers.ticksPerBeat);
}

AAX_Result HostTransport::Facet::GetTimelineSelectionStartPosition(int64_t* location) const
{
    return callAndAnswer(13, {hostAddressArg(location)}, location, mAnswers.selectionStart);
}

AAX_Result HostTransport::Facet::GetTimeCodeInfo(AAX_EFrameRate* rate, int32_t* offset) const
{
    return hostAnswer(callAndAnswer(14, {hostAddressArg(rate), hostAddressArg(offset)}, rate, mAnswers.frameRate),
                      offset, mAnswers.timeCodeOffset);
}

AAX_Result HostTransport::Facet::GetFeetFramesInfo(AAX_EFeetFramesRate* rate, int64_t* offset) const
{
    return hostAnswer(callAndAnswer(15, {hostAddressArg(rate), hostAddressArg(offset)}, rate, mAnswers.feetFramesRate),
                      offset, mAnswers.feetFramesOffset);
}

AAX_Result HostTransport::Facet::IsMetronomeEnabled(int32_t* enabled) const
{
    return callAndAnswer(16, {hostAddressArg(enabled)}, enabled, mAnswers.metronome);
}

AAX_Result HostTransport::Facet::GetHDTimeCodeInfo(AAX_EFrameRate* rate, int64_t* offset) const
{
    return hostAnswer(callAndAnswer(17, {hostAddressArg(rate), hostAddressArg(offset)}, rate, mAnswers.hdFrameRate),
                      offset, mAnswers.hdTimeCodeOffset);
}
