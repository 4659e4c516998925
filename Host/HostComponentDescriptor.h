// The host's component descriptor (AAXCompID_AAXComponentDescriptor), versions 1 to 3
// (IID_IAAXComponentDescriptorV1..V3): one algorithm of an effect, as the list of its context fields and
// its processing procedures.
//
// Methods: 3 Clear, 4 AddReservedField, 5 AddAudioIn, 6 AddAudioOut, 7 AddAudioBufferLength,
// 8 AddSampleRate, 9 AddClock, 10 AddSideChainIn, 11 AddDataInPort, 12 AddAuxOutputStem, 13 AddPrivateData,
// 14 AddDmaInstance, 15 AddMIDINode, 16 AddProcessProc_Native, 17 AddProcessProc_TI, 18 AddMeters (V1);
// 19 AddTemporaryData (V2); 20 AddProcessProc (V3). An injected result other than 0 changes nothing.
// Procedure IDs are handed out from 1 upwards, per descriptor.
#pragma once

#include "AAX.h"
#include "AAX_IACFComponentDescriptor.h"
#include "HostObject.h"
#include "HostPropertyMap.h"

#include <optional>
#include <string>
#include <vector>

class HostComponentDescriptor : public HostObject
{
public:
    static constexpr const char* kName = "ComponentDescriptor";

    // One context field: the method that added it (its kind), the field index and the other arguments.
    struct Field
    {
        int method = 0;
        AAX_CFieldIndex index = 0;
        std::vector<int64_t> values;       // sizes, types, formats, masks, in argument order
        std::string name;                  // AddAuxOutputStem, AddMIDINode
        std::vector<AAX_CTypeID> meterIDs; // AddMeters
    };

    struct NativeProcedure
    {
        uint32_t id = 0;
        AAX_CProcessProc processProc = nullptr;
        AAX_CInstanceInitProc instanceInitProc = nullptr;
        AAX_CBackgroundProc backgroundProc = nullptr;
        HostRef<HostPropertyMap> properties;
    };

    struct TIProcedure
    {
        uint32_t id = 0;
        std::optional<std::string> dllFileName, processProcName, instanceInitProcName, backgroundProcName;
        HostRef<HostPropertyMap> properties;
    };

    explicit HostComponentDescriptor(HostEnvironment& environment);

    const std::vector<Field>& fields() const { return mFields; }
    const std::vector<NativeProcedure>& nativeProcedures() const { return mNativeProcedures; }
    const std::vector<TIProcedure>& tiProcedures() const { return mTIProcedures; }

    bool hasInterface(const IACFUnknown* passed) const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFComponentDescriptor_V3>
    {
    public:
        Facet(HostComponentDescriptor& owner, const char* interfaceName)
            : HostFacet(owner, interfaceName), mDescriptor(owner)
        {
        }
        AAX_Result Clear() override;
        AAX_Result AddReservedField(AAX_CFieldIndex index, uint32_t fieldType) override;
        AAX_Result AddAudioIn(AAX_CFieldIndex index) override;
        AAX_Result AddAudioOut(AAX_CFieldIndex index) override;
        AAX_Result AddAudioBufferLength(AAX_CFieldIndex index) override;
        AAX_Result AddSampleRate(AAX_CFieldIndex index) override;
        AAX_Result AddClock(AAX_CFieldIndex index) override;
        AAX_Result AddSideChainIn(AAX_CFieldIndex index) override;
        AAX_Result AddDataInPort(AAX_CFieldIndex index, uint32_t packetSize, AAX_EDataInPortType portType) override;
        AAX_Result AddAuxOutputStem(AAX_CFieldIndex index, int32_t stemFormat, const char name[]) override;
        AAX_Result AddPrivateData(AAX_CFieldIndex index, int32_t dataSize, uint32_t options) override;
        AAX_Result AddDmaInstance(AAX_CFieldIndex index, AAX_IDma::EMode mode) override;
        AAX_Result AddMIDINode(AAX_CFieldIndex index, AAX_EMIDINodeType nodeType, const char name[],
                               uint32_t channelMask) override;
        AAX_Result AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                         AAX_CInstanceInitProc instanceInitProc, AAX_CBackgroundProc backgroundProc,
                                         uint32_t* procID) override;
        AAX_Result AddProcessProc_TI(const char dllFileName[], const char processProcName[], IACFUnknown* properties,
                                     const char instanceInitProcName[], const char backgroundProcName[],
                                     uint32_t* procID) override;
        AAX_Result AddMeters(AAX_CFieldIndex index, const AAX_CTypeID* meterIDs, uint32_t meterCount) override;
        AAX_Result AddTemporaryData(AAX_CFieldIndex index, uint32_t dataElementSize) override;
        AAX_Result AddProcessProc(IACFUnknown* properties, uint32_t* procIDs, int32_t procIDsSize) override;

    private:
        AAX_Result addField(int method, std::vector<std::string> arguments, Field field);
        HostComponentDescriptor& mDescriptor;
    };

    HostRef<HostPropertyMap> mapBehind(IACFUnknown* passed);

    std::vector<Field> mFields;
    std::vector<NativeProcedure> mNativeProcedures;
    std::vector<TIProcedure> mTIProcedures;
    uint32_t mNextProcID = 1;
    Facet mV1;
    Facet mV2;
    Facet mV3;
};
