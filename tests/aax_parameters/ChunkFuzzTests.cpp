// SetChunk on chunks cut short, mutated and made up (fixed seeds): it never reads past the chunk's data,
// and every parameter keeps its value or takes one read whole from the chunk. CI runs a short slice; set
// KELVANE_CHUNK_FUZZ_ROUNDS for a longer run.
#include "AAX_CLinearTaperDelegate.h"
#include "EffectTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <random>

namespace
{
// Every entry kind the reader knows, and one it does not.
const std::vector<uint8_t> kEveryKind = {
    1,   1,   1,    1,    'r',  '_',  'd', 'b', 'M', 'a', 'i',  'n',  0,    0,    0,    0,   'a', 'b', 0,
    0,   's', '_',  'd',  'b',  'V',  'o', 'c', 'a', 'l', 0,    0,    0,    0x12, 0x34, 0,   0,   'l', '_',
    'x', 0,   0xFF, 0xFF, 0xFF, 0xFE, 'f', '_', 'y', 0,   0x3F, 0x80, 0,    0,    'q',  '_', 0,   0,   'd',
    '_', 'd', 'b',  'V',  'o',  'c',  'a', 'l', 0,   0,   0,    0x3F, 0xD0, 0,    0,    0,   0,   0,   0,
};

class ChunkFuzz : public ChunkTest
{
protected:
    AAX_Result restore(const std::vector<uint8_t>& data)
    {
        setValues({0.5, 0.5, 0.5});
        const AAX_Result result = effect->SetChunk(kElck, asChunk(chunkOf(data)));
        confirm();
        return result;
    }
};

// A value the parameter can take from 8 whole bytes at an aligned place in the data.
bool ReadWhole(const std::vector<uint8_t>& data, double value)
{
    const AAX_CLinearTaperDelegate<float, 0> taper;
    for (size_t offset = 4; offset + 8 <= data.size(); offset += 4)
    {
        uint64_t bits = 0;
        for (size_t index = 0; index < 8; ++index)
            bits = (bits << 8) | data[offset + index];
        double stored = 0.0;
        std::memcpy(&stored, &bits, sizeof stored);
        if (stored == stored && taper.RealToNormalized(AAX_RealFromDouble<float>(stored)) == value)
            return true;
    }
    return false;
}

TEST_F(ChunkFuzz, ChunkCutShortRestoresTheEntriesItHoldsWhole)
{
    setValues({0.25, 0.75, 1.0});
    const std::vector<uint8_t> data = dataOf(saveChunk());
    const size_t entryEnds[] = {24, 44, 64};
    const double savedValues[] = {0.25, 0.75, 1.0};
    for (size_t length = 0; length <= data.size(); ++length)
    {
        const AAX_Result result = restore({data.begin(), data.begin() + long(length)});
        EXPECT_EQ(result, length < 4 ? AAX_ERROR_MALFORMED_CHUNK : AAX_SUCCESS) << length;
        for (int index = 0; index < 3; ++index)
            EXPECT_EQ(value(kChunkedIDs[index]), length >= entryEnds[index] ? savedValues[index] : 0.5)
                << kChunkedIDs[index] << " from " << length << " bytes";
    }
}

TEST_F(ChunkFuzz, MutatedAndMadeUpChunksLeaveValuesUnchangedOrReadWhole)
{
    setValues({0.25, 0.75, 1.0});
    const std::vector<uint8_t> saved = dataOf(saveChunk());
    const char* const rounds = std::getenv("KELVANE_CHUNK_FUZZ_ROUNDS");
    std::mt19937 random(8);
    for (long round = 0, count = rounds != nullptr ? std::atol(rounds) : 600; round < count; ++round)
    {
        std::vector<uint8_t> data = round % 3 == 0   ? saved
                                    : round % 3 == 1 ? kEveryKind
                                                     : std::vector<uint8_t>(random() % 96);
        if (round % 3 == 2)
        {
            for (uint8_t& byte : data)
                byte = uint8_t(random() % 4 == 0 ? random() : uint8_t("\1d_dbMain"[random() % 10]));
            if (data.size() >= 4 && random() % 2 == 0)
                std::fill(data.begin(), data.begin() + 4, 1);
        }
        for (unsigned edit = random() % 5; edit > 0 && !data.empty(); --edit)
            data[random() % data.size()] = uint8_t(random());
        if (!data.empty() && random() % 2 == 0)
            data.resize(random() % data.size());

        restore(data);
        for (const char* id : kChunkedIDs)
        {
            const double restored = value(id);
            EXPECT_TRUE(restored == 0.5 || ReadWhole(data, restored))
                << id << " = " << restored << " in round " << round;
        }
    }
}
} // namespace
