// Data members of the library's classes: each class holds what it is defined to hold, with those types and
// in that order (the named members under their names). Sources and derived classes such as JUCE's AAX
// client build on these members, and the host's own copies of the records must match them.
#include "MemberAccess.h"

#include "AAX_CChunkDataParser.h"
#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CMutex.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameter.h"
#include "AAX_CParameterManager.h"
#include "AAX_IAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VPageTable.h"
#include "AAX_VTransport.h"
#include "AAX_VViewContainer.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

//==============================================================================
// Parameter object
using FloatParameter = AAX_CParameter<float>;
using FloatParameterValue = AAX_CParameterValue<float>;
using FloatLinearTaper = AAX_CLinearTaperDelegate<float, 0>;
using IdentifierField = char[32];
using ShortenedNames = std::map<uint32_t, AAX_CString>;
using FloatTaper = AAX_ITaperDelegate<float>*;
using FloatDisplay = AAX_IDisplayDelegate<float>*;
using AutomationDelegate = AAX_IAutomationDelegate*;

KELVANE_MEMBER(ValueIdentifier, FloatParameterValue, IdentifierField, mIdentifier);
KELVANE_MEMBER(ValueValue, FloatParameterValue, float, mValue);

KELVANE_MEMBER(TaperMinimum, FloatLinearTaper, float, mMinValue);
KELVANE_MEMBER(TaperMaximum, FloatLinearTaper, float, mMaxValue);

KELVANE_MEMBER(NamesFull, AAX_CStringAbbreviations, AAX_CString, mPrimary);
KELVANE_MEMBER(NamesShortened, AAX_CStringAbbreviations, ShortenedNames, mAbbreviations);

KELVANE_MEMBER(ParameterNames, FloatParameter, AAX_CStringAbbreviations, mNames);
KELVANE_MEMBER(ParameterAutomatable, FloatParameter, bool, mAutomatable);
KELVANE_MEMBER(ParameterSteps, FloatParameter, uint32_t, mNumSteps);
KELVANE_MEMBER(ParameterType, FloatParameter, AAX_EParameterType, mControlType);
KELVANE_MEMBER(ParameterOrientation, FloatParameter, int32_t, mOrientation);
KELVANE_MEMBER(ParameterTaper, FloatParameter, FloatTaper, mTaperDelegate);
KELVANE_MEMBER(ParameterDisplay, FloatParameter, FloatDisplay, mDisplayDelegate);
KELVANE_MEMBER(ParameterAutomation, FloatParameter, AutomationDelegate, mAutomationDelegate);
KELVANE_MEMBER(ParameterNeedNotify, FloatParameter, bool, mNeedNotify);
KELVANE_MEMBER(ParameterValue, FloatParameter, FloatParameterValue, mValue);
KELVANE_MEMBER(ParameterDefault, FloatParameter, float, mDefaultValue);

//==============================================================================
// Parameter manager
using ParameterList = std::vector<AAX_IParameter*>;
using ParameterIndex = std::map<std::string, AAX_IParameter*>;

KELVANE_MEMBER(ManagerDelegate, AAX_CParameterManager, AutomationDelegate, mAutomationDelegate);
KELVANE_MEMBER(ManagerList, AAX_CParameterManager, ParameterList, mParameters);
KELVANE_MEMBER(ManagerIndex, AAX_CParameterManager, ParameterIndex, mParametersMap);

//==============================================================================
// Packets and the dispatcher
using PacketHandler = AAX_CPacketHandler<AAX_CPacketDispatcher>;
using DispatcherPointer = AAX_CPacketDispatcher*;
using OneArgumentOperation = AAX_Result (AAX_CPacketDispatcher::*)(AAX_CPacket&);
using TwoArgumentOperation = AAX_Result (AAX_CPacketDispatcher::*)(AAX_CParamID, AAX_CPacket&);
using PacketsByPort = std::map<int32_t, AAX_CPacket*>;
using Registrations = std::multimap<std::string, std::pair<AAX_CPacket*, AAX_IPacketHandler*>>;
using ControllerPointer = AAX_IController*;
using EffectParametersPointer = AAX_IEffectParameters*;
using PacketData = AAX_CPacket::SPacketData;

