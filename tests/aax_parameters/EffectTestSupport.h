// An effect object set up the way JUCE's AAX client sets up this plug-in's, and a fixture that drives it
// as an AAX host does, against the host stand-in.
#pragma once

#include "AAX_CEffectParameters.h"
#include "HostAutomationDelegate.h"
#include "HostController.h"
#include "HostTestSupport.h"

#include <functional>
#include <string>
#include <vector>

constexpr AAX_CTypeID kElck = AAX_FOURCHAR('e', 'l', 'c', 'k');

// "dbEnable" (on), "dbMain" (0.5, 2048 steps), "dbVocal" (off) and the master bypass on port 3, each a
// float parameter with the linear 0..1 taper, three decimals and a 4-character shortened name.
class PluginLikeEffect : public AAX_CEffectParameters
{
public:
    // Replaces the set-up above (e.g. to fail or throw).
    std::function<AAX_Result(PluginLikeEffect&)> init;
    // The overrides below note that they were reached, then let the base answer.
    mutable std::vector<std::string> reached;

    AAX_Result EffectInit() override;
    AAX_Result AddParameter(const char* id, const char* name, float defaultValue, uint32_t steps);

    using Base = AAX_CEffectParameters;
    // Counts more parameters than there are, as a faulty plug-in might.
    int32_t phantomParameters = 0;

    AAX_Result GetNumberOfParameters(int32_t* n) const override
    {
        note(__func__);
        const AAX_Result result = Base::GetNumberOfParameters(n);
        *n += phantomParameters;
        return result;
    }
    AAX_Result GetMasterBypassParameter(AAX_IString* id) const override
    {
        return note(__func__), Base::GetMasterBypassParameter(id);
    }
    AAX_Result GetParameterNormalizedValue(AAX_CParamID id, double* value) const override
    {
        return note(__func__), Base::GetParameterNormalizedValue(id, value);
    }
    AAX_Result SetParameterNormalizedValue(AAX_CParamID id, double value) override
    {
        return note(__func__), Base::SetParameterNormalizedValue(id, value);
    }
    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID id, double value, AAX_EUpdateSource source) override
    {
        return note(__func__), Base::UpdateParameterNormalizedValue(id, value, source);
    }
    void note(const char* operation) const { reached.push_back(operation); }

    using AAX_CEffectParameters::Controller;
    using AAX_CEffectParameters::FilterParameterIDOnSave;
    using AAX_CEffectParameters::mPacketDispatcher;
};

class EffectTest : public HostTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    AAX_Result initialize() { return effect->Initialize(context->unknown()); }
    HostAutomationDelegate& automation();
    HostController& controller();
    // The host confirms every value the effect asked for.
    void confirm();
    double value(const char* id) const;
    // The chunk the host saves, and the one it would restore from given data.
    std::vector<char> saveChunk();
    static std::vector<char> chunkOf(const std::vector<uint8_t>& data, AAX_CTypeID id = kElck);

    HostRef<HostContext> context;
    PluginLikeEffect* effect = nullptr;
};

// An initialised effect whose three chunked values the host sets and reads.
class ChunkTest : public EffectTest
{
protected:
    void SetUp() override;
    // The host sets "dbEnable", "dbMain" and "dbVocal" (and the bypass) and confirms them.
    void setValues(const std::vector<double>& values, double bypass = 0.0);
    std::vector<double> values() const;

    static constexpr const char* kChunkedIDs[] = {"dbEnable", "dbMain", "dbVocal"};
};

inline const AAX_SPlugInChunk* asChunk(const std::vector<char>& record)
{
    return reinterpret_cast<const AAX_SPlugInChunk*>(record.data());
}

inline std::vector<uint8_t> dataOf(const std::vector<char>& record)
{
    return {record.begin() + offsetof(AAX_SPlugInChunk, fData), record.end()};
}
