// Numbers, texts and record layouts that the host, saved sessions or JUCE's AAX client rely on.
#include "AAX_CChunkDataParser.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameter.h"
#include "AAX_Enums.h"
#include "AAX_GUITypes.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_Init.h"
#include "AAX_Version.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace
{
TEST(ParameterIDs, MasterBypassAndPreviewTexts)
{
    EXPECT_STREQ(cDefaultMasterBypassID, "MasterBypassID");
    EXPECT_STREQ(cPreviewID, "PreviewID");
}

TEST(ParameterIDs, IdentifierFieldKeepsThirtyOneCharacters)
{
    EXPECT_EQ(eParemeterDefaultMaxIdentifierSize, 32);
}

TEST(PropertyNumbers, NumbersTheLibraryInterprets)
{
    EXPECT_EQ(AAX_eProperty_PlugInID_Native, 13);
    EXPECT_EQ(AAX_eProperty_PlugInID_AudioSuite, 14);
    EXPECT_EQ(AAX_eProperty_PlugInID_TI, 15);
    EXPECT_EQ(AAX_eProperty_NativeProcessProc, 36);
    EXPECT_EQ(AAX_eProperty_NativeInstanceInitProc, 37);
    EXPECT_EQ(AAX_eProperty_NativeBackgroundProc, 38);
    EXPECT_EQ(AAX_eProperty_TIDLLFileName, 39);
    EXPECT_EQ(AAX_eProperty_TIProcessProc, 40);
    EXPECT_EQ(AAX_eProperty_TIInstanceInitProc, 41);
    EXPECT_EQ(AAX_eProperty_TIBackgroundProc, 42);
    EXPECT_EQ(AAX_eProperty_InputStemFormat, 51);
    EXPECT_EQ(AAX_eProperty_OutputStemFormat, 52);
    EXPECT_EQ(AAX_eProperty_NativeAudioBufferLength, 54);
}

// Property maps are duplicated over 10..401, so a property outside that range would be lost when the
// library copies a map before registering a native procedure by hand.
TEST(PropertyNumbers, EveryPropertyTheClientSetsIsCopied)
{
    const std::vector<AAX_EProperty> clientProperties{
        AAX_eProperty_ManufacturerID, AAX_eProperty_ProductID, AAX_eProperty_CanBypass,
        AAX_eProperty_InputStemFormat, AAX_eProperty_OutputStemFormat, AAX_eProperty_PlugInID_Native,
        AAX_eProperty_PlugInID_AudioSuite, AAX_eProperty_Constraint_MultiMonoSupport,
        AAX_eProperty_Constraint_AlwaysProcess, AAX_eProperty_Constraint_DoNotApplyDefaultSettings,
        AAX_eProperty_SupportsSaveRestore, AAX_eProperty_ObservesTransportState,
        AAX_eProperty_SupportsSideChainInput, AAX_eProperty_Meter_Type, AAX_eProperty_Meter_Orientation};
    for (auto property : clientProperties)
    {
        EXPECT_GE(property, 10) << property;
        EXPECT_LE(property, 401) << property;
    }
}

TEST(StemFormats, SpecialValuesPassTheHostSupportRule)
{
    EXPECT_EQ(static_cast<uint32_t>(AAX_eStemFormat_None), 0xFFFF0000u);
    EXPECT_EQ(static_cast<uint32_t>(AAX_eStemFormat_Any), 0xFF9C0000u);
}

// The client assumes layouts with an index up to 12 work on every host, while a property map without a
// description host refuses stem formats from 0x000D0000 on: both rules must split the layouts alike.
TEST(StemFormats, DefaultSupportedLayoutsLieBelowTheRefusedRange)
{
    const std::vector<AAX_EStemFormat> layouts{
        AAX_eStemFormat_Mono,       AAX_eStemFormat_Stereo,     AAX_eStemFormat_LCR,        AAX_eStemFormat_LCRS,
        AAX_eStemFormat_Quad,       AAX_eStemFormat_5_0,        AAX_eStemFormat_5_1,        AAX_eStemFormat_6_0,
        AAX_eStemFormat_6_1,        AAX_eStemFormat_7_0_SDDS,   AAX_eStemFormat_7_1_SDDS,   AAX_eStemFormat_7_0_DTS,
        AAX_eStemFormat_7_1_DTS,    AAX_eStemFormat_7_0_2,      AAX_eStemFormat_7_1_2,      AAX_eStemFormat_Ambi_1_ACN,
        AAX_eStemFormat_Ambi_2_ACN, AAX_eStemFormat_Ambi_3_ACN};
    for (auto format : layouts)
    {
        const bool assumedSupported = AAX_STEM_FORMAT_INDEX(format) <= 12;
        const bool acceptedWithoutHost = static_cast<uint32_t>(format) < 0x000D0000u;
        EXPECT_EQ(assumedSupported, acceptedWithoutHost) << std::hex << format;
    }
}

TEST(StemFormats, ChannelCountsOfTheAcceptedLayouts)
{
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_Mono), 1);
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_Stereo), 2);
    EXPECT_EQ(AAX_STEM_FORMAT_CHANNEL_COUNT(AAX_eStemFormat_None), 0);
    EXPECT_NE(AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo);
}