KELVANE_MEMBER(PacketPort, AAX_CPacket, int32_t, mID);
KELVANE_MEMBER(PacketDirty, AAX_CPacket, bool, mDirty);
KELVANE_MEMBER(PacketSize, AAX_CPacket, uint32_t, mDataSize);
KELVANE_MEMBER(PacketPayload, AAX_CPacket, PacketData, mPacketData);

KELVANE_MEMBER(HandlerDispatcher, PacketHandler, DispatcherPointer, mWorker);
KELVANE_MEMBER(HandlerOneArgument, PacketHandler, OneArgumentOperation, mProcPacket);
KELVANE_MEMBER(HandlerTwoArguments, PacketHandler, TwoArgumentOperation, mProcIDPacket);

KELVANE_MEMBER(DispatcherPackets, AAX_CPacketDispatcher, PacketsByPort, mPacketsHolder);
KELVANE_MEMBER(DispatcherRegistrations, AAX_CPacketDispatcher, Registrations, mPacketsHandlers);
KELVANE_MEMBER(DispatcherController, AAX_CPacketDispatcher, ControllerPointer, mPlugIn);
KELVANE_MEMBER(DispatcherEffect, AAX_CPacketDispatcher, EffectParametersPointer, mEffectParameters);
KELVANE_MEMBER(DispatcherLock, AAX_CPacketDispatcher, AAX_CMutex, mLockGuard);

KELVANE_MEMBER(GuardResult, AAX_StLock_Guard, bool, mNeedsUnlock);

//==============================================================================
// Effect-parameters base and its chunk parser
using FilteredIDs = std::set<std::string>;
using TransportPointer = AAX_ITransport*;
using ChunkEntries = std::vector<AAX_CChunkDataParser::DataValue>;
using ChunkEntry = AAX_CChunkDataParser::DataValue;

KELVANE_MEMBER(EffectChanges, AAX_CEffectParameters, int32_t, mNumPlugInChanges);
KELVANE_MEMBER(EffectChunkSize, AAX_CEffectParameters, int32_t, mChunkSize);
KELVANE_MEMBER(EffectChunkParser, AAX_CEffectParameters, AAX_CChunkDataParser, mChunkParser);
KELVANE_MEMBER(EffectChunkedCount, AAX_CEffectParameters, int32_t, mNumChunkedParameters);
KELVANE_MEMBER(EffectDispatcher, AAX_CEffectParameters, AAX_CPacketDispatcher, mPacketDispatcher);
KELVANE_MEMBER(EffectManager, AAX_CEffectParameters, AAX_CParameterManager, mParameterManager);
KELVANE_MEMBER(EffectFiltered, AAX_CEffectParameters, FilteredIDs, mFilteredParameters);
KELVANE_MEMBER(EffectController, AAX_CEffectParameters, ControllerPointer, mController);
KELVANE_MEMBER(EffectTransport, AAX_CEffectParameters, TransportPointer, mTransport);
KELVANE_MEMBER(EffectAutomation, AAX_CEffectParameters, AutomationDelegate, mAutomationDelegate);

KELVANE_MEMBER(ParserCursor, AAX_CChunkDataParser, int32_t, mLastFoundIndex);
KELVANE_MEMBER(ParserVersion, AAX_CChunkDataParser, int32_t, mChunkVersion);
KELVANE_MEMBER(ParserEntries, AAX_CChunkDataParser, ChunkEntries, mDataValues);

KELVANE_MEMBER(EntryType, ChunkEntry, int32_t, mDataType);
KELVANE_MEMBER(EntryName, ChunkEntry, AAX_CString, mDataName);
KELVANE_MEMBER(EntryNumber, ChunkEntry, int64_t, mIntValue);
KELVANE_MEMBER(EntryText, ChunkEntry, AAX_CString, mStringValue);

//==============================================================================
// Proxies of the host's interfaces: one counted reference per version, in the order they are requested
using ControllerV1 = ACFPtr<AAX_IACFController>;
using ControllerV2 = ACFPtr<AAX_IACFController_V2>;
using ControllerV3 = ACFPtr<AAX_IACFController_V3>;
using PageTableControllerV1 = ACFPtr<AAX_IACFPageTableController>;
using PageTableControllerV2 = ACFPtr<AAX_IACFPageTableController_V2>;
using ComponentFactory = ACFPtr<IACFComponentFactory>;
using TransportV1 = ACFPtr<AAX_IACFTransport>;
using TransportV2 = ACFPtr<AAX_IACFTransport_V2>;
using TransportV3 = ACFPtr<AAX_IACFTransport_V3>;
using ViewContainerV1 = ACFPtr<AAX_IACFViewContainer>;
using ViewContainerV2 = ACFPtr<AAX_IACFViewContainer_V2>;
using PageTableV1 = ACFPtr<AAX_IACFPageTable>;
using PageTableV2 = ACFPtr<AAX_IACFPageTable_V2>;

