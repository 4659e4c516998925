#include "HostController.h"

#include "AAX_IString.h"
#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

#include <algorithm>

namespace
{
const HostComponentRegistration
    registration({HostController::kName,
                  false,
                  {},
                  {IID_IAAXControllerV1, IID_IAAXControllerV2, IID_IAAXControllerV3},
                  [](HostEnvironment& environment) -> HostObject* { return new HostController(environment); }});

std::vector<uint8_t> bytesOf(const void* data, uint32_t size)
{
    const auto* const bytes = static_cast<const uint8_t*>(data);
    return data != nullptr ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

// A meter the host does not have reads as silent and unclipped.
HostController::Meter meterOf(const std::map<AAX_CTypeID, HostController::Meter>& meters, AAX_CTypeID meter)
{
    const auto found = meters.find(meter);
    return found != meters.end() ? found->second : HostController::Meter{};
}

AAX_Result setText(AAX_Result result, AAX_IString* out, const std::string& text)
{
    if (result == 0 && out != nullptr)
        out->Set(text.c_str());
    return result;
}
} // namespace

HostController::HostController(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXControllerV1"), mV2(*this, "IAAXControllerV2"),
      mV3(*this, "IAAXControllerV3")
{
}

void HostController::setMeter(AAX_CTypeID meter, float value, bool clipped)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mMeters[meter] = {value, value, clipped};
}

int32_t HostController::signalLatency() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mSignalLatency;
}

std::vector<HostController::Packet> HostController::packets() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPackets;
}

std::vector<HostController::Packet> HostController::packetsAfter(size_t skipped) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return std::vector<Packet>(mPackets.begin() + static_cast<std::ptrdiff_t>(std::min(skipped, mPackets.size())),
                               mPackets.end());
}

std::vector<HostController::Notification> HostController::notifications() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mNotifications;
}

void* HostController::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXControllerV1)
        return static_cast<AAX_IACFController*>(&mV1);
    if (interfaceID == IID_IAAXControllerV2)
        return static_cast<AAX_IACFController_V2*>(&mV2);
    if (interfaceID == IID_IAAXControllerV3)
        return static_cast<AAX_IACFController_V3*>(&mV3);
    return nullptr;
}

AAX_Result HostController::Facet::GetEffectID(AAX_IString* oEffectID) const
{
    return setText(call(3, {hostAddressArg(oEffectID)}), oEffectID, mController.mAnswers.effectID);
}

AAX_Result HostController::Facet::GetSampleRate(AAX_CSampleRate* oSampleRate) const
{
    return callAndAnswer(4, {hostAddressArg(oSampleRate)}, oSampleRate, mController.mAnswers.sampleRate);
}

AAX_Result HostController::Facet::GetInputStemFormat(AAX_EStemFormat* oStemFormat) const
{
    return callAndAnswer(5, {hostAddressArg(oStemFormat)}, oStemFormat, mController.mAnswers.inputStemFormat);
}

AAX_Result HostController::Facet::GetOutputStemFormat(AAX_EStemFormat* oStemFormat) const
{
    return callAndAnswer(6, {hostAddressArg(oStemFormat)}, oStemFormat, mController.mAnswers.outputStemFormat);
}

AAX_Result HostController::Facet::GetSignalLatency(int32_t* oSamples) const
{
    return callAndAnswer(7, {hostAddressArg(oSamples)}, oSamples, mController.signalLatency());
}

AAX_Result HostController::Facet::GetCycleCount(AAX_EProperty which, AAX_CPropertyValue* oNumCycles) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    const auto found = mController.mCycleCounts.find(which);
    return callAndAnswer(8, {hostArg(static_cast<int32_t>(which)), hostAddressArg(oNumCycles)}, oNumCycles,
                         found != mController.mCycleCounts.end() ? found->second : 0);
}

AAX_Result HostController::Facet::GetTODLocation(int64_t* oTODLocation) const
{
    return callAndAnswer(9, {hostAddressArg(oTODLocation)}, oTODLocation, mController.mAnswers.todLocation);
}

AAX_Result HostController::Facet::SetSignalLatency(int32_t samples)
{
    const AAX_Result result = call(10, {hostArg(samples)});
    std::lock_guard<std::mutex> lock(mController.mMutex);
    if (result == 0)
        mController.mSignalLatency = samples;
    return result;
}

