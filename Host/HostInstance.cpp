#include "HostInstance.h"

#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "HostAutomationDelegate.h"
#include "HostComponentDescriptor.h"
#include "HostController.h"
#include "HostError.h"
#include "HostPlugIn.h"
#include "HostString.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace
{
// A chunk record as the host hands it over: the header followed by `size` data bytes.
std::vector<std::max_align_t> chunkRecord(AAX_CTypeID chunkID, uint32_t size)
{
    const size_t bytes = offsetof(AAX_SPlugInChunk, fData) + size;
    std::vector<std::max_align_t> storage((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t) + 1);
    auto* const record = reinterpret_cast<AAX_SPlugInChunk*>(storage.data());
    record->fSize = static_cast<int32_t>(size);
    record->fChunkID = chunkID;
    return storage;
}

std::vector<std::max_align_t> chunkRecord(AAX_CTypeID chunkID, const std::vector<char>& data)
{
    std::vector<std::max_align_t> storage = chunkRecord(chunkID, static_cast<uint32_t>(data.size()));
    if (!data.empty())
        std::memcpy(reinterpret_cast<AAX_SPlugInChunk*>(storage.data())->fData, data.data(), data.size());
    return storage;
}

const HostComponentDescriptor* componentFor(const HostPlugIn& plugIn, AAX_EStemFormat format,
                                            const HostComponentDescriptor::NativeProcedure** procedure)
{
    for (const HostRef<HostComponentDescriptor>& component : plugIn.effect().components())
        for (const HostComponentDescriptor::NativeProcedure& candidate : component->nativeProcedures())
            if (candidate.processProc != nullptr && candidate.properties
                && candidate.properties->property(AAX_eProperty_InputStemFormat, AAX_eStemFormat_None) == format
                && candidate.properties->property(AAX_eProperty_OutputStemFormat, AAX_eStemFormat_None) == format)
            {
                *procedure = &candidate;
                return component.get();
            }
    return nullptr;
}
} // namespace

HostInstance::HostInstance(const HostPlugIn& plugIn, const Setup& setup)
    : mSetup(setup), mChannels(AAX_STEM_FORMAT_CHANNEL_COUNT(setup.stemFormat)),
      mContext(makeHostObject<HostContext>(plugIn.environment()))
{
    if (setup.maximumBlockSize < 1 || setup.maximumBlockSize > (1 << AAX_eAudioBufferLength_Max))
        throw std::invalid_argument("HostInstance: an AAX host's blocks hold 1 to 1024 samples");
    const HostComponentDescriptor::NativeProcedure* procedure = nullptr;
    const HostComponentDescriptor* const component = componentFor(plugIn, setup.stemFormat, &procedure);
    if (component == nullptr)
        throw HostError("the plug-in has no algorithm for " + hostStemFormatName(setup.stemFormat) + " audio");
    mProcess = procedure->processProc;
    mInstanceInit = procedure->instanceInitProc;
    try
    {
        create(plugIn);
        buildAlgorithmContext(*component);
        if (mInstanceInit != nullptr)
            mInstanceInit(mFields.data(), AAX_eComponentInstanceInitAction_AddingNewInstance);
        settle();
    }
    catch (...)
    {
        teardown();
        throw;
    }
}

HostInstance::~HostInstance()
{
    teardown();
}

void HostInstance::create(const HostPlugIn& plugIn)
{
    mEffect = static_cast<AAX_IACFEffectParameters_V4*>(
        plugIn.createObject(kAAX_ProcPtrID_Create_EffectParameters, IID_IAAXEffectParametersV4, "its effect"));

    HostController::Answers& answers = mContext->component<HostController>(HostController::kName)->answers();
    answers.effectID = plugIn.effectID();
    answers.sampleRate = mSetup.sampleRate;
    answers.inputStemFormat = mSetup.stemFormat;
    answers.outputStemFormat = mSetup.stemFormat;

    const AAX_Result initialized = mEffect->Initialize(mContext->unknown());
    mInitialized = true;
    if (initialized != 0)
        throw HostError("the plug-in refused " + hostStemFormatName(mSetup.stemFormat) + " audio at "
                        + std::to_string(static_cast<int>(mSetup.sampleRate))
                        + " Hz (Initialize: " + hostResultText(initialized) + ")");
}

