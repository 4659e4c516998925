// The library's own interfaces keep the order of operations the library and its client were built
// against: the destructor first (two table entries), then every operation in its fixed place.
#include "VtableSlot.h"

#include "AAX_CPacketDispatcher.h"
#include "AAX_IController.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_IPageTable.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"
#include "AAX_ITransport.h"
#include "AAX_IViewContainer.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Slots of operations listed in table order after a leading virtual destructor.
void ExpectInOrderAfterDestructor(const std::vector<long>& slots)
{
    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(slots[i], static_cast<long>(2 + i)) << "operation " << i + 1 << " after the destructor";
}

TEST(ParameterSlotOrder, ParameterInterface)
{
    using P = AAX_IParameter;
    ExpectInOrderAfterDestructor({
        VtableSlot(&P::CloneValue),
        VtableSlot(&P::Identifier),
        VtableSlot(&P::SetName),
        VtableSlot(&P::Name),
        VtableSlot(&P::AddShortenedName),
        VtableSlot(&P::ShortenedName),
        VtableSlot(&P::ClearShortenedNames),
        VtableSlot(&P::Automatable),
        VtableSlot(&P::SetAutomationDelegate),
        VtableSlot(&P::Touch),
        VtableSlot(&P::Release),
        VtableSlot(&P::SetNormalizedValue),
        VtableSlot(&P::GetNormalizedValue),
        VtableSlot(&P::SetNormalizedDefaultValue),
        VtableSlot(&P::GetNormalizedDefaultValue),
        VtableSlot(&P::SetToDefaultValue),
        VtableSlot(&P::SetNumberOfSteps),
        VtableSlot(&P::GetNumberOfSteps),
        VtableSlot(&P::GetStepValue),
        VtableSlot(&P::GetNormalizedValueFromStep),
        VtableSlot(&P::GetStepValueFromNormalizedValue),
        VtableSlot(&P::SetStepValue),
        VtableSlot(static_cast<bool (P::*)(AAX_CString*) const>(&P::GetValueString)),
        VtableSlot(static_cast<bool (P::*)(int32_t, AAX_CString*) const>(&P::GetValueString)),
        VtableSlot(&P::GetNormalizedValueFromBool),
        VtableSlot(&P::GetNormalizedValueFromInt32),
        VtableSlot(&P::GetNormalizedValueFromFloat),
        VtableSlot(&P::GetNormalizedValueFromDouble),
        VtableSlot(&P::GetNormalizedValueFromString),
        VtableSlot(&P::GetBoolFromNormalizedValue),
        VtableSlot(&P::GetInt32FromNormalizedValue),
        VtableSlot(&P::GetFloatFromNormalizedValue),
        VtableSlot(&P::GetDoubleFromNormalizedValue),
        VtableSlot(static_cast<bool (P::*)(double, AAX_CString&) const>(&P::GetStringFromNormalizedValue)),
        VtableSlot(static_cast<bool (P::*)(double, int32_t, AAX_CString&) const>(&P::GetStringFromNormalizedValue)),
        VtableSlot(&P::SetValueFromString),
        VtableSlot(&P::GetValueAsBool),
        VtableSlot(&P::GetValueAsInt32),
        VtableSlot(&P::GetValueAsFloat),
        VtableSlot(&P::GetValueAsDouble),
        VtableSlot(&P::GetValueAsString),
        VtableSlot(&P::SetValueWithBool),
        VtableSlot(&P::SetValueWithInt32),
        VtableSlot(&P::SetValueWithFloat),
        VtableSlot(&P::SetValueWithDouble),
        VtableSlot(&P::SetValueWithString),
        VtableSlot(&P::SetType),
        VtableSlot(&P::GetType),
        VtableSlot(&P::SetOrientation),
        VtableSlot(&P::GetOrientation),
        VtableSlot(&P::SetTaperDelegate),
        VtableSlot(&P::SetDisplayDelegate),
        VtableSlot(&P::UpdateNormalizedValue),
    });
}

TEST(ParameterSlotOrder, ValueRecordAndDelegates)
{
    using V = AAX_IParameterValue;
    ExpectInOrderAfterDestructor({VtableSlot(&V::Clone), VtableSlot(&V::Identifier), VtableSlot(&V::GetValueAsBool),
                                  VtableSlot(&V::GetValueAsInt32), VtableSlot(&V::GetValueAsFloat),
                                  VtableSlot(&V::GetValueAsDouble), VtableSlot(&V::GetValueAsString)});

    using T = AAX_ITaperDelegate<float>;
    ExpectInOrderAfterDestructor({VtableSlot(&T::Clone), VtableSlot(&T::GetMaximumValue),
                                  VtableSlot(&T::GetMinimumValue), VtableSlot(&T::ConstrainRealValue),
                                  VtableSlot(&T::NormalizedToReal), VtableSlot(&T::RealToNormalized)});

    using D = AAX_IDisplayDelegate<float>;
    ExpectInOrderAfterDestructor(
        {VtableSlot(&D::Clone),
         VtableSlot(static_cast<bool (D::*)(float, AAX_CString*) const>(&D::ValueToString)),
         VtableSlot(static_cast<bool (D::*)(float, int32_t, AAX_CString*) const>(&D::ValueToString)),
         VtableSlot(&D::StringToValue)});
}

