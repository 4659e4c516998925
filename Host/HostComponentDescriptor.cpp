#include "HostComponentDescriptor.h"

#include "AAX_Enums.h"
#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"
#include "HostDescriptionSupport.h"

namespace
{
const HostComponentRegistration registration({HostComponentDescriptor::kName,
                                              true,
                                              AAXCompID_AAXComponentDescriptor,
                                              {},
                                              [](HostEnvironment& environment) -> HostObject* {
                                                  return new HostComponentDescriptor(environment);
                                              }});

std::optional<std::string> optionalText(const char* text)
{
    return text != nullptr ? std::optional<std::string>(text) : std::nullopt;
}
} // namespace

HostComponentDescriptor::HostComponentDescriptor(HostEnvironment& environment)
    : HostObject(environment, kName), mV1(*this, "IAAXComponentDescriptorV1"), mV2(*this, "IAAXComponentDescriptorV2"),
      mV3(*this, "IAAXComponentDescriptorV3")
{
}

bool HostComponentDescriptor::hasInterface(const IACFUnknown* passed) const
{
    return passed == static_cast<const AAX_IACFComponentDescriptor*>(&mV1)
           || passed == static_cast<const AAX_IACFComponentDescriptor*>(&mV2)
           || passed == static_cast<const AAX_IACFComponentDescriptor*>(&mV3);
}

void* HostComponentDescriptor::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXComponentDescriptorV1)
        return static_cast<AAX_IACFComponentDescriptor*>(&mV1);
    if (interfaceID == IID_IAAXComponentDescriptorV2)
        return static_cast<AAX_IACFComponentDescriptor_V2*>(&mV2);
    if (interfaceID == IID_IAAXComponentDescriptorV3)
        return static_cast<AAX_IACFComponentDescriptor_V3*>(&mV3);
    return nullptr;
}

HostRef<HostPropertyMap> HostComponentDescriptor::mapBehind(IACFUnknown* passed)
{
    return HostRef<HostPropertyMap>(hostObjectBehind<HostPropertyMap>(environment(), passed));
}

AAX_Result HostComponentDescriptor::Facet::addField(int method, std::vector<std::string> arguments, Field field)
{
    const AAX_Result result = call(method, std::move(arguments));
    if (result == 0)
    {
        field.method = method;
        mDescriptor.mFields.push_back(std::move(field));
    }
    return result;
}

AAX_Result HostComponentDescriptor::Facet::Clear()
{
    const AAX_Result result = call(3, {});
    if (result == 0)
    {
        mDescriptor.mFields.clear();
        mDescriptor.mNativeProcedures.clear();
        mDescriptor.mTIProcedures.clear();
    }
    return result;
}

