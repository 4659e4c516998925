// The host calls every method of a host-facing interface by its number in the table of functions
// (QueryInterface 0, AddRef 1, Release 2), and a later version's table begins with the earlier one's. One
// row per interface: its methods in the host's order, from the number of the first one listed.
#include "VtableSlot.h"

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFCollection.h"
#include "AAX_IACFComponentDescriptor.h"
#include "AAX_IACFController.h"
#include "AAX_IACFDescriptionHost.h"
#include "AAX_IACFEffectDescriptor.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IACFFeatureInfo.h"
#include "AAX_IACFHostServices.h"
#include "AAX_IACFPageTable.h"
#include "AAX_IACFPageTableController.h"
#include "AAX_IACFPropertyMap.h"
#include "AAX_IACFTransport.h"
#include "AAX_IACFViewContainer.h"
#include "AAX_IString.h"
#include "ACF/acfbaseapi.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct HostInterface
{
    const char* name;
    long firstNumber;
    std::vector<long> slots;
};

template <class... Methods>
HostInterface Row(const char* name, long firstNumber, Methods... methods)
{
    return {name, firstNumber, {VtableSlot(methods)...}};
}

using EP = AAX_IACFEffectParameters_V4;
using UI = AAX_IACFEffectGUI;
using HS = AAX_IACFHostServices_V3;
using AD = AAX_IACFAutomationDelegate;
using CO = AAX_IACFCollection;
using ED = AAX_IACFEffectDescriptor_V2;
using CD = AAX_IACFComponentDescriptor_V3;
using PM = AAX_IACFPropertyMap_V3;
using CT = AAX_IACFController_V3;
using PC = AAX_IACFPageTableController_V2;
using PT = AAX_IACFPageTable_V2;
using VC = AAX_IACFViewContainer_V2;
using TR = AAX_IACFTransport_V3;
using ST = AAX_IString;