TEST(PacketSlotOrder, PacketHandler)
{
    ExpectInOrderAfterDestructor({VtableSlot(&AAX_IPacketHandler::Clone), VtableSlot(&AAX_IPacketHandler::Call)});
}

// The controller lists SendNotification beside PostPacket and GetMeterCount before the clip operations,
// unlike the host's own table.
TEST(ProxySlotOrder, Controller)
{
    using C = AAX_IController;
    ExpectInOrderAfterDestructor({
        VtableSlot(&C::GetEffectID),
        VtableSlot(&C::GetSampleRate),
        VtableSlot(&C::GetInputStemFormat),
        VtableSlot(&C::GetOutputStemFormat),
        VtableSlot(&C::GetSignalLatency),
        VtableSlot(&C::GetCycleCount),
        VtableSlot(&C::GetTODLocation),
        VtableSlot(&C::SetSignalLatency),
        VtableSlot(&C::SetCycleCount),
        VtableSlot(&C::PostPacket),
        VtableSlot(static_cast<AAX_Result (C::*)(AAX_CTypeID, const void*, uint32_t)>(&C::SendNotification)),
        VtableSlot(static_cast<AAX_Result (C::*)(AAX_CTypeID)>(&C::SendNotification)),
        VtableSlot(&C::GetCurrentMeterValue),
        VtableSlot(&C::GetMeterPeakValue),
        VtableSlot(&C::ClearMeterPeakValue),
        VtableSlot(&C::GetMeterCount),
        VtableSlot(&C::GetMeterClipped),
        VtableSlot(&C::ClearMeterClipped),
        VtableSlot(&C::GetNextMIDIPacket),
        VtableSlot(&C::GetHybridSignalLatency),
        VtableSlot(&C::GetCurrentAutomationTimestamp),
        VtableSlot(&C::GetHostName),
        VtableSlot(&C::GetPlugInTargetPlatform),
        VtableSlot(&C::GetIsAudioSuite),
        VtableSlot(&C::CreateTableCopyForEffect),
        VtableSlot(&C::CreateTableCopyForLayout),
        VtableSlot(&C::CreateTableCopyForEffectFromFile),
        VtableSlot(&C::CreateTableCopyForLayoutFromFile),
    });
}

TEST(ProxySlotOrder, TransportViewContainerAndPageTable)
{
    using T = AAX_ITransport;
    ExpectInOrderAfterDestructor({
        VtableSlot(&T::GetCurrentTempo), VtableSlot(&T::GetCurrentMeter), VtableSlot(&T::IsTransportPlaying),
        VtableSlot(&T::GetCurrentTickPosition), VtableSlot(&T::GetCurrentLoopPosition),
        VtableSlot(&T::GetCurrentNativeSampleLocation), VtableSlot(&T::GetCustomTickPosition),
        VtableSlot(&T::GetBarBeatPosition), VtableSlot(&T::GetTicksPerQuarter), VtableSlot(&T::GetCurrentTicksPerBeat),
        VtableSlot(&T::GetTimelineSelectionStartPosition), VtableSlot(&T::GetTimeCodeInfo),
        VtableSlot(&T::GetFeetFramesInfo), VtableSlot(&T::IsMetronomeEnabled), VtableSlot(&T::GetHDTimeCodeInfo),
    });

    using V = AAX_IViewContainer;
    ExpectInOrderAfterDestructor({
        VtableSlot(&V::GetType), VtableSlot(&V::GetPtr), VtableSlot(&V::GetModifiers), VtableSlot(&V::SetViewSize),
        VtableSlot(&V::HandleParameterMouseDown), VtableSlot(&V::HandleParameterMouseDrag),
        VtableSlot(&V::HandleParameterMouseUp), VtableSlot(&V::HandleMultipleParametersMouseDown),
        VtableSlot(&V::HandleMultipleParametersMouseDrag), VtableSlot(&V::HandleMultipleParametersMouseUp),
    });

    using P = AAX_IPageTable;
    ExpectInOrderAfterDestructor({
        VtableSlot(&P::Clear), VtableSlot(&P::Empty), VtableSlot(&P::GetNumPages), VtableSlot(&P::InsertPage),
        VtableSlot(&P::RemovePage), VtableSlot(&P::GetNumMappedParameterIDs), VtableSlot(&P::ClearMappedParameter),
        VtableSlot(&P::GetMappedParameterID), VtableSlot(&P::MapParameterID),
        VtableSlot(&P::GetNumParametersWithNameVariations), VtableSlot(&P::GetNameVariationParameterIDAtIndex),
        VtableSlot(&P::GetNumNameVariationsForParameter), VtableSlot(&P::GetParameterNameVariationAtIndex),
        VtableSlot(&P::GetParameterNameVariationOfLength), VtableSlot(&P::ClearParameterNameVariations),
        VtableSlot(&P::ClearNameVariationsForParameter), VtableSlot(&P::SetParameterNameVariation),
    });
}
} // namespace