AAX_Result HostComponentDescriptor::Facet::AddReservedField(AAX_CFieldIndex index, uint32_t fieldType)
{
    return addField(4, {hostArg(index), hostArg(fieldType)}, {0, index, {fieldType}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddAudioIn(AAX_CFieldIndex index)
{
    return addField(5, {hostArg(index)}, {0, index, {}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddAudioOut(AAX_CFieldIndex index)
{
    return addField(6, {hostArg(index)}, {0, index, {}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddAudioBufferLength(AAX_CFieldIndex index)
{
    return addField(7, {hostArg(index)}, {0, index, {}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddSampleRate(AAX_CFieldIndex index)
{
    return addField(8, {hostArg(index)}, {0, index, {}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddClock(AAX_CFieldIndex index)
{
    return addField(9, {hostArg(index)}, {0, index, {}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddSideChainIn(AAX_CFieldIndex index)
{
    return addField(10, {hostArg(index)}, {0, index, {}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddDataInPort(AAX_CFieldIndex index, uint32_t packetSize,
                                                         AAX_EDataInPortType portType)
{
    return addField(11, {hostArg(index), hostArg(packetSize), hostArg(static_cast<int32_t>(portType))},
                    {0, index, {packetSize, portType}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddAuxOutputStem(AAX_CFieldIndex index, int32_t stemFormat,
                                                            const char name[])
{
    return addField(12, {hostArg(index), hostArg(stemFormat), hostArg(name)},
                    {0, index, {stemFormat}, name != nullptr ? name : "", {}});
}

AAX_Result HostComponentDescriptor::Facet::AddPrivateData(AAX_CFieldIndex index, int32_t dataSize, uint32_t options)
{
    return addField(13, {hostArg(index), hostArg(dataSize), hostArg(options)}, {0, index, {dataSize, options}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddDmaInstance(AAX_CFieldIndex index, AAX_IDma::EMode mode)
{
    return addField(14, {hostArg(index), hostArg(static_cast<int32_t>(mode))}, {0, index, {mode}, {}, {}});
}

AAX_Result HostComponentDescriptor::Facet::AddMIDINode(AAX_CFieldIndex index, AAX_EMIDINodeType nodeType,
                                                       const char name[], uint32_t channelMask)
{
    return addField(15, {hostArg(index), hostArg(static_cast<int32_t>(nodeType)), hostArg(name), hostArg(channelMask)},
                    {0, index, {nodeType, channelMask}, name != nullptr ? name : "", {}});
}

AAX_Result HostComponentDescriptor::Facet::AddProcessProc_Native(AAX_CProcessProc processProc, IACFUnknown* properties,
                                                                 AAX_CInstanceInitProc instanceInitProc,
                                                                 AAX_CBackgroundProc backgroundProc, uint32_t* procID)
{
    const AAX_Result result =
        call(16, {hostFunctionArg(processProc), hostAddressArg(properties), hostFunctionArg(instanceInitProc),
                  hostFunctionArg(backgroundProc), hostArg(static_cast<const void*>(procID))});
    if (result != 0)
        return result;
    NativeProcedure procedure;
    procedure.id = mDescriptor.mNextProcID++;
    procedure.processProc = processProc;
    procedure.instanceInitProc = instanceInitProc;
    procedure.backgroundProc = backgroundProc;
    procedure.properties = mDescriptor.mapBehind(properties);
    if (procID != nullptr)
        *procID = procedure.id;
    mDescriptor.mNativeProcedures.push_back(std::move(procedure));
    return 0;
}

AAX_Result HostComponentDescriptor::Facet::AddProcessProc_TI(const char dllFileName[], const char processProcName[],
                                                             IACFUnknown* properties, const char instanceInitProcName[],
                                                             const char backgroundProcName[], uint32_t* procID)
{
    const AAX_Result result = call(17, {hostArg(dllFileName), hostArg(processProcName), hostAddressArg(properties),
                                        hostArg(instanceInitProcName), hostArg(backgroundProcName),
                                        hostArg(static_cast<const void*>(procID))});
    if (result != 0)
        return result;
    TIProcedure procedure;
    procedure.id = mDescriptor.mNextProcID++;
    procedure.dllFileName = optionalText(dllFileName);
    procedure.processProcName = optionalText(processProcName);
    procedure.instanceInitProcName = optionalText(instanceInitProcName);
    procedure.backgroundProcName = optionalText(backgroundProcName);
    procedure.properties = mDescriptor.mapBehind(properties);
    if (procID != nullptr)
        *procID = procedure.id;
    mDescriptor.mTIProcedures.push_back(std::move(procedure));
    return 0;
}

AAX_Result HostComponentDescriptor::Facet::AddMeters(AAX_CFieldIndex index, const AAX_CTypeID* meterIDs,
                                                     uint32_t meterCount)
{
    Field field{0, index, {meterCount}, {}, {}};
    if (meterIDs != nullptr)
        field.meterIDs.assign(meterIDs, meterIDs + meterCount);
    return addField(18, {hostArg(index), hostAddressArg(meterIDs), hostArg(meterCount)}, std::move(field));
}

AAX_Result HostComponentDescriptor::Facet::AddTemporaryData(AAX_CFieldIndex index, uint32_t dataElementSize)
{
    return addField(19, {hostArg(index), hostArg(dataElementSize)}, {0, index, {dataElementSize}, {}, {}});
}

// Registers the procedures the map names, the way the plug-in library does by hand for older hosts: a
// native one when a native or AudioSuite type is given, a TI one when a TI type is given. IDs and a
// terminating 0 go to procIDs when it has room for them.
AAX_Result HostComponentDescriptor::Facet::AddProcessProc(IACFUnknown* properties, uint32_t* procIDs,
                                                          int32_t procIDsSize)
{
    const AAX_Result result =
        call(20, {hostAddressArg(properties), hostArg(static_cast<const void*>(procIDs)), hostArg(procIDsSize)});
    if (result != 0)
        return result;
    HostRef<HostPropertyMap> map = mDescriptor.mapBehind(properties);
    if (!map)
        return AAX_ERROR_NULL_OBJECT;

    std::vector<uint32_t> ids;
    if (map->hasProperty(AAX_eProperty_PlugInID_Native) || map->hasProperty(AAX_eProperty_PlugInID_AudioSuite))
    {
        NativeProcedure procedure;
        procedure.id = mDescriptor.mNextProcID++;
        procedure.processProc = reinterpret_cast<AAX_CProcessProc>(
            const_cast<void*>(map->pointerProperty(AAX_eProperty_NativeProcessProc)));
        procedure.instanceInitProc = reinterpret_cast<AAX_CInstanceInitProc>(
            const_cast<void*>(map->pointerProperty(AAX_eProperty_NativeInstanceInitProc)));
        procedure.backgroundProc = reinterpret_cast<AAX_CBackgroundProc>(
            const_cast<void*>(map->pointerProperty(AAX_eProperty_NativeBackgroundProc)));
        procedure.properties = map;
        ids.push_back(procedure.id);
        mDescriptor.mNativeProcedures.push_back(std::move(procedure));
    }
    if (map->hasProperty(AAX_eProperty_PlugInID_TI))
    {
        TIProcedure procedure;
        procedure.id = mDescriptor.mNextProcID++;
        procedure.dllFileName =
            optionalText(static_cast<const char*>(map->pointerProperty(AAX_eProperty_TIDLLFileName)));
        procedure.processProcName =
            optionalText(static_cast<const char*>(map->pointerProperty(AAX_eProperty_TIProcessProc)));
        procedure.instanceInitProcName =
            optionalText(static_cast<const char*>(map->pointerProperty(AAX_eProperty_TIInstanceInitProc)));
        procedure.backgroundProcName =
            optionalText(static_cast<const char*>(map->pointerProperty(AAX_eProperty_TIBackgroundProc)));
        procedure.properties = map;
        ids.push_back(procedure.id);
        mDescriptor.mTIProcedures.push_back(std::move(procedure));
    }

    if (procIDs != nullptr)
    {
        if (static_cast<int64_t>(ids.size()) >= procIDsSize)
            return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
        for (size_t i = 0; i < ids.size(); ++i)
            procIDs[i] = ids[i];
        procIDs[ids.size()] = 0;
    }
    return 0;
}
