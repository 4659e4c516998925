#include "AAX_VController.h"

#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "AAX_VPageTable.h"

namespace
{
// The four table copies: the host fills an empty table of ours, which is then handed out behind a proxy.
// Every failure on the way gives null and releases what was taken.
template <class Interface, class Method, class... Args>
AAX_IPageTable* CopyHostTable(const AAX_VController& inController, const ACFPtr<Interface>& inSource, Method inMethod,
                              Args... inArgs)
{
    if (!inSource)
        return nullptr;
    const ACFPtr<IACFUnknown> table = inController.CreatePageTable();
    if ((inSource.get()->*inMethod)(inArgs..., table.get()) != AAX_SUCCESS || !table)
        return nullptr;
    return new AAX_VPageTable(table.get());
}
} // namespace

AAX_VController::AAX_VController(IACFUnknown* pUnknown)
{
    if (pUnknown == nullptr)
        return;

    // A version the host does not offer leaves its holder empty; the later queries still run.
    pUnknown->QueryInterface(IID_IAAXControllerV1, mControllerV1.outArgument());
    pUnknown->QueryInterface(IID_IAAXControllerV2, mControllerV2.outArgument());
    pUnknown->QueryInterface(IID_IAAXControllerV3, mControllerV3.outArgument());
    pUnknown->QueryInterface(IID_IAAXPageTableController, mPageTableController.outArgument());
    pUnknown->QueryInterface(IID_IAAXPageTableControllerV2, mPageTableControllerV2.outArgument());
    if (pUnknown->QueryInterface(IID_IACFComponentFactory, mComponentFactory.outArgument()) < 0)
        mComponentFactory.reset();
}

AAX_VController::~AAX_VController()
{
    mComponentFactory.reset();
    mPageTableControllerV2.reset();
    mPageTableController.reset();
    mControllerV3.reset();
    mControllerV2.reset();
    mControllerV1.reset();
}

AAX_Result AAX_VController::GetEffectID(AAX_IString* oEffectID) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetEffectID, oEffectID);
}

AAX_Result AAX_VController::GetSampleRate(AAX_CSampleRate* oSampleRate) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetSampleRate, oSampleRate);
}

AAX_Result AAX_VController::GetInputStemFormat(AAX_EStemFormat* oStemFormat) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetInputStemFormat, oStemFormat);
}

AAX_Result AAX_VController::GetOutputStemFormat(AAX_EStemFormat* oStemFormat) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetOutputStemFormat, oStemFormat);
}

AAX_Result AAX_VController::GetSignalLatency(int32_t* oSamples) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetSignalLatency, oSamples);
}

AAX_Result AAX_VController::GetCycleCount(AAX_EProperty iWhichCycleCount, AAX_CPropertyValue* oNumCycles) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetCycleCount, iWhichCycleCount, oNumCycles);
}

AAX_Result AAX_VController::GetTODLocation(int64_t* oTODLocation) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetTODLocation, oTODLocation);
}

AAX_Result AAX_VController::SetSignalLatency(int32_t iNumSamples)
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::SetSignalLatency, iNumSamples);
}

AAX_Result AAX_VController::SetCycleCount(AAX_EProperty* iWhichCycleCounts, AAX_CPropertyValue* iValues,
                                          int32_t iNumValues)
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::SetCycleCount, iWhichCycleCounts, iValues, iNumValues);
}

AAX_Result AAX_VController::PostPacket(AAX_CFieldIndex iFieldIndex, const void* iPayloadP, uint32_t iPayloadSize)
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::PostPacket, iFieldIndex, iPayloadP, iPayloadSize);
}

AAX_Result AAX_VController::SendNotification(AAX_CTypeID iNotificationType, const void* iNotificationData,
                                             uint32_t iNotificationDataSize)
{
    return AAX_CallHostOrUnimplemented(mControllerV2, &AAX_IACFController_V2::SendNotification, iNotificationType,
                                       iNotificationData, iNotificationDataSize);
}

AAX_Result AAX_VController::SendNotification(AAX_CTypeID iNotificationType)
{
    return SendNotification(iNotificationType, nullptr, 0);
}

AAX_Result AAX_VController::GetCurrentMeterValue(AAX_CTypeID iMeterID, float* oMeterValue) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetCurrentMeterValue, iMeterID, oMeterValue);
}

AAX_Result AAX_VController::GetMeterPeakValue(AAX_CTypeID iMeterID, float* oMeterPeakValue) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetMeterPeakValue, iMeterID, oMeterPeakValue);
}

AAX_Result AAX_VController::ClearMeterPeakValue(AAX_CTypeID iMeterID) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::ClearMeterPeakValue, iMeterID);
}

