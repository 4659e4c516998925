#include "EffectTestSupport.h"

#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"

#include <algorithm>

AAX_Result PluginLikeEffect::EffectInit()
{
    reached.push_back("EffectInit");
    if (init)
        return init(*this);
    AddParameter("dbEnable", "Enable", 1.0f, 2);
    AddParameter("dbMain", "Level", 0.5f, 2048);
    AddParameter("dbVocal", "Vocal Mode", 0.0f, 2);
    AddParameter(cDefaultMasterBypassID, "Master Bypass", 0.0f, 2);
    return mPacketDispatcher.RegisterPacket(cDefaultMasterBypassID, 3);
}

AAX_Result PluginLikeEffect::AddParameter(const char* id, const char* name, float defaultValue, uint32_t steps)
{
    auto* parameter =
        new AAX_CParameter<float>(id, AAX_CString(name), defaultValue, AAX_CLinearTaperDelegate<float, 0>(),
                                  AAX_CNumberDisplayDelegate<float, 3>(), true);
    parameter->AddShortenedName(std::string(name).substr(0, 4).c_str());
    parameter->SetNumberOfSteps(steps);
    parameter->SetType(steps > 2 ? AAX_eParameterType_Continuous : AAX_eParameterType_Discrete);
    mParameterManager.AddParameter(parameter);
    return AAX_SUCCESS;
}

void EffectTest::SetUp()
{
    context = makeContext();
    AAX_CHostServices::Set(context->unknown());
    effect = new PluginLikeEffect;
    effect->AddRef();
}

void EffectTest::TearDown()
{
    // The host's order: uninitialise, give back its reference, shut the services down; then nothing of the
    // host may be left alive.
    effect->Uninitialize();
    effect->Release();
    AAX_CHostServices::Set(nullptr);
    context.reset();
    HostTest::TearDown();
}

HostAutomationDelegate& EffectTest::automation()
{
    return *context->component<HostAutomationDelegate>(HostAutomationDelegate::kName);
}

HostController& EffectTest::controller()
{
    return *context->component<HostController>(HostController::kName);
}

void EffectTest::confirm()
{
    EXPECT_EQ(automation().confirmRequests(*effect), AAX_SUCCESS);
}

double EffectTest::value(const char* id) const
{
    double normalized = -1.0;
    EXPECT_EQ(effect->AAX_CEffectParameters::GetParameterNormalizedValue(id, &normalized), AAX_SUCCESS) << id;
    return normalized;
}

std::vector<char> EffectTest::saveChunk()
{
    uint32_t size = 0;
    EXPECT_EQ(effect->GetChunkSize(kElck, &size), AAX_SUCCESS);
    std::vector<char> record = chunkOf(std::vector<uint8_t>(size));
    EXPECT_EQ(effect->GetChunk(kElck, reinterpret_cast<AAX_SPlugInChunk*>(record.data())), AAX_SUCCESS);
    return record;
}

std::vector<char> EffectTest::chunkOf(const std::vector<uint8_t>& data, AAX_CTypeID id)
{
    // Exactly as long as the data, so that a read past it is caught by the address sanitizer.
    std::vector<char> record(offsetof(AAX_SPlugInChunk, fData) + data.size());
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    chunk->fSize = static_cast<int32_t>(data.size());
    chunk->fChunkID = id; // the host's part of the record
    std::copy(data.begin(), data.end(), record.begin() + offsetof(AAX_SPlugInChunk, fData));
    return record;
}

void ChunkTest::SetUp()
{
    EffectTest::SetUp();
    ASSERT_EQ(initialize(), AAX_SUCCESS);
}

void ChunkTest::setValues(const std::vector<double>& values, double bypass)
{
    for (size_t index = 0; index < values.size(); ++index)
        effect->SetParameterNormalizedValue(kChunkedIDs[index], values[index]);
    effect->SetParameterNormalizedValue(cDefaultMasterBypassID, bypass);
    confirm();
}

std::vector<double> ChunkTest::values() const
{
    return {value("dbEnable"), value("dbMain"), value("dbVocal")};
}