KELVANE_MEMBER(VControllerV1, AAX_VController, ControllerV1, mControllerV1);
KELVANE_MEMBER(VControllerV2, AAX_VController, ControllerV2, mControllerV2);
KELVANE_MEMBER(VControllerV3, AAX_VController, ControllerV3, mControllerV3);
KELVANE_MEMBER(VControllerPageTables, AAX_VController, PageTableControllerV1, mPageTableController);
KELVANE_MEMBER(VControllerPageTablesV2, AAX_VController, PageTableControllerV2, mPageTableControllerV2);
KELVANE_MEMBER(VControllerFactory, AAX_VController, ComponentFactory, mComponentFactory);

KELVANE_MEMBER(VTransportV1, AAX_VTransport, TransportV1, mTransportV1);
KELVANE_MEMBER(VTransportV2, AAX_VTransport, TransportV2, mTransportV2);
KELVANE_MEMBER(VTransportV3, AAX_VTransport, TransportV3, mTransportV3);

KELVANE_MEMBER(VViewContainerV1, AAX_VViewContainer, ViewContainerV1, mViewContainerV1);
KELVANE_MEMBER(VViewContainerV2, AAX_VViewContainer, ViewContainerV2, mViewContainerV2);

KELVANE_MEMBER(VPageTableV1, AAX_VPageTable, PageTableV1, mIPageTable);
KELVANE_MEMBER(VPageTableV2, AAX_VPageTable, PageTableV2, mIPageTableV2);

//==============================================================================
// GUI base
using ViewContainerOwner = std::unique_ptr<AAX_IViewContainer>;

KELVANE_MEMBER(GUIController, AAX_CEffectGUI, ControllerPointer, mController);
KELVANE_MEMBER(GUIEffectParameters, AAX_CEffectGUI, EffectParametersPointer, mEffectParameters);
KELVANE_MEMBER(GUIViewContainer, AAX_CEffectGUI, ViewContainerOwner, mViewContainer);
KELVANE_MEMBER(GUITransport, AAX_CEffectGUI, TransportPointer, mTransport);

