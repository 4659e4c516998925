// Argument and result types of the host-facing methods and of the library's interfaces. The host calls
// each method by number with arguments of fixed types, so a method in the right slot but with, say, a
// 32-bit argument where the host passes 64 bits would read garbage. Overloads are picked out by their
// expected type.
#include "Operation.h"

#include "AAX_CChunkDataParser.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CParameter.h"
#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CMutex.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameterManager.h"
#include "AAX_IACFController.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IACFPageTable.h"
#include "AAX_IACFPageTableController.h"
#include "AAX_IACFTransport.h"
#include "AAX_IACFViewContainer.h"
#include "AAX_IController.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_IPageTable.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"
#include "AAX_ITransport.h"
#include "AAX_IViewContainer.h"
#include "AAX_VController.h"

#include <gtest/gtest.h>

#include <cstdint>

// Result and arguments of one operation.
#define EXPECT_OPERATION(member, Result, ...) \
    EXPECT_TRUE((Returns<&member, Result>() && Takes<&member, ##__VA_ARGS__>())) << #member

// An overload of exactly this type exists. Only the cast's type is looked at, so the check needs no
// definition of the function.
#define EXPECT_OVERLOAD(Type, member) \
    EXPECT_TRUE((std::is_same_v<decltype(static_cast<Type>(&member)), Type>)) << #member

namespace
{
using ID = const char*;     // a parameter ID: zero-terminated text
using Result = int32_t;     // every result code

//==============================================================================
TEST(EffectParametersSignatures, LifecycleAndParameterMethods)
{
    using E = AAX_IACFEffectParameters_V4;
    EXPECT_OPERATION(E::Initialize, Result, IACFUnknown*);
    EXPECT_OPERATION(E::Uninitialize, Result);
    EXPECT_OPERATION(E::NotificationReceived, Result, uint32_t, const void*, uint32_t);
    EXPECT_OPERATION(E::GetNumberOfParameters, Result, int32_t*);
    EXPECT_OPERATION(E::GetMasterBypassParameter, Result, AAX_IString*);
    EXPECT_OPERATION(E::GetParameterIsAutomatable, Result, ID, uint8_t*);
    EXPECT_OPERATION(E::GetParameterNumberOfSteps, Result, ID, int32_t*);
    EXPECT_OPERATION(E::GetParameterName, Result, ID, AAX_IString*);
    EXPECT_OPERATION(E::GetParameterNameOfLength, Result, ID, AAX_IString*, int32_t);
    EXPECT_OPERATION(E::GetParameterDefaultNormalizedValue, Result, ID, double*);
    EXPECT_OPERATION(E::SetParameterDefaultNormalizedValue, Result, ID, double);
    EXPECT_OPERATION(E::GetParameterType, Result, ID, AAX_EParameterType*);
    EXPECT_OPERATION(E::GetParameterOrientation, Result, ID, int32_t*);
    EXPECT_OPERATION(E::GetParameter, Result, ID, AAX_IParameter**);
    EXPECT_OPERATION(E::GetParameterIndex, Result, ID, int32_t*);
    EXPECT_OPERATION(E::GetParameterIDFromIndex, Result, int32_t, AAX_IString*);
    EXPECT_OPERATION(E::GetParameterValueInfo, Result, ID, int32_t, int32_t*);
    EXPECT_OPERATION(E::GetParameterValueFromString, Result, ID, double*, const AAX_IString&);
    EXPECT_OPERATION(E::GetParameterStringFromValue, Result, ID, double, AAX_IString*, int32_t);
    EXPECT_OPERATION(E::GetParameterValueString, Result, ID, AAX_IString*, int32_t);
    EXPECT_OPERATION(E::GetParameterNormalizedValue, Result, ID, double*);
    EXPECT_OPERATION(E::SetParameterNormalizedValue, Result, ID, double);
    EXPECT_OPERATION(E::SetParameterNormalizedRelative, Result, ID, double);
    EXPECT_OPERATION(E::TouchParameter, Result, ID);
    EXPECT_OPERATION(E::ReleaseParameter, Result, ID);
    EXPECT_OPERATION(E::UpdateParameterTouch, Result, ID, uint8_t);
    EXPECT_OPERATION(E::UpdateParameterNormalizedValue, Result, ID, double, AAX_EUpdateSource);
    EXPECT_OPERATION(E::UpdateParameterNormalizedRelative, Result, ID, double);
}

TEST(EffectParametersSignatures, CoefficientChunkAndLaterMethods)
{
    using E = AAX_IACFEffectParameters_V4;
    EXPECT_OPERATION(E::GenerateCoefficients, Result);
    EXPECT_OPERATION(E::ResetFieldData, Result, int32_t, void*, uint32_t);
    EXPECT_OPERATION(E::GetNumberOfChunks, Result, int32_t*);
    EXPECT_OPERATION(E::GetChunkIDFromIndex, Result, int32_t, uint32_t*);
    EXPECT_OPERATION(E::GetChunkSize, Result, uint32_t, uint32_t*);
    EXPECT_OPERATION(E::GetChunk, Result, uint32_t, AAX_SPlugInChunk*);
    EXPECT_OPERATION(E::SetChunk, Result, uint32_t, const AAX_SPlugInChunk*);
    EXPECT_OPERATION(E::CompareActiveChunk, Result, const AAX_SPlugInChunk*, uint8_t*);
    EXPECT_OPERATION(E::GetNumberOfChanges, Result, int32_t*);
    EXPECT_OPERATION(E::TimerWakeup, Result);
    EXPECT_OPERATION(E::GetCurveData, Result, uint32_t, const float*, uint32_t, float*);
    EXPECT_OPERATION(E::GetCustomData, Result, uint32_t, uint32_t, void*, uint32_t*);
    EXPECT_OPERATION(E::SetCustomData, Result, uint32_t, uint32_t, const void*);
    EXPECT_OPERATION(E::DoMIDITransfers, Result);
    EXPECT_OPERATION(E::RenderAudio_Hybrid, Result, AAX_SHybridRenderInfo*);
    EXPECT_OPERATION(E::UpdateMIDINodes, Result, int32_t, AAX_CMidiPacket&);
    EXPECT_OPERATION(E::UpdateControlMIDINodes, Result, uint32_t, AAX_CMidiPacket&);
    EXPECT_OPERATION(E::GetCurveDataMeterIds, Result, uint32_t, uint32_t*, uint32_t*);
    EXPECT_OPERATION(E::GetCurveDataDisplayRange, Result, uint32_t, float*, float*, float*, float*);
    EXPECT_OPERATION(E::UpdatePageTable, Result, uint32_t, int32_t, IACFUnknown*, IACFUnknown*);
}

// What a plug-in derived from the base implements or calls.
struct ExposedEffect : AAX_CEffectParameters
{
    using AAX_CEffectParameters::BuildChunkData;
    using AAX_CEffectParameters::Controller;
    using AAX_CEffectParameters::FilterParameterIDOnSave;
    using AAX_CEffectParameters::Transport;
};

TEST(EffectParametersSignatures, OperationsForDerivedClasses)
{
    EXPECT_OPERATION(AAX_CEffectParameters::EffectInit, Result);
    using PageTableForm = AAX_Result (AAX_CEffectParameters::*)(uint32_t, int32_t, AAX_IPageTable&) const;
    EXPECT_TRUE((Returns<static_cast<PageTableForm>(&AAX_CEffectParameters::UpdatePageTable), Result>()));
    EXPECT_OPERATION(ExposedEffect::FilterParameterIDOnSave, void, ID);
    EXPECT_OPERATION(ExposedEffect::BuildChunkData, void);
    EXPECT_TRUE(IsConst<&ExposedEffect::BuildChunkData>());
    EXPECT_OVERLOAD(AAX_IController* (AAX_CEffectParameters::*)(), ExposedEffect::Controller);
    EXPECT_OVERLOAD(AAX_ITransport* (AAX_CEffectParameters::*)(), ExposedEffect::Transport);
}

TEST(EffectParametersSignatures, ChunkRecordFieldTypes)
{
    EXPECT_TRUE((std::is_same_v<decltype(AAX_SPlugInChunk::fSize), int32_t>));
    EXPECT_TRUE((std::is_same_v<decltype(AAX_SPlugInChunk::fVersion), int32_t>));
    EXPECT_TRUE((std::is_same_v<decltype(AAX_SPlugInChunk::fChunkID), uint32_t>));
    EXPECT_TRUE((std::is_same_v<decltype(AAX_SPlugInChunk::fName), char[32]>));
}

//==============================================================================
TEST(EffectGUISignatures, HostMethods)
{
    using G = AAX_IACFEffectGUI;
    EXPECT_OPERATION(G::Initialize, Result, IACFUnknown*);
    EXPECT_OPERATION(G::Uninitialize, Result);
    EXPECT_OPERATION(G::NotificationReceived, Result, uint32_t, const void*, uint32_t);
    EXPECT_OPERATION(G::SetViewContainer, Result, IACFUnknown*);
    EXPECT_OPERATION(G::GetViewSize, Result, AAX_Point*);
    EXPECT_OPERATION(G::Draw, Result, AAX_Rect*);
    EXPECT_OPERATION(G::TimerWakeup, Result);
    EXPECT_OPERATION(G::ParameterUpdated, Result, ID);
    EXPECT_OPERATION(G::GetCustomLabel, Result, AAX_EPlugInStrings, AAX_IString*);
    EXPECT_OPERATION(G::SetControlHighlightInfo, Result, ID, uint8_t, AAX_EHighlightColor);
    // Derived classes override these two as const operations.
    EXPECT_TRUE(IsConst<&G::GetViewSize>());
    EXPECT_TRUE(IsConst<&G::GetCustomLabel>());
}

//==============================================================================
// The host's controller receives the library operation's arguments unchanged, so both tables take the same
// types; the library's questions are const.
template <typename C>
void ExpectControllerArguments()
{
    EXPECT_OPERATION(C::GetEffectID, Result, AAX_IString*);
    EXPECT_OPERATION(C::GetSampleRate, Result, float*);
    EXPECT_OPERATION(C::GetInputStemFormat, Result, AAX_EStemFormat*);
    EXPECT_OPERATION(C::GetOutputStemFormat, Result, AAX_EStemFormat*);
    EXPECT_OPERATION(C::GetSignalLatency, Result, int32_t*);
    EXPECT_OPERATION(C::GetCycleCount, Result, AAX_EProperty, int32_t*);
    EXPECT_OPERATION(C::GetTODLocation, Result, int64_t*);
    EXPECT_OPERATION(C::SetSignalLatency, Result, int32_t);
    EXPECT_OPERATION(C::SetCycleCount, Result, AAX_EProperty*, int32_t*, int32_t);
    EXPECT_OPERATION(C::PostPacket, Result, int32_t, const void*, uint32_t);
    EXPECT_OPERATION(C::GetCurrentMeterValue, Result, uint32_t, float*);
    EXPECT_OPERATION(C::GetMeterPeakValue, Result, uint32_t, float*);
    EXPECT_OPERATION(C::ClearMeterPeakValue, Result, uint32_t);
    EXPECT_OPERATION(C::GetMeterCount, Result, uint32_t*);
    EXPECT_OPERATION(C::GetMeterClipped, Result, uint32_t, uint8_t*);
    EXPECT_OPERATION(C::ClearMeterClipped, Result, uint32_t);
    EXPECT_OPERATION(C::GetNextMIDIPacket, Result, int32_t*, AAX_CMidiPacket*);
    EXPECT_OPERATION(C::GetHybridSignalLatency, Result, int32_t*);
    EXPECT_OPERATION(C::GetCurrentAutomationTimestamp, Result, int64_t*);
    EXPECT_OPERATION(C::GetHostName, Result, AAX_IString*);
    EXPECT_OPERATION(C::GetPlugInTargetPlatform, Result, int32_t*);
    EXPECT_OPERATION(C::GetIsAudioSuite, Result, uint8_t*);
}

TEST(ControllerSignatures, HostTableTakesTheLibraryArguments)
{
    ExpectControllerArguments<AAX_IACFController_V3>();
    using C = AAX_IACFController_V2;
    EXPECT_OPERATION(C::SendNotification, Result, uint32_t, const void*, uint32_t);
}

TEST(ControllerSignatures, LibraryInterface)
{
    using C = AAX_IController;
    ExpectControllerArguments<C>();
    // Both notification forms.
    EXPECT_OVERLOAD(AAX_Result (C::*)(AAX_CTypeID, const void*, uint32_t), C::SendNotification);
    EXPECT_OVERLOAD(AAX_Result (C::*)(AAX_CTypeID), C::SendNotification);

    EXPECT_TRUE(IsConst<&C::GetEffectID>());
    EXPECT_TRUE(IsConst<&C::GetSampleRate>());
    EXPECT_TRUE(IsConst<&C::GetInputStemFormat>());
    EXPECT_TRUE(IsConst<&C::GetOutputStemFormat>());
    EXPECT_TRUE(IsConst<&C::GetSignalLatency>());
    EXPECT_TRUE(IsConst<&C::GetCycleCount>());
    EXPECT_TRUE(IsConst<&C::GetTODLocation>());
    EXPECT_TRUE(IsConst<&C::GetCurrentMeterValue>());
    EXPECT_TRUE(IsConst<&C::GetMeterPeakValue>());
    EXPECT_TRUE(IsConst<&C::ClearMeterPeakValue>());
    EXPECT_TRUE(IsConst<&C::GetMeterCount>());
    EXPECT_TRUE(IsConst<&C::GetMeterClipped>());
    EXPECT_TRUE(IsConst<&C::ClearMeterClipped>());
    EXPECT_TRUE(IsConst<&C::GetHybridSignalLatency>());
    EXPECT_TRUE(IsConst<&C::GetCurrentAutomationTimestamp>());
    EXPECT_TRUE(IsConst<&C::GetHostName>());
    EXPECT_TRUE(IsConst<&C::GetPlugInTargetPlatform>());
    EXPECT_TRUE(IsConst<&C::GetIsAudioSuite>());
    EXPECT_FALSE(IsConst<&C::SetSignalLatency>());
    EXPECT_FALSE(IsConst<&C::PostPacket>());
}

TEST(ControllerSignatures, PageTableCopies)
{
    using C = AAX_IController;
    EXPECT_OPERATION(C::CreateTableCopyForEffect, AAX_IPageTable*, int32_t, int32_t, int32_t, uint32_t, int32_t);
    EXPECT_OPERATION(C::CreateTableCopyForLayout, AAX_IPageTable*, ID, ID, uint32_t, int32_t);
    EXPECT_OPERATION(C::CreateTableCopyForEffectFromFile, AAX_IPageTable*, ID, AAX_ETextEncoding, int32_t, int32_t,
                     int32_t, uint32_t, int32_t);
    EXPECT_OPERATION(C::CreateTableCopyForLayoutFromFile, AAX_IPageTable*, ID, AAX_ETextEncoding, ID, uint32_t,
                     int32_t);
    EXPECT_TRUE(IsConst<&C::CreateTableCopyForEffect>());
    EXPECT_TRUE(IsConst<&C::CreateTableCopyForLayoutFromFile>());
    EXPECT_TRUE(IsConst<&AAX_VController::CreatePageTable>());

    // The host's copy methods take the same arguments and then the empty table to fill.
    using P = AAX_IACFPageTableController_V2;
    EXPECT_OPERATION(P::CopyTableForEffect, Result, int32_t, int32_t, int32_t, uint32_t, int32_t, IACFUnknown*);
    EXPECT_OPERATION(P::CopyTableForLayout, Result, ID, ID, uint32_t, int32_t, IACFUnknown*);
    EXPECT_OPERATION(P::CopyTableForEffectFromFile, Result, ID, AAX_ETextEncoding, int32_t, int32_t, int32_t,
                     uint32_t, int32_t, IACFUnknown*);
    EXPECT_OPERATION(P::CopyTableForLayoutFromFile, Result, ID, AAX_ETextEncoding, ID, uint32_t, int32_t,
                     IACFUnknown*);
}

//==============================================================================
template <typename T>
void ExpectTransportArguments()
{
    EXPECT_OPERATION(T::GetCurrentTempo, Result, double*);
    EXPECT_OPERATION(T::GetCurrentMeter, Result, int32_t*, int32_t*);
    EXPECT_OPERATION(T::IsTransportPlaying, Result, bool*);
    EXPECT_OPERATION(T::GetCurrentTickPosition, Result, int64_t*);
    EXPECT_OPERATION(T::GetCurrentLoopPosition, Result, bool*, int64_t*, int64_t*);
    EXPECT_OPERATION(T::GetCurrentNativeSampleLocation, Result, int64_t*);
    EXPECT_OPERATION(T::GetCustomTickPosition, Result, int64_t*, int64_t);
    EXPECT_OPERATION(T::GetBarBeatPosition, Result, int32_t*, int32_t*, int64_t*, int64_t);
    EXPECT_OPERATION(T::GetTicksPerQuarter, Result, uint32_t*);
    EXPECT_OPERATION(T::GetCurrentTicksPerBeat, Result, uint32_t*);
    EXPECT_OPERATION(T::GetTimelineSelectionStartPosition, Result, int64_t*);
    EXPECT_OPERATION(T::GetTimeCodeInfo, Result, AAX_EFrameRate*, int32_t*);
    EXPECT_OPERATION(T::GetFeetFramesInfo, Result, AAX_EFeetFramesRate*, int64_t*);
    EXPECT_OPERATION(T::IsMetronomeEnabled, Result, int32_t*);
    EXPECT_OPERATION(T::GetHDTimeCodeInfo, Result, AAX_EFrameRate*, int64_t*);
}

TEST(TransportSignatures, HostAndLibraryTables)
{
    ExpectTransportArguments<AAX_IACFTransport_V3>();
    ExpectTransportArguments<AAX_ITransport>();
    using T = AAX_ITransport;
    // Every operation of the library's transport is const.
    EXPECT_TRUE(IsConst<&T::GetCurrentTempo>() && IsConst<&T::GetCurrentMeter>() && IsConst<&T::IsTransportPlaying>() &&
                IsConst<&T::GetCurrentTickPosition>() && IsConst<&T::GetCurrentLoopPosition>() &&
                IsConst<&T::GetCurrentNativeSampleLocation>() && IsConst<&T::GetCustomTickPosition>() &&
                IsConst<&T::GetBarBeatPosition>() && IsConst<&T::GetTicksPerQuarter>() &&
                IsConst<&T::GetCurrentTicksPerBeat>() && IsConst<&T::GetTimelineSelectionStartPosition>() &&
                IsConst<&T::GetTimeCodeInfo>() && IsConst<&T::GetFeetFramesInfo>() &&
                IsConst<&T::IsMetronomeEnabled>() && IsConst<&T::GetHDTimeCodeInfo>());
}

//==============================================================================
template <typename V>
void ExpectViewContainerArguments()
{
    EXPECT_OPERATION(V::GetType, int32_t);
    EXPECT_OPERATION(V::GetPtr, void*);
    EXPECT_OPERATION(V::GetModifiers, Result, uint32_t*);
    EXPECT_OPERATION(V::SetViewSize, Result, AAX_Point&);
    EXPECT_OPERATION(V::HandleParameterMouseDown, Result, ID, uint32_t);
    EXPECT_OPERATION(V::HandleParameterMouseDrag, Result, ID, uint32_t);
    EXPECT_OPERATION(V::HandleParameterMouseUp, Result, ID, uint32_t);
    EXPECT_OPERATION(V::HandleMultipleParametersMouseDown, Result, const ID*, uint32_t, uint32_t);
    EXPECT_OPERATION(V::HandleMultipleParametersMouseDrag, Result, const ID*, uint32_t, uint32_t);
    EXPECT_OPERATION(V::HandleMultipleParametersMouseUp, Result, const ID*, uint32_t, uint32_t);
}

TEST(ViewContainerSignatures, HostAndLibraryTables)
{
    ExpectViewContainerArguments<AAX_IACFViewContainer_V2>();
    ExpectViewContainerArguments<AAX_IViewContainer>();
}

//==============================================================================
template <typename P>
void ExpectPageTableArguments()
{
    EXPECT_OPERATION(P::Clear, Result);
    EXPECT_OPERATION(P::Empty, Result, uint8_t&);
    EXPECT_OPERATION(P::GetNumPages, Result, int32_t&);
    EXPECT_OPERATION(P::InsertPage, Result, int32_t);
    EXPECT_OPERATION(P::RemovePage, Result, int32_t);
    EXPECT_OPERATION(P::GetNumMappedParameterIDs, Result, int32_t, int32_t&);
    EXPECT_OPERATION(P::ClearMappedParameter, Result, int32_t, int32_t);
    EXPECT_OPERATION(P::GetMappedParameterID, Result, int32_t, int32_t, AAX_IString&);
    EXPECT_OPERATION(P::MapParameterID, Result, ID, int32_t, int32_t);
    EXPECT_OPERATION(P::GetNumParametersWithNameVariations, Result, int32_t&);
    EXPECT_OPERATION(P::GetNameVariationParameterIDAtIndex, Result, int32_t, AAX_IString&);
    EXPECT_OPERATION(P::GetNumNameVariationsForParameter, Result, ID, int32_t&);
    EXPECT_OPERATION(P::GetParameterNameVariationAtIndex, Result, ID, int32_t, AAX_IString&, int32_t&);
    EXPECT_OPERATION(P::GetParameterNameVariationOfLength, Result, ID, int32_t, AAX_IString&);
    EXPECT_OPERATION(P::ClearParameterNameVariations, Result);
    EXPECT_OPERATION(P::ClearNameVariationsForParameter, Result, ID);
    EXPECT_OPERATION(P::SetParameterNameVariation, Result, ID, const AAX_IString&, int32_t);
}

TEST(PageTableSignatures, HostAndLibraryTables)
{
    ExpectPageTableArguments<AAX_IACFPageTable_V2>();
    ExpectPageTableArguments<AAX_IPageTable>();
    using P = AAX_IPageTable;
    EXPECT_TRUE(IsConst<&P::Empty>() && IsConst<&P::GetNumPages>() && IsConst<&P::GetNumMappedParameterIDs>() &&
                IsConst<&P::GetMappedParameterID>() && IsConst<&P::GetNumParametersWithNameVariations>() &&
                IsConst<&P::GetNameVariationParameterIDAtIndex>() && IsConst<&P::GetNumNameVariationsForParameter>() &&
                IsConst<&P::GetParameterNameVariationAtIndex>() && IsConst<&P::GetParameterNameVariationOfLength>());
    EXPECT_FALSE(IsConst<&P::Clear>() || IsConst<&P::InsertPage>() || IsConst<&P::MapParameterID>() ||
                 IsConst<&P::SetParameterNameVariation>());
}

//==============================================================================
TEST(ParameterSignatures, IdentityNamesAndAutomation)
{
    using P = AAX_IParameter;
    EXPECT_OPERATION(P::CloneValue, AAX_IParameterValue*);
    EXPECT_OPERATION(P::Identifier, ID);
    EXPECT_OPERATION(P::SetName, void, const AAX_CString&);
    EXPECT_OPERATION(P::AddShortenedName, void, const AAX_CString&);
    EXPECT_TRUE((Takes<&P::ShortenedName, int32_t>()));
    EXPECT_OPERATION(P::ClearShortenedNames, void);
    EXPECT_OPERATION(P::Automatable, bool);
    EXPECT_OPERATION(P::SetAutomationDelegate, void, AAX_IAutomationDelegate*);
    EXPECT_OPERATION(P::Touch, void);
    EXPECT_OPERATION(P::Release, void);
    EXPECT_TRUE(IsConst<&P::CloneValue>() && IsConst<&P::Identifier>() && IsConst<&P::Name>() &&
                IsConst<&P::ShortenedName>() && IsConst<&P::Automatable>());
}

TEST(ParameterSignatures, ValuesAndSteps)
{
    using P = AAX_IParameter;
    EXPECT_OPERATION(P::SetNormalizedValue, void, double);
    EXPECT_OPERATION(P::GetNormalizedValue, double);
    EXPECT_OPERATION(P::SetNormalizedDefaultValue, void, double);
    EXPECT_OPERATION(P::GetNormalizedDefaultValue, double);
    EXPECT_OPERATION(P::SetToDefaultValue, void);
    EXPECT_OPERATION(P::SetNumberOfSteps, void, uint32_t);
    EXPECT_OPERATION(P::GetNumberOfSteps, uint32_t);
    EXPECT_OPERATION(P::GetStepValue, uint32_t);
    EXPECT_OPERATION(P::GetNormalizedValueFromStep, double, uint32_t);
    EXPECT_OPERATION(P::GetStepValueFromNormalizedValue, uint32_t, double);
    EXPECT_OPERATION(P::SetStepValue, void, uint32_t);
    EXPECT_OPERATION(P::SetType, void, AAX_EParameterType);
    EXPECT_OPERATION(P::GetType, AAX_EParameterType);
    EXPECT_OPERATION(P::SetOrientation, void, int32_t);
    EXPECT_OPERATION(P::GetOrientation, int32_t);
    EXPECT_OPERATION(P::SetTaperDelegate, void, AAX_ITaperDelegateBase&, bool);
    EXPECT_OPERATION(P::SetDisplayDelegate, void, AAX_IDisplayDelegateBase&);
    EXPECT_OPERATION(P::UpdateNormalizedValue, void, double);
    EXPECT_TRUE(IsConst<&P::GetNormalizedValue>() && IsConst<&P::GetNormalizedDefaultValue>() &&
                IsConst<&P::GetNumberOfSteps>() && IsConst<&P::GetStepValue>() &&
                IsConst<&P::GetNormalizedValueFromStep>() && IsConst<&P::GetStepValueFromNormalizedValue>() &&
                IsConst<&P::GetType>() && IsConst<&P::GetOrientation>());
}

// Conversions and typed accessors answer bool; the getters and converters change nothing (const).
TEST(ParameterSignatures, ConversionsAndTypedAccess)
{
    using P = AAX_IParameter;
    EXPECT_OVERLOAD(bool (P::*)(AAX_CString*) const, P::GetValueString);
    EXPECT_OVERLOAD(bool (P::*)(int32_t, AAX_CString*) const, P::GetValueString);
    EXPECT_OVERLOAD(bool (P::*)(double, AAX_CString&) const, P::GetStringFromNormalizedValue);
    EXPECT_OVERLOAD(bool (P::*)(double, int32_t, AAX_CString&) const, P::GetStringFromNormalizedValue);

    EXPECT_OPERATION(P::GetNormalizedValueFromBool, bool, bool, double*);
    EXPECT_OPERATION(P::GetNormalizedValueFromInt32, bool, int32_t, double*);
    EXPECT_OPERATION(P::GetNormalizedValueFromFloat, bool, float, double*);
    EXPECT_OPERATION(P::GetNormalizedValueFromDouble, bool, double, double*);
    EXPECT_OPERATION(P::GetNormalizedValueFromString, bool, const AAX_CString&, double*);
    EXPECT_OPERATION(P::GetBoolFromNormalizedValue, bool, double, bool*);
    EXPECT_OPERATION(P::GetInt32FromNormalizedValue, bool, double, int32_t*);
    EXPECT_OPERATION(P::GetFloatFromNormalizedValue, bool, double, float*);
    EXPECT_OPERATION(P::GetDoubleFromNormalizedValue, bool, double, double*);
    EXPECT_OPERATION(P::SetValueFromString, bool, const AAX_CString&);
    EXPECT_OPERATION(P::GetValueAsBool, bool, bool*);
    EXPECT_OPERATION(P::GetValueAsInt32, bool, int32_t*);
    EXPECT_OPERATION(P::GetValueAsFloat, bool, float*);
    EXPECT_OPERATION(P::GetValueAsDouble, bool, double*);
    EXPECT_OPERATION(P::GetValueAsString, bool, AAX_IString*);
    EXPECT_OPERATION(P::SetValueWithBool, bool, bool);
    EXPECT_OPERATION(P::SetValueWithInt32, bool, int32_t);
    EXPECT_OPERATION(P::SetValueWithFloat, bool, float);
    EXPECT_OPERATION(P::SetValueWithDouble, bool, double);
    EXPECT_OPERATION(P::SetValueWithString, bool, const AAX_IString&);
    EXPECT_TRUE(IsConst<&P::GetNormalizedValueFromBool>() && IsConst<&P::GetNormalizedValueFromString>() &&
                IsConst<&P::GetBoolFromNormalizedValue>() && IsConst<&P::GetDoubleFromNormalizedValue>() &&
                IsConst<&P::GetValueAsBool>() && IsConst<&P::GetValueAsFloat>() && IsConst<&P::GetValueAsString>());
    EXPECT_FALSE(IsConst<&P::SetValueFromString>() || IsConst<&P::SetValueWithFloat>() ||
                 IsConst<&P::SetValueWithString>());
}

TEST(ParameterSignatures, ValueRecordAndDelegates)
{
    using V = AAX_IParameterValue;
    EXPECT_OPERATION(V::Identifier, ID);
    EXPECT_OPERATION(V::GetValueAsBool, bool, bool*);
    EXPECT_OPERATION(V::GetValueAsInt32, bool, int32_t*);
    EXPECT_OPERATION(V::GetValueAsFloat, bool, float*);
    EXPECT_OPERATION(V::GetValueAsDouble, bool, double*);

    using T = AAX_ITaperDelegate<float>;
    EXPECT_OPERATION(T::GetMaximumValue, float);
    EXPECT_OPERATION(T::GetMinimumValue, float);
    EXPECT_OPERATION(T::ConstrainRealValue, float, float);
    EXPECT_OPERATION(T::NormalizedToReal, float, double);
    EXPECT_OPERATION(T::RealToNormalized, double, float);

    using D = AAX_IDisplayDelegate<float>;
    EXPECT_OVERLOAD(bool (D::*)(float, AAX_CString*) const, D::ValueToString);
    EXPECT_OVERLOAD(bool (D::*)(float, int32_t, AAX_CString*) const, D::ValueToString);
    EXPECT_OPERATION(D::StringToValue, bool, const AAX_CString&, float*);
}

//==============================================================================
TEST(PacketSignatures, HandlerDispatcherAndMutex)
{
    EXPECT_OPERATION(AAX_IPacketHandler::Clone, AAX_IPacketHandler*);
    EXPECT_OPERATION(AAX_IPacketHandler::Call, Result, ID, AAX_CPacket&);
    EXPECT_TRUE(IsConst<&AAX_IPacketHandler::Clone>() && IsConst<&AAX_IPacketHandler::Call>());

    using D = AAX_CPacketDispatcher;
    EXPECT_OPERATION(D::Initialize, void, AAX_IController*, AAX_IEffectParameters*);
    EXPECT_OVERLOAD(AAX_Result (D::*)(AAX_CParamID, int32_t, const AAX_IPacketHandler*), D::RegisterPacket);
    EXPECT_OPERATION(D::SetDirty, Result, ID, bool);
    EXPECT_OPERATION(D::Dispatch, Result);
    EXPECT_OPERATION(D::GenerateSingleValuePacket, Result, ID, AAX_CPacket&);

    EXPECT_OPERATION(AAX_CMutex::Lock, bool);
    EXPECT_OPERATION(AAX_CMutex::Unlock, void);
}

TEST(ParameterManagerSignatures, LookupsAndOwnership)
{
    using M = AAX_CParameterManager;
    EXPECT_OPERATION(M::Initialize, void, AAX_IAutomationDelegate*);
    EXPECT_OPERATION(M::NumParameters, int32_t);
    EXPECT_OPERATION(M::AddParameter, void, AAX_IParameter*);
    EXPECT_OPERATION(M::RemoveAllParameters, void);
    EXPECT_OPERATION(M::GetParameterIndex, int32_t, ID);
    EXPECT_TRUE(IsConst<&M::NumParameters>() && IsConst<&M::GetParameterIndex>());
    // Both forms of both lookups exist.
    EXPECT_OVERLOAD(AAX_IParameter* (M::*)(AAX_CParamID), M::GetParameterByID);
    EXPECT_OVERLOAD(const AAX_IParameter* (M::*)(AAX_CParamID) const, M::GetParameterByID);
    EXPECT_OVERLOAD(AAX_IParameter* (M::*)(int32_t), M::GetParameter);
    EXPECT_OVERLOAD(const AAX_IParameter* (M::*)(int32_t) const, M::GetParameter);
}

TEST(ChunkParserSignatures, BuildFindWriteRead)
{
    using C = AAX_CChunkDataParser;
    EXPECT_OPERATION(C::Clear, void);
    EXPECT_OPERATION(C::AddDouble, void, ID, double);
    EXPECT_OPERATION(C::AddInt32, void, ID, int32_t);
    EXPECT_OPERATION(C::AddString, void, ID, AAX_CString);
    EXPECT_OPERATION(C::FindDouble, bool, ID, double*);
    EXPECT_OPERATION(C::FindInt32, bool, ID, int32_t*);
    EXPECT_OPERATION(C::FindString, bool, ID, AAX_CString*);
    EXPECT_OPERATION(C::FindName, int32_t, const AAX_CString&);
    EXPECT_OPERATION(C::GetChunkDataSize, int32_t);
    EXPECT_OPERATION(C::GetChunkData, Result, AAX_SPlugInChunk*);
    EXPECT_OPERATION(C::LoadChunk, void, const AAX_SPlugInChunk*);
}

//==============================================================================
// Which classes have tables of functions at all, and which are only ever derived from.
TEST(ClassKinds, PlainClassesHaveNoVirtualOperations)
{
    EXPECT_FALSE(std::is_polymorphic_v<AAX_CParameterManager>);
    EXPECT_FALSE(std::is_polymorphic_v<AAX_CPacketDispatcher>);
    EXPECT_FALSE(std::is_polymorphic_v<AAX_CPacket>);
    EXPECT_FALSE(std::is_polymorphic_v<AAX_CMutex>);
    EXPECT_FALSE(std::is_polymorphic_v<AAX_StLock_Guard>);
    EXPECT_TRUE(std::has_virtual_destructor_v<AAX_CChunkDataParser>);
}

// The parameter classes the client creates: a float parameter with the linear taper and a three-decimal
// display that puts no space after the number.
TEST(ClassKinds, ParameterClassTree)
{
    EXPECT_TRUE((std::is_same_v<AAX_CNumberDisplayDelegate<float, 3>, AAX_CNumberDisplayDelegate<float, 3u, 0u>>));
    EXPECT_TRUE((std::is_base_of_v<AAX_IDisplayDelegate<float>, AAX_CNumberDisplayDelegate<float, 3u, 0u>>));
    EXPECT_TRUE((std::is_base_of_v<AAX_IDisplayDelegateBase, AAX_IDisplayDelegate<float>>));
    EXPECT_TRUE((std::is_base_of_v<AAX_ITaperDelegate<float>, AAX_CLinearTaperDelegate<float, 0>>));
    EXPECT_TRUE((std::is_base_of_v<AAX_ITaperDelegateBase, AAX_ITaperDelegate<float>>));
    EXPECT_TRUE((std::is_base_of_v<AAX_IParameter, AAX_CParameter<float>>));
    EXPECT_TRUE((std::is_base_of_v<AAX_IParameterValue, AAX_CParameterValue<float>>));
    EXPECT_TRUE(std::is_abstract_v<AAX_IParameter>);
    EXPECT_FALSE(std::is_abstract_v<AAX_CParameter<float>>);
}

TEST(ClassKinds, BasesAndInterfaces)
{
    EXPECT_TRUE(std::is_abstract_v<AAX_CEffectGUI>);
    EXPECT_FALSE(std::is_abstract_v<AAX_CEffectParameters>);
    EXPECT_TRUE((std::is_base_of_v<AAX_IACFEffectParameters_V4, AAX_IEffectParameters>));
    EXPECT_TRUE((std::is_base_of_v<CACFUnknown, AAX_IEffectParameters>));
    EXPECT_TRUE((std::is_base_of_v<AAX_IACFEffectGUI, AAX_IEffectGUI>));
    EXPECT_TRUE((std::is_base_of_v<CACFUnknown, AAX_IEffectGUI>));
    // The proxies are plain objects, never counted or handed to the host.
    EXPECT_FALSE((std::is_base_of_v<CACFUnknown, AAX_VController>));
    EXPECT_TRUE(std::has_virtual_destructor_v<AAX_IController>);
}
} // namespace