AAX_Result AAX_VController::GetMeterCount(uint32_t* oMeterCount) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetMeterCount, oMeterCount);
}

AAX_Result AAX_VController::GetMeterClipped(AAX_CTypeID iMeterID, AAX_CBoolean* oClipped) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetMeterClipped, iMeterID, oClipped);
}

AAX_Result AAX_VController::ClearMeterClipped(AAX_CTypeID iMeterID) const
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::ClearMeterClipped, iMeterID);
}

AAX_Result AAX_VController::GetNextMIDIPacket(AAX_CFieldIndex* oPort, AAX_CMidiPacket* oPacket)
{
    return AAX_CallHost(mControllerV1, &AAX_IACFController::GetNextMIDIPacket, oPort, oPacket);
}

AAX_Result AAX_VController::GetHybridSignalLatency(int32_t* oSamples) const
{
    return AAX_CallHostOrUnimplemented(mControllerV2, &AAX_IACFController_V2::GetHybridSignalLatency, oSamples);
}

AAX_Result AAX_VController::GetCurrentAutomationTimestamp(AAX_CTransportCounter* oTimestamp) const
{
    // The one operation that answers for a missing host: callers may read the time stamp regardless.
    if (!mControllerV2)
    {
        if (oTimestamp != nullptr)
            *oTimestamp = 0;
        return AAX_ERROR_UNIMPLEMENTED;
    }
    return mControllerV2->GetCurrentAutomationTimestamp(oTimestamp);
}

AAX_Result AAX_VController::GetHostName(AAX_IString* oHostNameString) const
{
    return AAX_CallHostOrUnimplemented(mControllerV2, &AAX_IACFController_V2::GetHostName, oHostNameString);
}

AAX_Result AAX_VController::GetPlugInTargetPlatform(int32_t* oTargetPlatform) const
{
    return AAX_CallHostOrUnimplemented(mControllerV3, &AAX_IACFController_V3::GetPlugInTargetPlatform, oTargetPlatform);
}

AAX_Result AAX_VController::GetIsAudioSuite(AAX_CBoolean* oIsAudioSuite) const
{
    return AAX_CallHostOrUnimplemented(mControllerV3, &AAX_IACFController_V3::GetIsAudioSuite, oIsAudioSuite);
}

AAX_IPageTable* AAX_VController::CreateTableCopyForEffect(AAX_CPropertyValue inManufacturerID,
                                                          AAX_CPropertyValue inProductID, AAX_CPropertyValue inPlugInID,
                                                          uint32_t inTableType, int32_t inTablePageSize) const
{
    return CopyHostTable(*this, mPageTableController, &AAX_IACFPageTableController::CopyTableForEffect,
                         inManufacturerID, inProductID, inPlugInID, inTableType, inTablePageSize);
}

AAX_IPageTable* AAX_VController::CreateTableCopyForLayout(const char* inEffectID, const char* inLayoutName,
                                                          uint32_t inTableType, int32_t inTablePageSize) const
{
    return CopyHostTable(*this, mPageTableController, &AAX_IACFPageTableController::CopyTableForLayout, inEffectID,
                         inLayoutName, inTableType, inTablePageSize);
}

AAX_IPageTable* AAX_VController::CreateTableCopyForEffectFromFile(
    const char* inPageTableFilePath, AAX_ETextEncoding inFilePathEncoding, AAX_CPropertyValue inManufacturerID,
    AAX_CPropertyValue inProductID, AAX_CPropertyValue inPlugInID, uint32_t inTableType, int32_t inTablePageSize) const
{
    return CopyHostTable(*this, mPageTableControllerV2, &AAX_IACFPageTableController_V2::CopyTableForEffectFromFile,
                         inPageTableFilePath, inFilePathEncoding, inManufacturerID, inProductID, inPlugInID,
                         inTableType, inTablePageSize);
}

AAX_IPageTable* AAX_VController::CreateTableCopyForLayoutFromFile(const char* inPageTableFilePath,
                                                                  AAX_ETextEncoding inFilePathEncoding,
                                                                  const char* inLayoutName, uint32_t inTableType,
                                                                  int32_t inTablePageSize) const
{
    return CopyHostTable(*this, mPageTableControllerV2, &AAX_IACFPageTableController_V2::CopyTableForLayoutFromFile,
                         inPageTableFilePath, inFilePathEncoding, inLayoutName, inTableType, inTablePageSize);
}

ACFPtr<IACFUnknown> AAX_VController::CreatePageTable() const
{
    ACFPtr<IACFUnknown> table;
    if (!mComponentFactory)
        return table;
    if (mComponentFactory->CreateComponent(AAXCompID_PageTable, nullptr, IID_IAAXPageTableV2, table.outArgument()) != 0)
        table.reset();
    return table;
}
