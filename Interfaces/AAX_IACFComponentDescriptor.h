#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IDma.h"
#include "acfunknown.h"

// The host's component descriptor, version 1. The number after each method is its place in the table.
class AAX_IACFComponentDescriptor : public IACFUnknown
{
public:
    virtual AAX_Result Clear() = 0;                                                              // 3
    virtual AAX_Result AddReservedField(AAX_CFieldIndex inFieldIndex, uint32_t inFieldType) = 0; // 4
    virtual AAX_Result AddAudioIn(AAX_CFieldIndex inFieldIndex) = 0;                             // 5
    virtual AAX_Result AddAudioOut(AAX_CFieldIndex inFieldIndex) = 0;                            // 6
    virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex inFieldIndex) = 0;                   // 7
    virtual AAX_Result AddSampleRate(AAX_CFieldIndex inFieldIndex) = 0;                          // 8
    virtual AAX_Result AddClock(AAX_CFieldIndex inFieldIndex) = 0;                               // 9
    virtual AAX_Result AddSideChainIn(AAX_CFieldIndex inFieldIndex) = 0;                         // 10
    virtual AAX_Result AddDataInPort(AAX_CFieldIndex inFieldIndex, uint32_t inPacketSize,
                                     AAX_EDataInPortType inPortType) = 0; // 11
    virtual AAX_Result AddAuxOutputStem(AAX_CFieldIndex inFieldIndex, int32_t inStemFormat,
                                        const char inNameUTF8[]) = 0; // 12
    virtual AAX_Result AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize,
                                      uint32_t inOptions) = 0;                                      // 13
    virtual AAX_Result AddDmaInstance(AAX_CFieldIndex inFieldIndex, AAX_IDma::EMode inDmaMode) = 0; // 14
    virtual AAX_Result AddMIDINode(AAX_CFieldIndex inFieldIndex, AAX_EMIDINodeType inNodeType, const char inNodeName[],
                                   uint32_t inChannelMask) = 0; // 15
    virtual AAX_Result AddProcessProc_Native(AAX_CProcessProc inProcessProc, IACFUnknown* inProperties,
                                             AAX_CInstanceInitProc inInstanceInitProc,
                                             AAX_CBackgroundProc inBackgroundProc,
                                             uint32_t* outProcID) = 0; // 16
    virtual AAX_Result AddProcessProc_TI(const char inDLLFileNameUTF8[], const char inProcessProcSymbol[],
                                         IACFUnknown* inProperties, const char inInstanceInitProcSymbol[],
                                         const char inBackgroundProcSymbol[],
                                         uint32_t* outProcID) = 0; // 17
    virtual AAX_Result AddMeters(AAX_CFieldIndex inFieldIndex, const AAX_CTypeID* inMeterIDs,
                                 uint32_t inMeterCount) = 0; // 18
protected:
    ~AAX_IACFComponentDescriptor() = default;
};

// Version 2 adds temporary (per-call scratch) data.
class AAX_IACFComponentDescriptor_V2 : public AAX_IACFComponentDescriptor
{
public:
    virtual AAX_Result AddTemporaryData(AAX_CFieldIndex inFieldIndex, uint32_t inDataElementSize) = 0; // 19
protected:
    ~AAX_IACFComponentDescriptor_V2() = default;
};

// Version 3 registers the procedures named by a property map by itself.
class AAX_IACFComponentDescriptor_V3 : public AAX_IACFComponentDescriptor_V2
{
public:
    virtual AAX_Result AddProcessProc(IACFUnknown* inProperties, uint32_t* outProcIDs,
                                      int32_t inProcIDsSize) = 0; // 20
protected:
    ~AAX_IACFComponentDescriptor_V3() = default;
};