const HostInterface kHostInterfaces[] = {
    Row("IACFUnknown", 0, &IACFUnknown::QueryInterface, &IACFUnknown::AddRef, &IACFUnknown::Release),
    Row("component factory", 3, &IACFComponentFactory::CreateComponent),
    Row("host services V1-V3", 3, &HS::Assert, &HS::Trace, &HS::StackTrace, &HS::HandleAssertFailure),
    Row("automation delegate", 3, &AD::RegisterParameter, &AD::UnregisterParameter, &AD::PostSetValueRequest,
        &AD::PostCurrentValue, &AD::PostTouchRequest, &AD::PostReleaseRequest, &AD::GetTouchState),
    Row("collection", 7, &CO::AddEffect, &CO::SetManufacturerName, &CO::AddPackageName, &CO::SetPackageVersion,
        &CO::SetProperties),
    Row("effect descriptor V1-V2", 3, &ED::AddComponent, &ED::AddName, &ED::AddCategory,
        &ED::AddCategoryBypassParameter, &ED::AddProcPtr, &ED::SetProperties, &ED::AddResourceInfo,
        &ED::AddMeterDescription, &ED::AddControlMIDINode),
    Row("component descriptor V1-V3", 3, &CD::Clear, &CD::AddReservedField, &CD::AddAudioIn, &CD::AddAudioOut,
        &CD::AddAudioBufferLength, &CD::AddSampleRate, &CD::AddClock, &CD::AddSideChainIn, &CD::AddDataInPort,
        &CD::AddAuxOutputStem, &CD::AddPrivateData, &CD::AddDmaInstance, &CD::AddMIDINode, &CD::AddProcessProc_Native,
        &CD::AddProcessProc_TI, &CD::AddMeters, &CD::AddTemporaryData, &CD::AddProcessProc),
    Row("property map V1-V3", 3, &PM::GetProperty, &PM::AddProperty, &PM::RemoveProperty, &PM::AddPropertyWithIDArray,
        &PM::GetPropertyWithIDArray, &PM::GetPointerProperty, &PM::AddPointerProperty),
    Row("description host", 3, &AAX_IACFDescriptionHost::AcquireFeatureProperties),
    Row("feature information", 3, &AAX_IACFFeatureInfo::SupportLevel, &AAX_IACFFeatureInfo::AcquireProperties),
    Row("controller V1-V3", 3, &CT::GetEffectID, &CT::GetSampleRate, &CT::GetInputStemFormat, &CT::GetOutputStemFormat,
        &CT::GetSignalLatency, &CT::GetCycleCount, &CT::GetTODLocation, &CT::SetSignalLatency, &CT::SetCycleCount,
        &CT::PostPacket, &CT::GetCurrentMeterValue, &CT::GetMeterPeakValue, &CT::ClearMeterPeakValue,
        &CT::GetMeterClipped, &CT::ClearMeterClipped, &CT::GetMeterCount, &CT::GetNextMIDIPacket, &CT::SendNotification,
        &CT::GetHybridSignalLatency, &CT::GetCurrentAutomationTimestamp, &CT::GetHostName, &CT::GetPlugInTargetPlatform,
        &CT::GetIsAudioSuite),
    Row("page table controller V1-V2", 3, &PC::CopyTableForEffect, &PC::CopyTableForLayout,
        &PC::CopyTableForEffectFromFile, &PC::CopyTableForLayoutFromFile),
    Row("page table V1-V2", 3, &PT::Clear, &PT::Empty, &PT::GetNumPages, &PT::InsertPage, &PT::RemovePage,
        &PT::GetNumMappedParameterIDs, &PT::ClearMappedParameter, &PT::GetMappedParameterID, &PT::MapParameterID,
        &PT::GetNumParametersWithNameVariations, &PT::GetNameVariationParameterIDAtIndex,
        &PT::GetNumNameVariationsForParameter, &PT::GetParameterNameVariationAtIndex,
        &PT::GetParameterNameVariationOfLength, &PT::ClearParameterNameVariations, &PT::ClearNameVariationsForParameter,
        &PT::SetParameterNameVariation),
    Row("view container V1-V2", 3, &VC::GetType, &VC::GetPtr, &VC::GetModifiers, &VC::SetViewSize,
        &VC::HandleParameterMouseDown, &VC::HandleParameterMouseDrag, &VC::HandleParameterMouseUp,
        &VC::HandleMultipleParametersMouseDown, &VC::HandleMultipleParametersMouseDrag,
        &VC::HandleMultipleParametersMouseUp),
    Row("transport V1-V3", 3, &TR::GetCurrentTempo, &TR::GetCurrentMeter, &TR::IsTransportPlaying,
        &TR::GetCurrentTickPosition, &TR::GetCurrentLoopPosition, &TR::GetCurrentNativeSampleLocation,
        &TR::GetCustomTickPosition, &TR::GetBarBeatPosition, &TR::GetTicksPerQuarter, &TR::GetCurrentTicksPerBeat,
        &TR::GetTimelineSelectionStartPosition, &TR::GetTimeCodeInfo, &TR::GetFeetFramesInfo, &TR::IsMetronomeEnabled,
        &TR::GetHDTimeCodeInfo),
    // The plug-in's own objects, which the host calls the same way.
    Row("effect parameters V1-V4", 3, &EP::Initialize, &EP::Uninitialize, &EP::NotificationReceived,
        &EP::GetNumberOfParameters, &EP::GetMasterBypassParameter, &EP::GetParameterIsAutomatable,
        &EP::GetParameterNumberOfSteps, &EP::GetParameterName, &EP::GetParameterNameOfLength,
        &EP::GetParameterDefaultNormalizedValue, &EP::SetParameterDefaultNormalizedValue, &EP::GetParameterType,
        &EP::GetParameterOrientation, &EP::GetParameter, &EP::GetParameterIndex, &EP::GetParameterIDFromIndex,
        &EP::GetParameterValueInfo, &EP::GetParameterValueFromString, &EP::GetParameterStringFromValue,
        &EP::GetParameterValueString, &EP::GetParameterNormalizedValue, &EP::SetParameterNormalizedValue,
        &EP::SetParameterNormalizedRelative, &EP::TouchParameter, &EP::ReleaseParameter, &EP::UpdateParameterTouch,
        &EP::UpdateParameterNormalizedValue, &EP::UpdateParameterNormalizedRelative, &EP::GenerateCoefficients,
        &EP::ResetFieldData, &EP::GetNumberOfChunks, &EP::GetChunkIDFromIndex, &EP::GetChunkSize, &EP::GetChunk,
        &EP::SetChunk, &EP::CompareActiveChunk, &EP::GetNumberOfChanges, &EP::TimerWakeup, &EP::GetCurveData,
        &EP::GetCustomData, &EP::SetCustomData, &EP::DoMIDITransfers, &EP::RenderAudio_Hybrid, &EP::UpdateMIDINodes,
        &EP::UpdateControlMIDINodes, &EP::GetCurveDataMeterIds, &EP::GetCurveDataDisplayRange, &EP::UpdatePageTable),
    Row("effect GUI", 3, &UI::Initialize, &UI::Uninitialize, &UI::NotificationReceived, &UI::SetViewContainer,
        &UI::GetViewSize, &UI::Draw, &UI::TimerWakeup, &UI::ParameterUpdated, &UI::GetCustomLabel,
        &UI::SetControlHighlightInfo),
    // Texts cross in both directions as AAX_IString objects: a virtual destructor (two entries), then these.
    Row("AAX_IString", 2, &ST::Length, &ST::MaxLength, &ST::Get, &ST::Set,
        static_cast<ST& (ST::*)(const ST&)>(&ST::operator=), static_cast<ST& (ST::*)(const char*)>(&ST::operator=)),
};

TEST(HostMethodNumbers, EveryMethodSitsAtTheNumberTheHostCalls)
{
    for (const HostInterface& hostInterface : kHostInterfaces)
        for (size_t i = 0; i < hostInterface.slots.size(); ++i)
            EXPECT_EQ(hostInterface.slots[i], hostInterface.firstNumber + long(i))
                << hostInterface.name << ", method " << i + 1 << " of the row";
}
} // namespace
