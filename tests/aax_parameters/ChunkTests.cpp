// The parameter-values chunk 'elck': its bytes, what restoring and comparing it does, what is refused.
#include "EffectTestSupport.h"

#include <cstring>

namespace
{
const std::vector<uint8_t> kWorkedExample = {
    0x01, 0x01, 0x01, 0x01,                                     // marker
    'd',  '_',  'd',  'b',  'E', 'n', 'a', 'b', 'l', 'e', 0, 0, // "d_dbEnable", padding
    0x3F, 0xF0, 0,    0,    0,   0,   0,   0,                   // 1.0
    'd',  '_',  'd',  'b',  'M', 'a', 'i', 'n', 0,   0,   0, 0, // "d_dbMain"
    0x3F, 0xE0, 0,    0,    0,   0,   0,   0,                   // 0.5
    'd',  '_',  'd',  'b',  'V', 'o', 'c', 'a', 'l', 0,   0, 0, // "d_dbVocal"
    0,    0,    0,    0,    0,   0,   0,   0,                   // 0.0
};

class ParameterValuesChunk : public ChunkTest
{
protected:
    bool equals(const std::vector<char>& record)
    {
        AAX_CBoolean equal = 7;
        EXPECT_EQ(effect->CompareActiveChunk(asChunk(record), &equal), AAX_SUCCESS);
        return equal == 1;
    }
};

TEST_F(ParameterValuesChunk, WorkedExampleIsWrittenByteForByte)
{
    const std::vector<char> record = saveChunk();
    const AAX_SPlugInChunk* chunk = asChunk(record);
    EXPECT_EQ(chunk->fSize, 64);
    EXPECT_EQ(chunk->fVersion, -1);
    char name[32] = "Complete Controls State";
    EXPECT_EQ(std::memcmp(chunk->fName, name, sizeof name), 0);
    EXPECT_EQ(dataOf(record), kWorkedExample);
}

TEST_F(ParameterValuesChunk, SavedValuesComeBackAfterChanges)
{
    const std::vector<double> cases[] = {{0.0, 0.123, 1.0}, {1.0, 1.0 / 3.0, 0.0}, {0.25, 0.999, 0.5}};
    for (const std::vector<double>& saved : cases)
    {
        setValues(saved);
        const std::vector<double> expected = values();
        const std::vector<char> record = saveChunk();
        setValues({0.6, 0.7, 0.8}, 1.0);
        EXPECT_FALSE(equals(record));
        EXPECT_EQ(effect->SetChunk(kElck, asChunk(record)), AAX_SUCCESS);
        EXPECT_EQ(values(), (std::vector<double>{0.6f, 0.7f, 0.8f})); // asked for, not yet confirmed
        confirm();
        EXPECT_EQ(values(), expected);
        EXPECT_TRUE(equals(record));
        setValues(expected, 0.0); // the bypass is neither saved nor compared
        EXPECT_TRUE(equals(record));
    }
}

TEST_F(ParameterValuesChunk, DataThatIsNotAChunkIsRefusedAndChangesNothing)
{
    std::vector<uint8_t> wrongMarker = kWorkedExample;
    wrongMarker[2] = 0x02;
    std::vector<uint8_t> levelAsFloat = {1,   1,   1, 1, 'f', '_', 'd',  'b',  'M', 'a',
                                         'i', 'n', 0, 0, 0,   0,   0x3F, 0x80, 0,   0};
    const std::pair<std::vector<char>, AAX_Result> cases[] = {
        {chunkOf({}), AAX_ERROR_MALFORMED_CHUNK},
        {chunkOf({1, 1, 1}), AAX_ERROR_MALFORMED_CHUNK},
        {chunkOf(wrongMarker), AAX_ERROR_MALFORMED_CHUNK},
        {chunkOf({1, 1, 1, 1}), AAX_SUCCESS}, // valid, and empty
        {chunkOf(levelAsFloat), AAX_SUCCESS}, // a float parameter is restored from a double entry only
    };
    setValues({0.0, 0.25, 1.0});
    for (const auto& c : cases)
    {
        EXPECT_EQ(effect->SetChunk(kElck, asChunk(c.first)), c.second);
        EXPECT_TRUE(automation().pendingRequests().empty());
        EXPECT_FALSE(equals(c.first));
    }
    EXPECT_EQ(effect->SetChunk(kElck, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(effect->SetChunk(AAX_FOURCHAR('j', 'u', 'c', 'e'), asChunk(chunkOf(kWorkedExample))),
              AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_TRUE(automation().pendingRequests().empty());
    EXPECT_EQ(values(), (std::vector<double>{0.0, 0.25, 1.0}));
}

TEST_F(ParameterValuesChunk, ChunkIsServedOnlyAtTheSizeLastReported)
{
    std::vector<char> record(offsetof(AAX_SPlugInChunk, fData) + 64);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
    EXPECT_EQ(effect->GetChunk(kElck, chunk), AAX_ERROR_INCORRECT_CHUNK_SIZE);
    uint32_t size = 0;
    EXPECT_EQ(effect->GetChunkSize(AAX_FOURCHAR('j', 'u', 'c', 'e'), &size), AAX_ERROR_INVALID_CHUNK_ID);
    EXPECT_EQ(effect->GetChunk(AAX_FOURCHAR('j', 'u', 'c', 'e'), chunk), AAX_ERROR_INVALID_CHUNK_ID);
    AAX_CBoolean equal = 0;
    EXPECT_EQ(effect->CompareActiveChunk(asChunk(chunkOf({}, AAX_FOURCHAR('j', 'u', 'c', 'e'))), &equal), AAX_SUCCESS);
    EXPECT_EQ(equal, 1);
}
} // namespace
