// The host calls every host-facing method by its number in the table of functions (QueryInterface 0,
// AddRef 1, Release 2). These checks pin each method of the plug-in's and the host's interfaces to the
// number the host uses.
#include "VtableSlot.h"

#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_IACFController.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_IACFPageTable.h"
#include "AAX_IACFPageTableController.h"
#include "AAX_IACFTransport.h"
#include "AAX_IACFViewContainer.h"

#include <gtest/gtest.h>

namespace
{
using Effect = AAX_IACFEffectParameters_V4;

// Makes the GUI base's protected operations nameable here.
struct ExposedGUI : AAX_CEffectGUI
{
    using AAX_CEffectGUI::CreateViewContainer;
    using AAX_CEffectGUI::CreateViewContents;
    using AAX_CEffectGUI::DeleteViewContainer;
    using AAX_CEffectGUI::UpdateAllParameters;
};

TEST(EffectParametersMethodNumbers, UnknownMethodsComeFirst)
{
    EXPECT_EQ(VtableSlot(&Effect::QueryInterface), 0);
    EXPECT_EQ(VtableSlot(&Effect::AddRef), 1);
    EXPECT_EQ(VtableSlot(&Effect::Release), 2);
}

TEST(EffectParametersMethodNumbers, LifecycleAndParameterMethods)
{
    EXPECT_EQ(VtableSlot(&Effect::Initialize), 3);
    EXPECT_EQ(VtableSlot(&Effect::Uninitialize), 4);
    EXPECT_EQ(VtableSlot(&Effect::NotificationReceived), 5);
    EXPECT_EQ(VtableSlot(&Effect::GetNumberOfParameters), 6);
    EXPECT_EQ(VtableSlot(&Effect::GetMasterBypassParameter), 7);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterIsAutomatable), 8);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterNumberOfSteps), 9);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterName), 10);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterNameOfLength), 11);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterDefaultNormalizedValue), 12);
    EXPECT_EQ(VtableSlot(&Effect::SetParameterDefaultNormalizedValue), 13);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterType), 14);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterOrientation), 15);
    EXPECT_EQ(VtableSlot(&Effect::GetParameter), 16);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterIndex), 17);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterIDFromIndex), 18);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterValueInfo), 19);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterValueFromString), 20);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterStringFromValue), 21);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterValueString), 22);
    EXPECT_EQ(VtableSlot(&Effect::GetParameterNormalizedValue), 23);
    EXPECT_EQ(VtableSlot(&Effect::SetParameterNormalizedValue), 24);
    EXPECT_EQ(VtableSlot(&Effect::SetParameterNormalizedRelative), 25);
    EXPECT_EQ(VtableSlot(&Effect::TouchParameter), 26);
    EXPECT_EQ(VtableSlot(&Effect::ReleaseParameter), 27);
    EXPECT_EQ(VtableSlot(&Effect::UpdateParameterTouch), 28);
    EXPECT_EQ(VtableSlot(&Effect::UpdateParameterNormalizedValue), 29);
    EXPECT_EQ(VtableSlot(&Effect::UpdateParameterNormalizedRelative), 30);
}

TEST(EffectParametersMethodNumbers, CoefficientChunkAndLaterMethods)
{
    EXPECT_EQ(VtableSlot(&Effect::GenerateCoefficients), 31);
    EXPECT_EQ(VtableSlot(&Effect::ResetFieldData), 32);
    EXPECT_EQ(VtableSlot(&Effect::GetNumberOfChunks), 33);
    EXPECT_EQ(VtableSlot(&Effect::GetChunkIDFromIndex), 34);
    EXPECT_EQ(VtableSlot(&Effect::GetChunkSize), 35);
    EXPECT_EQ(VtableSlot(&Effect::GetChunk), 36);
    EXPECT_EQ(VtableSlot(&Effect::SetChunk), 37);
    EXPECT_EQ(VtableSlot(&Effect::CompareActiveChunk), 38);
    EXPECT_EQ(VtableSlot(&Effect::GetNumberOfChanges), 39);
    EXPECT_EQ(VtableSlot(&Effect::TimerWakeup), 40);
    EXPECT_EQ(VtableSlot(&Effect::GetCurveData), 41);
    EXPECT_EQ(VtableSlot(&Effect::GetCustomData), 42);
    EXPECT_EQ(VtableSlot(&Effect::SetCustomData), 43);
    EXPECT_EQ(VtableSlot(&Effect::DoMIDITransfers), 44);
    EXPECT_EQ(VtableSlot(&Effect::RenderAudio_Hybrid), 45);
    EXPECT_EQ(VtableSlot(&Effect::UpdateMIDINodes), 46);
    EXPECT_EQ(VtableSlot(&Effect::UpdateControlMIDINodes), 47);
    EXPECT_EQ(VtableSlot(&Effect::GetCurveDataMeterIds), 48);
    EXPECT_EQ(VtableSlot(&Effect::GetCurveDataDisplayRange), 49);
    EXPECT_EQ(VtableSlot(&Effect::UpdatePageTable), 50);
}