AAX_Result HostController::Facet::SetCycleCount(AAX_EProperty* which, AAX_CPropertyValue* values, int32_t count)
{
    const AAX_Result result = call(11, {hostAddressArg(which), hostAddressArg(values), hostArg(count)});
    std::lock_guard<std::mutex> lock(mController.mMutex);
    if (result == 0 && which != nullptr && values != nullptr)
        for (int32_t i = 0; i < count; ++i)
            mController.mCycleCounts[which[i]] = values[i];
    return result;
}

AAX_Result HostController::Facet::PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size)
{
    const AAX_Result result = call(12, {hostArg(field), hostAddressArg(payload), hostArg(size)});
    std::lock_guard<std::mutex> lock(mController.mMutex);
    if (result == 0)
        mController.mPackets.push_back({field, bytesOf(payload, size)});
    return result;
}

AAX_Result HostController::Facet::GetCurrentMeterValue(AAX_CTypeID meter, float* oValue) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    return callAndAnswer(13, {hostArg(meter), hostAddressArg(oValue)}, oValue,
                         meterOf(mController.mMeters, meter).value);
}

AAX_Result HostController::Facet::GetMeterPeakValue(AAX_CTypeID meter, float* oValue) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    return callAndAnswer(14, {hostArg(meter), hostAddressArg(oValue)}, oValue,
                         meterOf(mController.mMeters, meter).peak);
}

AAX_Result HostController::Facet::ClearMeterPeakValue(AAX_CTypeID meter) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    const auto found = mController.mMeters.find(meter);
    return callAndAnswer(15, {hostArg(meter)}, found != mController.mMeters.end() ? &found->second.peak : nullptr,
                         0.0f);
}

AAX_Result HostController::Facet::GetMeterClipped(AAX_CTypeID meter, AAX_CBoolean* oClipped) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    return callAndAnswer(16, {hostArg(meter), hostAddressArg(oClipped)}, oClipped,
                         static_cast<AAX_CBoolean>(meterOf(mController.mMeters, meter).clipped ? 1 : 0));
}

AAX_Result HostController::Facet::ClearMeterClipped(AAX_CTypeID meter) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    const auto found = mController.mMeters.find(meter);
    return callAndAnswer(17, {hostArg(meter)}, found != mController.mMeters.end() ? &found->second.clipped : nullptr,
                         false);
}

AAX_Result HostController::Facet::GetMeterCount(uint32_t* oCount) const
{
    std::lock_guard<std::mutex> lock(mController.mMutex);
    return callAndAnswer(18, {hostAddressArg(oCount)}, oCount, static_cast<uint32_t>(mController.mMeters.size()));
}

AAX_Result HostController::Facet::GetNextMIDIPacket(AAX_CFieldIndex* oPort, AAX_CMidiPacket* oPacket)
{
    return call(19, {hostAddressArg(oPort), hostAddressArg(oPacket)});
}

AAX_Result HostController::Facet::SendNotification(AAX_CTypeID type, const void* data, uint32_t size)
{
    const AAX_Result result = call(20, {hostArg(type), hostAddressArg(data), hostArg(size)});
    std::lock_guard<std::mutex> lock(mController.mMutex);
    if (result == 0)
        mController.mNotifications.push_back({type, bytesOf(data, size)});
    return result;
}

AAX_Result HostController::Facet::GetHybridSignalLatency(int32_t* oSamples) const
{
    return callAndAnswer(21, {hostAddressArg(oSamples)}, oSamples, mController.mAnswers.hybridSignalLatency);
}

AAX_Result HostController::Facet::GetCurrentAutomationTimestamp(AAX_CTransportCounter* oTimestamp) const
{
    return callAndAnswer(22, {hostAddressArg(oTimestamp)}, oTimestamp, mController.mAnswers.automationTimestamp);
}

AAX_Result HostController::Facet::GetHostName(AAX_IString* oName) const
{
    return setText(call(23, {hostAddressArg(oName)}), oName, mController.mAnswers.hostName);
}

AAX_Result HostController::Facet::GetPlugInTargetPlatform(int32_t* oPlatform) const
{
    return callAndAnswer(24, {hostAddressArg(oPlatform)}, oPlatform, mController.mAnswers.targetPlatform);
}

AAX_Result HostController::Facet::GetIsAudioSuite(AAX_CBoolean* oIsAudioSuite) const
{
    return callAndAnswer(25, {hostAddressArg(oIsAudioSuite)}, oIsAudioSuite,
                         static_cast<AAX_CBoolean>(mController.mAnswers.audioSuite ? 1 : 0));
}