namespace
{
TEST(ParameterMembers, ValueRecordHoldsAThirtyTwoByteIdentifierThenTheValue)
{
    EXPECT_TRUE((MembersInOrder<ValueIdentifier, ValueValue>()));
    EXPECT_EQ(sizeof(IdentifierField), 32u);
}

TEST(ParameterMembers, LinearTaperHoldsMinimumThenMaximum)
{
    EXPECT_TRUE((MembersInOrder<TaperMinimum, TaperMaximum>()));
}

// The number display keeps nothing but its table of functions: precision and spacing are in its type.
TEST(ParameterMembers, NumberDisplayHoldsNoData)
{
    EXPECT_EQ((sizeof(AAX_CNumberDisplayDelegate<float, 3u, 0u>)), sizeof(void*));
}

TEST(ParameterMembers, NameSetHoldsTheFullNameThenShortenedNamesByLength)
{
    EXPECT_TRUE((MembersInOrder<NamesFull, NamesShortened>()));
}

TEST(ParameterMembers, ParameterObjectInOrder)
{
    EXPECT_TRUE((MembersInOrder<ParameterNames, ParameterAutomatable, ParameterSteps, ParameterType,
                                ParameterOrientation, ParameterTaper, ParameterDisplay, ParameterAutomation,
                                ParameterNeedNotify, ParameterValue, ParameterDefault>()));
    EXPECT_EQ(sizeof(AAX_EParameterType), 4u);
}

TEST(ParameterManagerMembers, DelegateThenListThenIDIndex)
{
    EXPECT_TRUE((MembersInOrder<ManagerDelegate, ManagerList, ManagerIndex>()));
}

TEST(PacketMembers, PacketHoldsPortDirtyFlagSizeAndPayload)
{
    EXPECT_TRUE((MembersInOrder<PacketPort, PacketDirty, PacketSize, PacketPayload>()));
}

TEST(PacketMembers, HandlerHoldsDispatcherThenOneThenTwoArgumentOperation)
{
    EXPECT_TRUE((MembersInOrder<HandlerDispatcher, HandlerOneArgument, HandlerTwoArguments>()));
}

TEST(PacketMembers, DispatcherHoldsPacketsRegistrationsControllerEffectAndLock)
{
    EXPECT_TRUE((MembersInOrder<DispatcherPackets, DispatcherRegistrations, DispatcherController, DispatcherEffect,
                                DispatcherLock>()));
}

// The mutex holds only the pointer to its private record; the guard a reference and the result of its Lock.
TEST(PacketMembers, MutexAndGuard)
{
    EXPECT_EQ(sizeof(AAX_CMutex), sizeof(void*));
    EXPECT_GT(MemberOffset<GuardResult>(), 0);
    EXPECT_EQ(sizeof(AAX_StLock_Guard), 2 * sizeof(void*));
}

TEST(EffectParametersMembers, InOrderAfterTheTwoInterfaceParts)
{
    EXPECT_TRUE((MembersInOrder<EffectChanges, EffectChunkSize, EffectChunkParser, EffectChunkedCount,
                                EffectDispatcher, EffectManager, EffectFiltered, EffectController, EffectTransport,
                                EffectAutomation>()));
    // The host-facing table pointer and the reference-counting part come first.
    EXPECT_GE(MemberOffset<EffectChanges>(), static_cast<std::ptrdiff_t>(sizeof(void*) + sizeof(CACFUnknown)));
}

TEST(ChunkParserMembers, CursorVersionEntries)
{
    EXPECT_TRUE((MembersInOrder<ParserCursor, ParserVersion, ParserEntries>()));
}

TEST(ChunkParserMembers, EntryHoldsTypeNameSixtyFourBitValueAndText)
{
    EXPECT_TRUE((MembersInOrder<EntryType, EntryName, EntryNumber, EntryText>()));
}

TEST(ProxyMembers, ControllerAsksInTheOrderItHoldsItsReferences)
{
    EXPECT_TRUE((MembersInOrder<VControllerV1, VControllerV2, VControllerV3, VControllerPageTables,
                                VControllerPageTablesV2, VControllerFactory>()));
}

TEST(ProxyMembers, TransportViewContainerAndPageTableHoldOldestVersionFirst)
{
    EXPECT_TRUE((MembersInOrder<VTransportV1, VTransportV2, VTransportV3>()));
    EXPECT_TRUE((MembersInOrder<VViewContainerV1, VViewContainerV2>()));
    EXPECT_TRUE((MembersInOrder<VPageTableV1, VPageTableV2>()));
}

TEST(GUIMembers, ControllerEffectParametersViewContainerTransport)
{
    EXPECT_TRUE((MembersInOrder<GUIController, GUIEffectParameters, GUIViewContainer, GUITransport>()));
}

// The host gets the host-facing interface pointer from QueryInterface and the GUI base keeps what the
// effect's QueryInterface stored as its AAX_IEffectParameters*, which a derived GUI casts to its own
// effect class: that only works while the host-facing interface sits at the start of the object.
template <typename Base, typename Derived>
std::ptrdiff_t BaseOffset()
{
    alignas(Derived) static unsigned char storage[sizeof(Derived)];
    auto* derived = reinterpret_cast<Derived*>(storage);
    return reinterpret_cast<unsigned char*>(static_cast<Base*>(derived)) - storage;
}

TEST(InterfaceParts, HostFacingInterfaceStartsTheObject)
{
    EXPECT_EQ((BaseOffset<AAX_IACFEffectParameters_V4, AAX_IEffectParameters>()), 0);
    EXPECT_EQ((BaseOffset<AAX_IEffectParameters, AAX_CEffectParameters>()), 0);
    EXPECT_EQ((BaseOffset<AAX_IACFEffectGUI, AAX_IEffectGUI>()), 0);
    EXPECT_EQ((BaseOffset<AAX_IEffectGUI, AAX_CEffectGUI>()), 0);
    EXPECT_GT((BaseOffset<CACFUnknown, AAX_CEffectParameters>()), 0);
}
} // namespace