// The base class must keep the host-facing interface as its primary table, so that the object handed to
// the host answers every method number; its own operations follow the 51 host methods.
TEST(EffectParametersMethodNumbers, BaseClassKeepsHostTableFirst)
{
    using Base = AAX_CEffectParameters;
    EXPECT_EQ(VtableSlot(&Base::Initialize), 3);
    EXPECT_EQ(VtableSlot(&Base::GetChunk), 36);
    EXPECT_EQ(VtableSlot(static_cast<AAX_Result (Base::*)(uint32_t, int32_t, IACFUnknown*, IACFUnknown*) const>(
                  &Base::UpdatePageTable)),
              50);
    EXPECT_EQ(VtableSlot(&Base::InternalQueryInterface), 51);
    // 52 and 53: the destructor
    EXPECT_EQ(VtableSlot(&Base::EffectInit), 54);
    EXPECT_EQ(VtableSlot(static_cast<AAX_Result (Base::*)(uint32_t, int32_t, AAX_IPageTable&) const>(
                  &Base::UpdatePageTable)),
              55);
}

TEST(EffectGUIMethodNumbers, HostTableAndBaseClassOrder)
{
    using GUI = AAX_IACFEffectGUI;
    EXPECT_EQ(VtableSlot(&GUI::QueryInterface), 0);
    EXPECT_EQ(VtableSlot(&GUI::Initialize), 3);
    EXPECT_EQ(VtableSlot(&GUI::Uninitialize), 4);
    EXPECT_EQ(VtableSlot(&GUI::NotificationReceived), 5);
    EXPECT_EQ(VtableSlot(&GUI::SetViewContainer), 6);
    EXPECT_EQ(VtableSlot(&GUI::GetViewSize), 7);
    EXPECT_EQ(VtableSlot(&GUI::Draw), 8);
    EXPECT_EQ(VtableSlot(&GUI::TimerWakeup), 9);
    EXPECT_EQ(VtableSlot(&GUI::ParameterUpdated), 10);
    EXPECT_EQ(VtableSlot(&GUI::GetCustomLabel), 11);
    EXPECT_EQ(VtableSlot(&GUI::SetControlHighlightInfo), 12);

    EXPECT_EQ(VtableSlot(&AAX_CEffectGUI::SetControlHighlightInfo), 12);
    EXPECT_EQ(VtableSlot(&AAX_CEffectGUI::InternalQueryInterface), 13);
    // 14 and 15: the destructor; then the operations a plug-in supplies or replaces
    EXPECT_EQ(VtableSlot(&ExposedGUI::CreateViewContents), 16);
    EXPECT_EQ(VtableSlot(&ExposedGUI::CreateViewContainer), 17);
    EXPECT_EQ(VtableSlot(&ExposedGUI::DeleteViewContainer), 18);
    EXPECT_EQ(VtableSlot(&ExposedGUI::UpdateAllParameters), 19);
}

TEST(ControllerMethodNumbers, VersionsOneToThree)
{
    using C = AAX_IACFController_V3;
    EXPECT_EQ(VtableSlot(&C::GetEffectID), 3);
    EXPECT_EQ(VtableSlot(&C::GetSampleRate), 4);
    EXPECT_EQ(VtableSlot(&C::GetInputStemFormat), 5);
    EXPECT_EQ(VtableSlot(&C::GetOutputStemFormat), 6);
    EXPECT_EQ(VtableSlot(&C::GetSignalLatency), 7);
    EXPECT_EQ(VtableSlot(&C::GetCycleCount), 8);
    EXPECT_EQ(VtableSlot(&C::GetTODLocation), 9);
    EXPECT_EQ(VtableSlot(&C::SetSignalLatency), 10);
    EXPECT_EQ(VtableSlot(&C::SetCycleCount), 11);
    EXPECT_EQ(VtableSlot(&C::PostPacket), 12);
    EXPECT_EQ(VtableSlot(&C::GetCurrentMeterValue), 13);
    EXPECT_EQ(VtableSlot(&C::GetMeterPeakValue), 14);
    EXPECT_EQ(VtableSlot(&C::ClearMeterPeakValue), 15);
    EXPECT_EQ(VtableSlot(&C::GetMeterClipped), 16);
    EXPECT_EQ(VtableSlot(&C::ClearMeterClipped), 17);
    EXPECT_EQ(VtableSlot(&C::GetMeterCount), 18);
    EXPECT_EQ(VtableSlot(&C::GetNextMIDIPacket), 19);
    EXPECT_EQ(VtableSlot(&C::SendNotification), 20);
    EXPECT_EQ(VtableSlot(&C::GetHybridSignalLatency), 21);
    EXPECT_EQ(VtableSlot(&C::GetCurrentAutomationTimestamp), 22);
    EXPECT_EQ(VtableSlot(&C::GetHostName), 23);
    EXPECT_EQ(VtableSlot(&C::GetPlugInTargetPlatform), 24);
    EXPECT_EQ(VtableSlot(&C::GetIsAudioSuite), 25);
}

