// One instance of a registered plug-in's effect, made and driven the way a host does:
// - made through the effect's registered creation procedure and initialised with a host context whose
//   controller answers the sample rate and stem formats (automation delegate, transport and page-table
//   controller come with the context);
// - its algorithm context built from the fields of the component that matches the stem format (audio in
//   and out, buffer length, data-in ports, private data blocks reset through ResetFieldData);
// - parameters set as a host sets them: the plug-in's request is confirmed through
//   UpdateParameterNormalizedValue, then the host asks for coefficients; packets posted then reach their
//   ports only between blocks;
// - blocks handed to the component's process procedure as an array of context pointers, never longer than
//   the maximum block size;
// - torn down in host order: the algorithm context, Uninitialize, the last reference.
// One thread drives an instance; all calls come from it.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IComponentDescriptor.h"
#include "HostContext.h"
#include "HostObject.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class HostPlugIn;
class HostComponentDescriptor;

class HostInstance
{
public:
    struct Setup
    {
        AAX_CSampleRate sampleRate = 48000.0f;
        AAX_EStemFormat stemFormat = AAX_eStemFormat_Stereo;        // input and output alike
        int32_t maximumBlockSize = 1 << AAX_eAudioBufferLength_Max; // the most an AAX host hands over
    };

    // Throws HostError when the plug-in has no algorithm for the stem format, cannot be created, or refuses
    // to initialise; nothing of the instance is left behind then.
    HostInstance(const HostPlugIn& plugIn, const Setup& setup);
    ~HostInstance();

    HostInstance(const HostInstance&) = delete;
    HostInstance& operator=(const HostInstance&) = delete;

    const Setup& setup() const { return mSetup; }
    int channels() const { return mChannels; }
    // The host-facing effect interface, for calls this class does not wrap. After a call that may make the
    // plug-in ask for values or post packets, call settle().
    AAX_IACFEffectParameters_V4& effect() const { return *mEffect; }
    HostContext& context() const { return *mContext; }

    // Parameters, as the plug-in lists them (GetNumberOfParameters, GetParameterIDFromIndex).
    std::vector<std::string> parameterIDs() const;
    bool hasParameter(const std::string& parameterID) const;
    std::string masterBypassID() const;
    // Sets a normalised value: SetParameterNormalizedValue, then settle(). The plug-in's first failure.
    AAX_Result setParameter(const std::string& parameterID, double normalised);
    AAX_Result setBypass(bool bypassed);
    double parameter(const std::string& parameterID) const;
    // Texts a host shows: the name fitting `length` characters, and the text of the current value.
    std::string parameterName(const std::string& parameterID, int32_t length = 31) const;
    std::string parameterText(const std::string& parameterID, int32_t length = 16) const;

    // Confirms every value the plug-in asked the host for, then GenerateCoefficients; the packets posted are
    // kept for the next block. Returns the first failure.
    AAX_Result settle();

    // Saved settings: the chunk IDs the plug-in numbers, a chunk's data (throws HostError when the plug-in
    // cannot give it), restoring data (SetChunk, then settle()) and comparing (CompareActiveChunk).
    std::vector<AAX_CTypeID> chunkIDs() const;
    std::vector<char> chunk(AAX_CTypeID chunkID) const;
    AAX_Result restoreChunk(AAX_CTypeID chunkID, const std::vector<char>& data);
    bool matchesChunk(AAX_CTypeID chunkID, const std::vector<char>& data) const;

    // One block of `frames` samples per channel (0 to the maximum block size). As with a host, the inputs and
    // the outputs are separate buffers.
    void process(const float* const* inputs, float* const* outputs, int32_t frames);

private:
    struct Port
    {
        AAX_CFieldIndex field = 0;
        std::vector<std::max_align_t> storage;
        uint32_t size = 0;
    };
    struct Packet
    {
        AAX_CFieldIndex field = 0;
        std::vector<uint8_t> payload;
    };

    void create(const HostPlugIn& plugIn);
    void buildAlgorithmContext(const HostComponentDescriptor& component);
    void collectPackets();
    void teardown();

    Setup mSetup;
    int mChannels = 0;
    HostRef<HostContext> mContext;
    AAX_IACFEffectParameters_V4* mEffect = nullptr;
    bool mInitialized = false;

    AAX_CProcessProc mProcess = nullptr;
    AAX_CInstanceInitProc mInstanceInit = nullptr;
    std::vector<void*> mFields; // the algorithm context: one pointer per field
    std::vector<float*> mInputs;
    std::vector<float*> mOutputs;
    int32_t mBlockLength = 0;
    AAX_CSampleRate mSampleRateField = 0.0f;
    int32_t mSideChainField = 0;
    std::vector<Port> mPorts;
    std::vector<std::unique_ptr<std::max_align_t[]>> mBlocks; // private data and meter taps
    size_t mPacketsSeen = 0;
    std::vector<Packet> mPendingPackets;
};
