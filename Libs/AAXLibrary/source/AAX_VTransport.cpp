#include "AAX_VTransport.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"

AAX_VTransport::AAX_VTransport(IACFUnknown* pUnknown)
{
    if (pUnknown == nullptr)
        return;
    pUnknown->QueryInterface(IID_IAAXTransportV1, mTransportV1.outArgument());
    pUnknown->QueryInterface(IID_IAAXTransportV2, mTransportV2.outArgument());
    pUnknown->QueryInterface(IID_IAAXTransportV3, mTransportV3.outArgument());
}

AAX_VTransport::~AAX_VTransport()
{
    mTransportV3.reset();
    mTransportV2.reset();
    mTransportV1.reset();
}

AAX_Result AAX_VTransport::GetCurrentTempo(double* TempoBPM) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCurrentTempo, TempoBPM);
}

AAX_Result AAX_VTransport::GetCurrentMeter(int32_t* MeterNumerator, int32_t* MeterDenominator) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCurrentMeter, MeterNumerator, MeterDenominator);
}

AAX_Result AAX_VTransport::IsTransportPlaying(bool* isPlaying) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::IsTransportPlaying, isPlaying);
}

AAX_Result AAX_VTransport::GetCurrentTickPosition(int64_t* TickPosition) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCurrentTickPosition, TickPosition);
}

AAX_Result AAX_VTransport::GetCurrentLoopPosition(bool* bLooping, int64_t* LoopStartTick, int64_t* LoopEndTick) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCurrentLoopPosition, bLooping, LoopStartTick, LoopEndTick);
}

AAX_Result AAX_VTransport::GetCurrentNativeSampleLocation(int64_t* SampleLocation) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCurrentNativeSampleLocation, SampleLocation);
}

AAX_Result AAX_VTransport::GetCustomTickPosition(int64_t* oTickPosition, int64_t iSampleLocation) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCustomTickPosition, oTickPosition, iSampleLocation);
}

AAX_Result AAX_VTransport::GetBarBeatPosition(int32_t* Bars, int32_t* Beats, int64_t* DisplayTicks,
                                              int64_t SampleLocation) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetBarBeatPosition, Bars, Beats, DisplayTicks,
                        SampleLocation);
}

AAX_Result AAX_VTransport::GetTicksPerQuarter(uint32_t* ticks) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetTicksPerQuarter, ticks);
}

AAX_Result AAX_VTransport::GetCurrentTicksPerBeat(uint32_t* ticks) const
{
    return AAX_CallHost(mTransportV1, &AAX_IACFTransport::GetCurrentTicksPerBeat, ticks);
}

AAX_Result AAX_VTransport::GetTimelineSelectionStartPosition(int64_t* oSampleLocation) const
{
    return AAX_CallHostOrUnimplemented(mTransportV2, &AAX_IACFTransport_V2::GetTimelineSelectionStartPosition,
                                       oSampleLocation);
}

AAX_Result AAX_VTransport::GetTimeCodeInfo(AAX_EFrameRate* oFrameRate, int32_t* oOffset) const
{
    return AAX_CallHostOrUnimplemented(mTransportV2, &AAX_IACFTransport_V2::GetTimeCodeInfo, oFrameRate, oOffset);
}

AAX_Result AAX_VTransport::GetFeetFramesInfo(AAX_EFeetFramesRate* oFeetFramesRate, int64_t* oOffset) const
{
    return AAX_CallHostOrUnimplemented(mTransportV2, &AAX_IACFTransport_V2::GetFeetFramesInfo, oFeetFramesRate,
                                       oOffset);
}

AAX_Result AAX_VTransport::IsMetronomeEnabled(int32_t* isEnabled) const
{
    return AAX_CallHostOrUnimplemented(mTransportV2, &AAX_IACFTransport_V2::IsMetronomeEnabled, isEnabled);
}

AAX_Result AAX_VTransport::GetHDTimeCodeInfo(AAX_EFrameRate* oHDFrameRate, int64_t* oHDOffset) const
{
    return AAX_CallHostOrUnimplemented(mTransportV3, &AAX_IACFTransport_V3::GetHDTimeCodeInfo, oHDFrameRate, oHDOffset);
}