TEST(PageTableControllerMethodNumbers, VersionsOneAndTwo)
{
    using P = AAX_IACFPageTableController_V2;
    EXPECT_EQ(VtableSlot(&P::CopyTableForEffect), 3);
    EXPECT_EQ(VtableSlot(&P::CopyTableForLayout), 4);
    EXPECT_EQ(VtableSlot(&P::CopyTableForEffectFromFile), 5);
    EXPECT_EQ(VtableSlot(&P::CopyTableForLayoutFromFile), 6);
}

TEST(TransportMethodNumbers, VersionsOneToThree)
{
    using T = AAX_IACFTransport_V3;
    EXPECT_EQ(VtableSlot(&T::GetCurrentTempo), 3);
    EXPECT_EQ(VtableSlot(&T::GetCurrentMeter), 4);
    EXPECT_EQ(VtableSlot(&T::IsTransportPlaying), 5);
    EXPECT_EQ(VtableSlot(&T::GetCurrentTickPosition), 6);
    EXPECT_EQ(VtableSlot(&T::GetCurrentLoopPosition), 7);
    EXPECT_EQ(VtableSlot(&T::GetCurrentNativeSampleLocation), 8);
    EXPECT_EQ(VtableSlot(&T::GetCustomTickPosition), 9);
    EXPECT_EQ(VtableSlot(&T::GetBarBeatPosition), 10);
    EXPECT_EQ(VtableSlot(&T::GetTicksPerQuarter), 11);
    EXPECT_EQ(VtableSlot(&T::GetCurrentTicksPerBeat), 12);
    EXPECT_EQ(VtableSlot(&T::GetTimelineSelectionStartPosition), 13);
    EXPECT_EQ(VtableSlot(&T::GetTimeCodeInfo), 14);
    EXPECT_EQ(VtableSlot(&T::GetFeetFramesInfo), 15);
    EXPECT_EQ(VtableSlot(&T::IsMetronomeEnabled), 16);
    EXPECT_EQ(VtableSlot(&T::GetHDTimeCodeInfo), 17);
}

TEST(ViewContainerMethodNumbers, VersionsOneAndTwo)
{
    using V = AAX_IACFViewContainer_V2;
    EXPECT_EQ(VtableSlot(&V::GetType), 3);
    EXPECT_EQ(VtableSlot(&V::GetPtr), 4);
    EXPECT_EQ(VtableSlot(&V::GetModifiers), 5);
    EXPECT_EQ(VtableSlot(&V::SetViewSize), 6);
    EXPECT_EQ(VtableSlot(&V::HandleParameterMouseDown), 7);
    EXPECT_EQ(VtableSlot(&V::HandleParameterMouseDrag), 8);
    EXPECT_EQ(VtableSlot(&V::HandleParameterMouseUp), 9);
    EXPECT_EQ(VtableSlot(&V::HandleMultipleParametersMouseDown), 10);
    EXPECT_EQ(VtableSlot(&V::HandleMultipleParametersMouseDrag), 11);
    EXPECT_EQ(VtableSlot(&V::HandleMultipleParametersMouseUp), 12);
}

TEST(PageTableMethodNumbers, VersionsOneAndTwo)
{
    using P = AAX_IACFPageTable_V2;
    EXPECT_EQ(VtableSlot(&P::Clear), 3);
    EXPECT_EQ(VtableSlot(&P::Empty), 4);
    EXPECT_EQ(VtableSlot(&P::GetNumPages), 5);
    EXPECT_EQ(VtableSlot(&P::InsertPage), 6);
    EXPECT_EQ(VtableSlot(&P::RemovePage), 7);
    EXPECT_EQ(VtableSlot(&P::GetNumMappedParameterIDs), 8);
    EXPECT_EQ(VtableSlot(&P::ClearMappedParameter), 9);
    EXPECT_EQ(VtableSlot(&P::GetMappedParameterID), 10);
    EXPECT_EQ(VtableSlot(&P::MapParameterID), 11);
    EXPECT_EQ(VtableSlot(&P::GetNumParametersWithNameVariations), 12);
    EXPECT_EQ(VtableSlot(&P::GetNameVariationParameterIDAtIndex), 13);
    EXPECT_EQ(VtableSlot(&P::GetNumNameVariationsForParameter), 14);
    EXPECT_EQ(VtableSlot(&P::GetParameterNameVariationAtIndex), 15);
    EXPECT_EQ(VtableSlot(&P::GetParameterNameVariationOfLength), 16);
    EXPECT_EQ(VtableSlot(&P::ClearParameterNameVariations), 17);
    EXPECT_EQ(VtableSlot(&P::ClearNameVariationsForParameter), 18);
    EXPECT_EQ(VtableSlot(&P::SetParameterNameVariation), 19);
}
} // namespace