TEST(EnumerationValues, ValuesTheClientAndHostShare)
{
    EXPECT_EQ(AAX_eParameterType_Discrete, 0);
    EXPECT_EQ(AAX_eParameterType_Continuous, 1);
    EXPECT_EQ(AAX_eViewContainer_Type_NSView, 1);
    EXPECT_EQ(static_cast<uint32_t>(AAX_eNotificationEvent_ASPreviewState), 0x41535076u);  // 'ASPv'
    // The client prepares its processor for blocks of 1 << AAX_eAudioBufferLength_Max samples.
    EXPECT_EQ(1 << AAX_eAudioBufferLength_Max, 1024);
    EXPECT_EQ(sizeof(AAX_EProcessingState), 4u);
}

// The relative set and update pass the host's update source 0 on.
TEST(EnumerationValues, UnspecifiedUpdateSourceIsZero)
{
    EXPECT_EQ(AAX_eUpdateSource_Unspecified, 0);
    EXPECT_EQ(sizeof(AAX_EUpdateSource), 4u);
}

// Entry types of the parameter-values chunk, as kept in each entry's 32-bit type field.
TEST(EnumerationValues, ChunkEntryTypes)
{
    EXPECT_EQ(AAX_CChunkDataParser::kDataType_None, 0);
    EXPECT_EQ(AAX_CChunkDataParser::kDataType_Float, 1);
    EXPECT_EQ(AAX_CChunkDataParser::kDataType_Int32, 2);
    EXPECT_EQ(AAX_CChunkDataParser::kDataType_Double, 3);
    EXPECT_EQ(AAX_CChunkDataParser::kDataType_Int16, 4);
    EXPECT_EQ(AAX_CChunkDataParser::kDataType_String, 5);
}

// The orientations the client sets: 0 for a normal parameter, 0x13 for an inverted one.
TEST(EnumerationValues, ParameterOrientations)
{
    const int32_t normal = AAX_eParameterOrientation_LeftMinRightMax | AAX_eParameterOrientation_BottomMinTopMax |
                           AAX_eParameterOrientation_RotarySingleDotMode |
                           AAX_eParameterOrientation_RotaryLeftMinRightMax;
    const int32_t inverted = AAX_eParameterOrientation_RightMinLeftMax | AAX_eParameterOrientation_TopMinBottomMax |
                             AAX_eParameterOrientation_RotarySingleDotMode |
                             AAX_eParameterOrientation_RotaryRightMinLeftMax;
    EXPECT_EQ(normal, 0);
    EXPECT_EQ(inverted, 0x13);
}

TEST(SdkVersion, HeaderAndReportedVersionAgree)
{
    EXPECT_EQ(static_cast<uint64_t>(AAX_SDK_VERSION_AND_REVISION), 0x00000204013449E0ull);
    EXPECT_EQ(static_cast<uint64_t>(AAX_SDK_VERSION_AND_REVISION), kAAXLibrarySDKVersion);
    // The client refuses to build against revisions before 2.3.0 and observes the transport from 2.4.0 on.
    EXPECT_GE(AAX_SDK_CURRENT_REVISION, AAX_SDK_2p3p0_REVISION);
    EXPECT_GE(AAX_SDK_CURRENT_REVISION, AAX_SDK_2p4p0_REVISION);
}

TEST(RecordLayouts, PlugInChunkHeader)
{
    EXPECT_EQ(offsetof(AAX_SPlugInChunk, fSize), 0u);
    EXPECT_EQ(offsetof(AAX_SPlugInChunk, fVersion), 4u);
    EXPECT_EQ(offsetof(AAX_SPlugInChunk, fManufacturerID), 8u);
    EXPECT_EQ(offsetof(AAX_SPlugInChunk, fChunkID), 20u);
    EXPECT_EQ(offsetof(AAX_SPlugInChunk, fName), 24u);
    EXPECT_EQ(sizeof(AAX_SPlugInChunk::fName), 32u);
    EXPECT_EQ(offsetof(AAX_SPlugInChunk, fData), 56u);
    EXPECT_EQ(sizeof(AAX_SPlugInChunk::fSize), 4u);
    EXPECT_EQ(sizeof(AAX_SPlugInChunk::fChunkID), 4u);
}

