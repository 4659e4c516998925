#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_IACFComponentDescriptor.h"
#include "AAX_IComponentDescriptor.h"
#include "ACFPtr.h"

#include <set>

// Proxy of one host component descriptor (versions 1 to 3). Owns every property map it makes.
class AAX_VComponentDescriptor : public AAX_IComponentDescriptor
{
public:
    // Throws ACF_E_POINTER (an ACFRESULT) when the host's factory query succeeds but yields nothing.
    explicit AAX_VComponentDescriptor(IACFUnknown* inHost);
    ~AAX_VComponentDescriptor() override;

    AAX_VComponentDescriptor(const AAX_VComponentDescriptor&) = delete;
    AAX_VComponentDescriptor& operator=(const AAX_VComponentDescriptor&) = delete;

    AAX_Result Clear() override;
    AAX_Result AddAudioIn(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddAudioOut(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddAudioBufferLength(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddSampleRate(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddClock(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddSideChainIn(AAX_CFieldIndex inFieldIndex) override;
    AAX_Result AddDataInPort(AAX_CFieldIndex inFieldIndex, uint32_t inPacketSize,
                             AAX_EDataInPortType inPortType = AAX_eDataInPortType_Buffered) override;
    AAX_Result AddAuxOutputStem(AAX_CFieldIndex inFieldIndex, int32_t inStemFormat, const char inNameUTF8[]) override;
    AAX_Result AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize, uint32_t inOptions = 0) override;
    AAX_Result AddTemporaryData(AAX_CFieldIndex inFieldIndex, uint32_t inDataElementSize) override;
    AAX_Result AddDmaInstance(AAX_CFieldIndex inFieldIndex, AAX_IDma::EMode inDmaMode) override;
    AAX_Result AddMeters(AAX_CFieldIndex inFieldIndex, const AAX_CTypeID* inMeterIDs, uint32_t inMeterCount) override;
    AAX_Result AddMIDINode(AAX_CFieldIndex inFieldIndex, AAX_EMIDINodeType inNodeType, const char inNodeName[],
                           uint32_t inChannelMask) override;
    AAX_Result AddReservedField(AAX_CFieldIndex inFieldIndex, uint32_t inFieldType) override;

    AAX_IPropertyMap* NewPropertyMap() const override;
    AAX_IPropertyMap* DuplicatePropertyMap(AAX_IPropertyMap* inSource) const override;

    using AAX_IComponentDescriptor::AddProcessProc_Native;
    AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc, AAX_IPropertyMap* inProperties = nullptr,
                                     AAX_CInstanceInitProc inInstanceInitProc = nullptr,
                                     AAX_CBackgroundProc inBackgroundProc = nullptr,
                                     uint32_t* outProcID = nullptr) override;
    AAX_Result AddProcessProc_TI(const char inDLLFileNameUTF8[], const char inProcessProcSymbol[],
                                 AAX_IPropertyMap* inProperties, const char inInstanceInitProcSymbol[] = nullptr,
                                 const char inBackgroundProcSymbol[] = nullptr, uint32_t* outProcID = nullptr) override;
    AAX_Result AddProcessProc(AAX_IPropertyMap* inProperties, uint32_t* outProcIDs = nullptr,
                              int32_t inProcIDsSize = 0) override;

    // The host's version-1 interface (null when there is none); no reference added.
    IACFUnknown* GetIUnknown() const;

    // The pointer properties that AddProcessProc reads (36 to 42): a map kept without the host's version 3
    // holds these locally.
    static const std::set<AAX_EProperty>& PointerPropertiesUsedByAddProcessProc();

private:
    AAX_Result ManuallyAddProcessProcs(AAX_IPropertyMap* inProperties, uint32_t* outProcIDs, int32_t inProcIDsSize);

    ACFPtr<IACFUnknown> mUnkHost;
    ACFPtr<AAX_IACFComponentDescriptor> mIACFComponentDescriptor;
    ACFPtr<AAX_IACFComponentDescriptor_V2> mIACFComponentDescriptorV2;
    ACFPtr<AAX_IACFComponentDescriptor_V3> mIACFComponentDescriptorV3;
    mutable std::set<AAX_IPropertyMap*> mPropertyMaps;
};
