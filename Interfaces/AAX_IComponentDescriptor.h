#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_IDma.h"

class AAX_IPropertyMap;

// Signatures of the native procedures of an algorithm, context-type independent. The processing procedure
// receives the context pointers of all instances it serves, as a begin pointer and an end pointer.
typedef void(AAX_CALLBACK* AAX_CProcessProc)(void* const inInstancesBegin[], const void* inInstancesEnd);
typedef int32_t(AAX_CALLBACK* AAX_CInstanceInitProc)(const void* inInstanceContext,
                                                     AAX_EComponentInstanceInitAction inAction);
typedef int32_t(AAX_CALLBACK* AAX_CBackgroundProc)();

// Shields a template parameter from deduction, so that a null procedure can be passed for it.
template <typename T>
struct AAX_NonDeduced
{
    typedef T type;
};

// One algorithm of an effect: the fields of its context and the procedures that process it.
class AAX_IComponentDescriptor
{
public:
    virtual ~AAX_IComponentDescriptor() = default;

    virtual AAX_Result Clear() = 0;
    virtual AAX_Result AddAudioIn(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddAudioOut(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddSampleRate(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddClock(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddSideChainIn(AAX_CFieldIndex inFieldIndex) = 0;
    virtual AAX_Result AddDataInPort(AAX_CFieldIndex inFieldIndex, uint32_t inPacketSize,
                                     AAX_EDataInPortType inPortType = AAX_eDataInPortType_Buffered) = 0;
    virtual AAX_Result AddAuxOutputStem(AAX_CFieldIndex inFieldIndex, int32_t inStemFormat,
                                        const char inNameUTF8[]) = 0;
    virtual AAX_Result AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize, uint32_t inOptions = 0) = 0;
    virtual AAX_Result AddTemporaryData(AAX_CFieldIndex inFieldIndex, uint32_t inDataElementSize) = 0;
    virtual AAX_Result AddDmaInstance(AAX_CFieldIndex inFieldIndex, AAX_IDma::EMode inDmaMode) = 0;
    virtual AAX_Result AddMeters(AAX_CFieldIndex inFieldIndex, const AAX_CTypeID* inMeterIDs,
                                 uint32_t inMeterCount) = 0;
    virtual AAX_Result AddMIDINode(AAX_CFieldIndex inFieldIndex, AAX_EMIDINodeType inNodeType, const char inNodeName[],
                                   uint32_t inChannelMask) = 0;
    virtual AAX_Result AddReservedField(AAX_CFieldIndex inFieldIndex, uint32_t inFieldType) = 0;

    // Maps made here belong to this descriptor.
    virtual AAX_IPropertyMap* NewPropertyMap() const = 0;
    // A new map of this descriptor holding a copy of every property numbered 10 to 401 of inSource.
    virtual AAX_IPropertyMap* DuplicatePropertyMap(AAX_IPropertyMap* inSource) const = 0;

    virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc, AAX_IPropertyMap* inProperties = nullptr,
                                             AAX_CInstanceInitProc inInstanceInitProc = nullptr,
                                             AAX_CBackgroundProc inBackgroundProc = nullptr,
                                             uint32_t* outProcID = nullptr) = 0;
    virtual AAX_Result AddProcessProc_TI(const char inDLLFileNameUTF8[], const char inProcessProcSymbol[],
                                         AAX_IPropertyMap* inProperties,
                                         const char inInstanceInitProcSymbol[] = nullptr,
                                         const char inBackgroundProcSymbol[] = nullptr,
                                         uint32_t* outProcID = nullptr) = 0;
    // Registers every procedure that inProperties names. outProcIDs receives the new IDs followed by a 0,
    // so inProcIDsSize must leave room for that terminator.
    virtual AAX_Result AddProcessProc(AAX_IPropertyMap* inProperties, uint32_t* outProcIDs = nullptr,
                                      int32_t inProcIDsSize = 0) = 0;

    // Typed convenience form: accepts procedures written for the plug-in's own context type.
    template <typename Context>
    AAX_Result AddProcessProc_Native(
        void(AAX_CALLBACK* inProcessProc)(Context* const inInstancesBegin[], const void* inInstancesEnd),
        AAX_IPropertyMap* inProperties = nullptr,
        int32_t(AAX_CALLBACK* inInstanceInitProc)(const typename AAX_NonDeduced<Context>::type*,
                                                  AAX_EComponentInstanceInitAction) = nullptr,
        AAX_CBackgroundProc inBackgroundProc = nullptr, uint32_t* outProcID = nullptr)
    {
        return AddProcessProc_Native(reinterpret_cast<AAX_CProcessProc>(inProcessProc), inProperties,
                                     reinterpret_cast<AAX_CInstanceInitProc>(inInstanceInitProc), inBackgroundProc,
                                     outProcID);
    }
};