void HostInstance::buildAlgorithmContext(const HostComponentDescriptor& component)
{
    AAX_CFieldIndex highest = -1;
    for (const HostComponentDescriptor::Field& field : component.fields())
        highest = std::max(highest, field.index);
    if (highest < 0 || highest > 1024)
        throw HostError("the plug-in's algorithm context has no usable fields");
    mFields.assign(static_cast<size_t>(highest) + 1, nullptr);
    mInputs.assign(static_cast<size_t>(mChannels), nullptr);
    mOutputs.assign(static_cast<size_t>(mChannels), nullptr);

    auto block = [this](int64_t bytes) {
        const size_t count = (static_cast<size_t>(bytes) + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
        mBlocks.emplace_back(new std::max_align_t[count == 0 ? 1 : count]());
        return static_cast<void*>(mBlocks.back().get());
    };

    mPorts.reserve(component.fields().size());
    for (const HostComponentDescriptor::Field& field : component.fields())
    {
        const int64_t value = field.values.empty() ? 0 : field.values[0];
        void*& slot = mFields[static_cast<size_t>(field.index)];
        if (field.index < 0 || slot != nullptr)
            throw HostError("the plug-in's algorithm uses context field " + std::to_string(field.index) + " twice");
        switch (field.method)
        {
            case 5: slot = mInputs.data(); break;
            case 6: slot = mOutputs.data(); break;
            case 7: slot = &mBlockLength; break;
            case 8: slot = &mSampleRateField; break;
            case 10: slot = &mSideChainField; break;
            case 11:
            {
                if (value < 0 || value > 65536)
                    throw HostError("the plug-in asks for a data-in port of " + std::to_string(value) + " bytes");
                Port port;
                port.field = field.index;
                port.size = static_cast<uint32_t>(value);
                port.storage.resize(static_cast<size_t>(value) / sizeof(std::max_align_t) + 1);
                mPorts.push_back(std::move(port));
                slot = mPorts.back().storage.data();
                break;
            }
            case 13:
            {
                if (value < 0 || value > (1 << 24))
                    throw HostError("the plug-in asks for " + std::to_string(value) + " bytes of private data");
                slot = block(value);
                const AAX_Result reset = mEffect->ResetFieldData(field.index, slot, static_cast<uint32_t>(value));
                if (reset != 0)
                    throw HostError(
                        "the plug-in failed to reset its private data (ResetFieldData: " + std::to_string(reset) + ")");
                break;
            }
            case 18: slot = block(value * static_cast<int64_t>(sizeof(float))); break;
            default:
                throw HostError(
                    "the plug-in's algorithm needs a context field of a kind this host does not offer (method "
                    + std::to_string(field.method) + ")");
        }
    }
    mSampleRateField = mSetup.sampleRate;
}

void HostInstance::teardown()
{
    if (mInstanceInit != nullptr && !mFields.empty())
        mInstanceInit(mFields.data(), AAX_eComponentInstanceInitAction_RemovingInstance);
    mInstanceInit = nullptr;
    mFields.clear();
    mBlocks.clear();
    mPorts.clear();
    if (mEffect != nullptr)
    {
        if (mInitialized)
            mEffect->Uninitialize();
        mEffect->Release();
    }
    mEffect = nullptr;
    mInitialized = false;
}

std::vector<std::string> HostInstance::parameterIDs() const
{
    int32_t count = 0;
    std::vector<std::string> ids;
    if (mEffect->GetNumberOfParameters(&count) != 0)
        return ids;
    for (int32_t index = 0; index < count; ++index)
    {
        HostString id;
        if (mEffect->GetParameterIDFromIndex(index, &id) == 0)
            ids.push_back(id.text());
    }
    return ids;
}

bool HostInstance::hasParameter(const std::string& parameterID) const
{
    int32_t index = -1;
    return mEffect->GetParameterIndex(parameterID.c_str(), &index) == 0 && index >= 0;
}

std::string HostInstance::masterBypassID() const
{
    HostString id;
    mEffect->GetMasterBypassParameter(&id);
    return id.text();
}

AAX_Result HostInstance::setParameter(const std::string& parameterID, double normalised)
{
    const AAX_Result set = mEffect->SetParameterNormalizedValue(parameterID.c_str(), normalised);
    const AAX_Result settled = settle();
    return set != 0 ? set : settled;
}

AAX_Result HostInstance::setBypass(bool bypassed)
{
    const std::string bypassID = masterBypassID();
    if (bypassID.empty())
        return AAX_ERROR_INVALID_PARAMETER_ID;
    return setParameter(bypassID, bypassed ? 1.0 : 0.0);
}

double HostInstance::parameter(const std::string& parameterID) const
{
    double value = 0.0;
    mEffect->GetParameterNormalizedValue(parameterID.c_str(), &value);
    return value;
}

std::string HostInstance::parameterName(const std::string& parameterID, int32_t length) const
{
    HostString name;
    mEffect->GetParameterNameOfLength(parameterID.c_str(), &name, length);
    return name.text();
}

std::string HostInstance::parameterText(const std::string& parameterID, int32_t length) const
{
    HostString text;
    mEffect->GetParameterStringFromValue(parameterID.c_str(), parameter(parameterID), &text, length);
    return text.text();
}

AAX_Result HostInstance::settle()
{
    HostAutomationDelegate* const automation =
        mContext->component<HostAutomationDelegate>(HostAutomationDelegate::kName);
    const AAX_Result confirmed = automation->confirmRequests(*mEffect);
    const AAX_Result coefficients = mEffect->GenerateCoefficients();
    collectPackets();
    return confirmed != 0 ? confirmed : coefficients;
}

void HostInstance::collectPackets()
{
    for (HostController::Packet& packet :
         mContext->component<HostController>(HostController::kName)->packetsAfter(mPacketsSeen))
    {
        mPendingPackets.push_back({packet.field, std::move(packet.payload)});
        ++mPacketsSeen;
    }
}

std::vector<AAX_CTypeID> HostInstance::chunkIDs() const
{
    int32_t count = 0;
    std::vector<AAX_CTypeID> ids;
    if (mEffect->GetNumberOfChunks(&count) != 0)
        return ids;
    for (int32_t index = 0; index < count; ++index)
    {
        AAX_CTypeID id = 0;
        if (mEffect->GetChunkIDFromIndex(index, &id) == 0)
            ids.push_back(id);
    }
    return ids;
}

std::vector<char> HostInstance::chunk(AAX_CTypeID chunkID) const
{
    uint32_t size = 0;
    const AAX_Result sized = mEffect->GetChunkSize(chunkID, &size);
    if (sized != 0)
        throw HostError("the plug-in has no chunk " + hostFourCharacterCode(chunkID)
                        + " (GetChunkSize: " + hostResultText(sized) + ")");
    if (size > (1u << 28))
        throw HostError("the plug-in's chunk " + hostFourCharacterCode(chunkID) + " claims " + std::to_string(size)
                        + " bytes");
    std::vector<std::max_align_t> storage = chunkRecord(chunkID, size);
    auto* const record = reinterpret_cast<AAX_SPlugInChunk*>(storage.data());
    const AAX_Result got = mEffect->GetChunk(chunkID, record);
    if (got != 0)
        throw HostError("the plug-in failed to give its chunk " + hostFourCharacterCode(chunkID)
                        + " (GetChunk: " + hostResultText(got) + ")");
    if (record->fSize < 0 || static_cast<uint32_t>(record->fSize) > size)
        throw HostError("the plug-in wrote " + std::to_string(record->fSize) + " bytes into its chunk "
                        + hostFourCharacterCode(chunkID) + " of " + std::to_string(size));
    return std::vector<char>(record->fData, record->fData + record->fSize);
}

AAX_Result HostInstance::restoreChunk(AAX_CTypeID chunkID, const std::vector<char>& data)
{
    const std::vector<std::max_align_t> storage = chunkRecord(chunkID, data);
    const AAX_Result restored = mEffect->SetChunk(chunkID, reinterpret_cast<const AAX_SPlugInChunk*>(storage.data()));
    const AAX_Result settled = settle();
    return restored != 0 ? restored : settled;
}

bool HostInstance::matchesChunk(AAX_CTypeID chunkID, const std::vector<char>& data) const
{
    const std::vector<std::max_align_t> storage = chunkRecord(chunkID, data);
    AAX_CBoolean equal = 0;
    return mEffect->CompareActiveChunk(reinterpret_cast<const AAX_SPlugInChunk*>(storage.data()), &equal) == 0
           && equal != 0;
}

void HostInstance::process(const float* const* inputs, float* const* outputs, int32_t frames)
{
    if (frames < 0 || frames > mSetup.maximumBlockSize)
        throw std::invalid_argument("HostInstance::process: a block of " + std::to_string(frames) + " frames");

    // Coefficients reach the algorithm between blocks, never during one.
    for (const Packet& packet : mPendingPackets)
        for (Port& port : mPorts)
            if (port.field == packet.field)
                std::memcpy(port.storage.data(), packet.payload.data(),
                            std::min<size_t>(port.size, packet.payload.size()));
    mPendingPackets.clear();

    for (int channel = 0; channel < mChannels; ++channel)
    {
        mInputs[static_cast<size_t>(channel)] = const_cast<float*>(inputs[channel]);
        mOutputs[static_cast<size_t>(channel)] = outputs[channel];
    }
    mBlockLength = frames;
    void* const instances[] = {mFields.data()};
    mProcess(instances, instances + 1);
}
