#include "BundleTestSupport.h"

#include "HostController.h"
#include "PluginProcessor.h"

#include <cmath>
#include <cstring>

namespace bundle_test
{
Audio programme(int channels, double sampleRate, int frames)
{
    static const double levels[] = {0.4, 0.002, 1.6, 0.00003};
    Audio audio(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
    uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i)
    {
        const double level = levels[static_cast<int>(i / (0.07 * sampleRate)) % 4];
        for (int c = 0; c < channels; ++c)
        {
            noise = noise * 1664525u + 1013904223u;
            const double hiss = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
            audio[static_cast<size_t>(c)][static_cast<size_t>(i)] = static_cast<float>(
                level * (std::sin(2.0 * 3.141592653589793 * (150.0 + 70.0 * c) * i / sampleRate) + 0.2 * hiss));
        }
    }
    return audio;
}

namespace
{
template <typename ChangeParameter, typename ProcessBlock>
void forEachBlock(const Audio& input, const std::vector<int>& blockSizes, const std::vector<Change>& changes,
                  ChangeParameter change, ProcessBlock block)
{
    const int frames = static_cast<int>(input[0].size());
    for (int index = 0, position = 0; position < frames; ++index)
    {
        for (const Change& each : changes)
            if (each.block == index)
                change(each);
        const int count = std::min(blockSizes[static_cast<size_t>(index) % blockSizes.size()], frames - position);
        block(position, count);
        position += count;
    }
}
} // namespace

Audio renderThroughHost(HostInstance& instance, const Audio& input, const std::vector<int>& blockSizes,
                        const std::vector<Change>& changes)
{
    Audio output(input.size(), std::vector<float>(input[0].size()));
    forEachBlock(
        input, blockSizes, changes,
        [&instance](const Change& change) { EXPECT_EQ(instance.setParameter(change.parameterID, change.value), 0); },
        [&](int position, int count) {
            const float* in[] = {input[0].data() + position, input.back().data() + position};
            float* out[] = {output[0].data() + position, output.back().data() + position};
            instance.process(in, out, count);
        });
    return output;
}

Audio renderDirectly(double sampleRate, const Audio& input, const std::vector<int>& blockSizes,
                     const std::vector<Change>& changes, std::vector<double>* meterSteps)
{
    const int channels = static_cast<int>(input.size());
    KelvaneAudioProcessor processor;
    processor.setPlayConfigDetails(channels, channels, sampleRate, 1024);
    processor.prepareToPlay(sampleRate, 1024);
    bool bypassed = false;
    Audio output = input;
    juce::MidiBuffer midi;
    forEachBlock(
        input, blockSizes, changes,
        [&](const Change& change) {
            if (change.parameterID == "MasterBypassID")
                bypassed = change.value >= 0.5;
            for (juce::AudioProcessorParameter* parameter : processor.getParameters())
                if (static_cast<juce::AudioProcessorParameterWithID*>(parameter)->paramID == change.parameterID.c_str())
                    parameter->setValue(static_cast<float>(change.value));
        },
        [&](int position, int count) {
            float* channelsOfBlock[] = {output[0].data() + position, output.back().data() + position};
            juce::AudioBuffer<float> block(channelsOfBlock, channels, count);
            if (bypassed)
                processor.processBlockBypassed(block, midi);
            else
                processor.processBlock(block, midi);
            if (meterSteps != nullptr)
                meterSteps->push_back(processor.meterStepLeft.load());
        });
    return output;
}

HostInstance::Setup setupFor(int channels, float sampleRate)
{
    HostInstance::Setup setup;
    setup.sampleRate = sampleRate;
    setup.stemFormat = channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
    return setup;
}

void expectParametersValid(const HostInstance& instance)
{
    auto valid = [](double value) { return std::isfinite(value) && value >= 0.0 && value <= 1.0; };
    // JUCE's client keeps a Master Bypass object of its own that reads back whatever the host wrote into it;
    // what the plug-in uses of the bypass is its packet, checked below.
    for (const std::string& id : instance.parameterIDs())
        EXPECT_TRUE(id == instance.masterBypassID() || valid(instance.parameter(id)))
            << id << " reads " << instance.parameter(id);

    // 'elck': the marker, then per entry "d_" and the ID, padding to 4 bytes, and a big-endian double.
    const std::vector<char> chunk = instance.chunk(kElck);
    for (size_t at = 4; at < chunk.size();)
    {
        const std::string tag(chunk.data() + at);
        at = (at + tag.size() + 1 + 3) / 4 * 4;
        ASSERT_LE(at + 8, chunk.size());
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | static_cast<uint8_t>(chunk[at + static_cast<size_t>(i)]);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        EXPECT_TRUE(valid(value)) << tag << " saved as " << value;
        at += 8;
    }

    for (const HostController::Packet& packet :
         instance.context().component<HostController>(HostController::kName)->packets())
    {
        float value = 0.0f;
        ASSERT_EQ(packet.payload.size(), sizeof value);
        std::memcpy(&value, packet.payload.data(), sizeof value);
        EXPECT_TRUE(valid(value)) << "packet for field " << packet.field << " holds " << value;
    }
}
} // namespace bundle_test