// The client builds sizes as { height, width }.
TEST(RecordLayouts, PointIsVerticalThenHorizontal)
{
    const AAX_Point size{256.0f, 480.0f};
    EXPECT_EQ(size.vert, 256.0f);
    EXPECT_EQ(size.horz, 480.0f);
    EXPECT_EQ(offsetof(AAX_Point, vert), 0u);
    EXPECT_EQ(offsetof(AAX_Point, horz), sizeof(float));
}

//==============================================================================
struct RecordingWorker
{
    std::vector<std::string> calls;

    AAX_Result WithPacket(AAX_CPacket& packet)
    {
        calls.push_back("packet " + std::to_string(packet.GetID()));
        return 7;
    }
    AAX_Result WithID(AAX_CParamID id, AAX_CPacket& packet)
    {
        calls.push_back(std::string("id ") + id + " " + std::to_string(packet.GetID()));
        return 8;
    }
};

TEST(PacketHandler, CallsTheFormItWasMadeWith)
{
    RecordingWorker worker;
    AAX_CPacket packet(3);
    const AAX_CPacketHandler<RecordingWorker> byPacket(&worker, &RecordingWorker::WithPacket);
    const AAX_CPacketHandler<RecordingWorker> byID(&worker, &RecordingWorker::WithID);

    EXPECT_EQ(byPacket.Call("MasterBypassID", packet), 7);
    EXPECT_EQ(byID.Call("MasterBypassID", packet), 8);
    EXPECT_EQ(worker.calls, (std::vector<std::string>{"packet 3", "id MasterBypassID 3"}));
}

TEST(PacketHandler, CloneCallsTheSameWorker)
{
    RecordingWorker worker;
    AAX_CPacket packet(5);
    const AAX_CPacketHandler<RecordingWorker> byID(&worker, &RecordingWorker::WithID);
    std::unique_ptr<AAX_IPacketHandler> clone(byID.Clone());

    EXPECT_EQ(clone->Call("dbMain", packet), 8);
    EXPECT_EQ(worker.calls, (std::vector<std::string>{"id dbMain 5"}));
}

TEST(PacketHandler, WithoutAnOperationAnswersNullObject)
{
    RecordingWorker worker;
    AAX_CPacket packet(3);
    const AAX_CPacketHandler<RecordingWorker> empty(
        &worker, static_cast<AAX_CPacketHandler<RecordingWorker>::ProcPtrPacket>(nullptr));

    EXPECT_EQ(empty.Call("MasterBypassID", packet), AAX_ERROR_NULL_OBJECT);
    EXPECT_TRUE(worker.calls.empty());
}

TEST(Packet, NewPacketIsDirtyAndEmpty)
{
    const AAX_CPacket packet(3);
    EXPECT_TRUE(packet.IsDirty());
    EXPECT_EQ(packet.GetSize(), 0u);
    EXPECT_EQ(packet.GetID(), 3);
}
} // namespace

namespace
{
TEST(PacketData, StartsAsEightZeroBytesAndResizesExactly)
{
    AAX_CPacket::SPacketData data;
    const auto* initial = static_cast<const unsigned char*>(data.Get());
    EXPECT_EQ(std::vector<unsigned char>(initial, initial + 8), std::vector<unsigned char>(8, 0));

    auto* bytes = static_cast<unsigned char*>(data.Get(2));
    bytes[0] = 0xAB;
    bytes[1] = 0xCD;
    bytes = static_cast<unsigned char*>(data.Get(4));  // grows with zeros, keeps the leading bytes
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 4), (std::vector<unsigned char>{0xAB, 0xCD, 0, 0}));
}

TEST(PacketData, SizeZeroIsRefused)
{
    AAX_CPacket::SPacketData data;
    EXPECT_THROW(data.Get(0), std::out_of_range);
}

TEST(Packet, FloatPayloadIsWrittenInProcessorOrder)
{
    AAX_CPacket packet(3);
    *packet.GetPtr<float>() = 1.0f;
    ASSERT_EQ(packet.GetSize(), 4u);
    const auto* bytes = static_cast<const unsigned char*>(packet.GetData());
    // The master bypass on: 00 00 80 3F in memory on a little-endian processor.
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 4), (std::vector<unsigned char>{0x00, 0x00, 0x80, 0x3F}));
}
} // namespace
