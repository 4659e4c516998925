#include "AAX_VComponentDescriptor.h"

#include "AAX_Assert.h"
#include "AAX_Errors.h"
#include "AAX_HostAccess.h"
#include "AAX_UIDs.h"
#include "AAX_VPropertyMap.h"

#include <memory>

// Registration of the procedures a property map names, for hosts without component-descriptor version 3:
// the procedure pointers and names are read out of the map and registered one by one. A missing
// procedure is traced and registered as null anyway, so that the host, not the plug-in, decides.
//
// The two assertions below report their line numbers to the host, which keeps them in its logs; keep them
// on the lines they are on (89 and 93; a test checks).
namespace
{
const void* ReadPointerProperty(const AAX_IPropertyMap& properties, AAX_EProperty property, const char* missingTrace)
{
    const void* value = nullptr;
    if (!properties.GetPointerProperty(property, &value))
    {
        if (missingTrace != nullptr)
            AAX_TRACE(AAX_eTracePriorityHost_High, "%s", missingTrace);
        value = nullptr;
    }
    return value;
}

bool HasProperty(const AAX_IPropertyMap& properties, AAX_EProperty property)
{
    AAX_CPropertyValue value = 0;
    return properties.GetProperty(property, &value) != 0;
}

AAX_CProcessProc AsProcessProc(const void* pointer)
{
    return reinterpret_cast<AAX_CProcessProc>(const_cast<void*>(pointer));
}

AAX_CInstanceInitProc AsInstanceInitProc(const void* pointer)
{
    return reinterpret_cast<AAX_CInstanceInitProc>(const_cast<void*>(pointer));
}

AAX_CBackgroundProc AsBackgroundProc(const void* pointer)
{
    return reinterpret_cast<AAX_CBackgroundProc>(const_cast<void*>(pointer));
}
} // namespace

AAX_Result AAX_VComponentDescriptor::ManuallyAddProcessProcs(AAX_IPropertyMap* inProperties, uint32_t* outProcIDs,
                                                             int32_t inProcIDsSize)
{
    if (!mIACFComponentDescriptor || inProperties == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const bool hasNativeID = HasProperty(*inProperties, AAX_eProperty_PlugInID_Native);
    const bool hasAudioSuiteID = HasProperty(*inProperties, AAX_eProperty_PlugInID_AudioSuite);
    const bool hasTIID = HasProperty(*inProperties, AAX_eProperty_PlugInID_TI);
    const bool wantsNative = hasNativeID || hasAudioSuiteID;
    const bool wantsTI = hasTIID;

    uint32_t procIDs[2] = {0, 0};
    int32_t numProcIDs = 0;
    AAX_Result result = AAX_SUCCESS;

    if (wantsNative)
    {
        const void* const processProc = ReadPointerProperty(
            *inProperties, AAX_eProperty_NativeProcessProc,
            "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_NativeProcessProc");
        const void* const instanceInitProc =
            ReadPointerProperty(*inProperties, AAX_eProperty_NativeInstanceInitProc, nullptr);
        const void* const backgroundProc =
            ReadPointerProperty(*inProperties, AAX_eProperty_NativeBackgroundProc, nullptr);

        // A native procedure must not be registered with a fixed buffer length: hand the host a copy
        // without it, as long as the copy really lives in the host.
        AAX_IPropertyMap* mapForHost = inProperties;
        if (HasProperty(*inProperties, AAX_eProperty_NativeAudioBufferLength))
        {
            AAX_IPropertyMap* const copy = DuplicatePropertyMap(inProperties);
            if (copy != nullptr && copy->GetIUnknown() != nullptr)
            {
                AAX_CPropertyValue bufferLength = 0;
                // Read back from the copy: the host may have refused it.
                const AAX_CBoolean gotPropertySuccess =
                    copy->GetProperty(AAX_eProperty_NativeAudioBufferLength, &bufferLength);
                AAX_ASSERT_AT(89, 0 != gotPropertySuccess);
                if (gotPropertySuccess != 0)
                {
                    const AAX_Result removeNativeAudioBufferLengthResult =
                        copy->RemoveProperty(AAX_eProperty_NativeAudioBufferLength);
                    AAX_ASSERT_AT(93, AAX_SUCCESS == removeNativeAudioBufferLengthResult);
                    mapForHost = copy;
                }
            }
        }

        uint32_t procID = 0;
        const AAX_Result nativeResult =
            AddProcessProc_Native(AsProcessProc(processProc), mapForHost, AsInstanceInitProc(instanceInitProc),
                                  AsBackgroundProc(backgroundProc), &procID);
        if (nativeResult == AAX_SUCCESS)
            procIDs[numProcIDs++] = procID;
        else
            result = nativeResult;
    }

    if (result == AAX_SUCCESS && wantsTI)
    {
        const void* const dllFileName = ReadPointerProperty(
            *inProperties, AAX_eProperty_TIDLLFileName,
            "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_TIDLLFileName");
        const void* const processProcName = ReadPointerProperty(
            *inProperties, AAX_eProperty_TIProcessProc,
            "AAX_VComponentDescriptor: ManuallyAddProcessProcs() - no value found for AAX_eProperty_TIProcessProc");
        const void* const instanceInitName =
            ReadPointerProperty(*inProperties, AAX_eProperty_TIInstanceInitProc, nullptr);
        const void* const backgroundName = ReadPointerProperty(*inProperties, AAX_eProperty_TIBackgroundProc, nullptr);

        // The TI registration always gets the caller's own map.
        uint32_t procID = 0;
        const AAX_Result tiResult = AddProcessProc_TI(
            static_cast<const char*>(dllFileName), static_cast<const char*>(processProcName), inProperties,
            static_cast<const char*>(instanceInitName), static_cast<const char*>(backgroundName), &procID);
        if (tiResult == AAX_SUCCESS)
            procIDs[numProcIDs++] = procID;
        else
            result = tiResult;
    }

    // The caller's array receives the IDs and a terminating 0, so it needs room for one more than the IDs.
    if (result == AAX_SUCCESS && outProcIDs != nullptr)
    {
        if (numProcIDs >= inProcIDsSize)
            return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
        for (int32_t i = 0; i < numProcIDs; ++i)
            outProcIDs[i] = procIDs[i];
        outProcIDs[numProcIDs] = 0;
    }
    return result;
}

AAX_VComponentDescriptor::AAX_VComponentDescriptor(IACFUnknown* inHost) : mUnkHost(inHost)
{
    ACFPtr<IACFComponentFactory> factory = AAX_AcquireComponentFactory(inHost);
    if (!factory)
        return;

    factory->CreateComponent(AAXCompID_AAXComponentDescriptor, nullptr, IID_IAAXComponentDescriptorV1,
                             mIACFComponentDescriptor.outArgument());
    if (mIACFComponentDescriptor)
        mIACFComponentDescriptor->QueryInterface(IID_IAAXComponentDescriptorV2,
                                                 mIACFComponentDescriptorV2.outArgument());
    if (mIACFComponentDescriptor)
        mIACFComponentDescriptor->QueryInterface(IID_IAAXComponentDescriptorV3,
                                                 mIACFComponentDescriptorV3.outArgument());
}

AAX_VComponentDescriptor::~AAX_VComponentDescriptor()
{
    for (AAX_IPropertyMap* map : mPropertyMaps)
        delete map;
    mPropertyMaps.clear();
    mIACFComponentDescriptorV3.reset();
    mIACFComponentDescriptorV2.reset();
    mIACFComponentDescriptor.reset();
    mUnkHost.reset();
}

const std::set<AAX_EProperty>& AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc()
{
    // Filled once, under the guard of the static's initialisation.
    static const std::set<AAX_EProperty> properties{
        AAX_eProperty_NativeProcessProc, AAX_eProperty_NativeInstanceInitProc, AAX_eProperty_NativeBackgroundProc,
        AAX_eProperty_TIDLLFileName,     AAX_eProperty_TIProcessProc,          AAX_eProperty_TIInstanceInitProc,
        AAX_eProperty_TIBackgroundProc};
    return properties;
}

IACFUnknown* AAX_VComponentDescriptor::GetIUnknown() const
{
    return mIACFComponentDescriptor.get();
}

AAX_Result AAX_VComponentDescriptor::Clear()
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::Clear);
}

AAX_Result AAX_VComponentDescriptor::AddReservedField(AAX_CFieldIndex inFieldIndex, uint32_t inFieldType)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddReservedField, inFieldIndex,
                        inFieldType);
}

AAX_Result AAX_VComponentDescriptor::AddAudioIn(AAX_CFieldIndex inFieldIndex)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddAudioIn, inFieldIndex);
}

AAX_Result AAX_VComponentDescriptor::AddAudioOut(AAX_CFieldIndex inFieldIndex)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddAudioOut, inFieldIndex);
}

AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex inFieldIndex)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddAudioBufferLength, inFieldIndex);
}

AAX_Result AAX_VComponentDescriptor::AddSampleRate(AAX_CFieldIndex inFieldIndex)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddSampleRate, inFieldIndex);
}

AAX_Result AAX_VComponentDescriptor::AddClock(AAX_CFieldIndex inFieldIndex)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddClock, inFieldIndex);
}

AAX_Result AAX_VComponentDescriptor::AddSideChainIn(AAX_CFieldIndex inFieldIndex)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddSideChainIn, inFieldIndex);
}

AAX_Result AAX_VComponentDescriptor::AddDataInPort(AAX_CFieldIndex inFieldIndex, uint32_t inPacketSize,
                                                   AAX_EDataInPortType inPortType)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddDataInPort, inFieldIndex,
                        inPacketSize, inPortType);
}

AAX_Result AAX_VComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex inFieldIndex, int32_t inStemFormat,
                                                      const char inNameUTF8[])
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddAuxOutputStem, inFieldIndex,
                        inStemFormat, inNameUTF8);
}

AAX_Result AAX_VComponentDescriptor::AddPrivateData(AAX_CFieldIndex inFieldIndex, int32_t inDataSize,
                                                    uint32_t inOptions)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddPrivateData, inFieldIndex,
                        inDataSize, inOptions);
}

AAX_Result AAX_VComponentDescriptor::AddTemporaryData(AAX_CFieldIndex inFieldIndex, uint32_t inDataElementSize)
{
    if (!mIACFComponentDescriptorV2)
        return AAX_ERROR_UNIMPLEMENTED;
    return mIACFComponentDescriptorV2->AddTemporaryData(inFieldIndex, inDataElementSize);
}

AAX_Result AAX_VComponentDescriptor::AddDmaInstance(AAX_CFieldIndex inFieldIndex, AAX_IDma::EMode inDmaMode)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddDmaInstance, inFieldIndex,
                        inDmaMode);
}

AAX_Result AAX_VComponentDescriptor::AddMeters(AAX_CFieldIndex inFieldIndex, const AAX_CTypeID* inMeterIDs,
                                               uint32_t inMeterCount)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddMeters, inFieldIndex, inMeterIDs,
                        inMeterCount);
}

AAX_Result AAX_VComponentDescriptor::AddMIDINode(AAX_CFieldIndex inFieldIndex, AAX_EMIDINodeType inNodeType,
                                                 const char inNodeName[], uint32_t inChannelMask)
{
    return AAX_CallHost(mIACFComponentDescriptor, &AAX_IACFComponentDescriptor::AddMIDINode, inFieldIndex, inNodeType,
                        inNodeName, inChannelMask);
}

AAX_IPropertyMap* AAX_VComponentDescriptor::NewPropertyMap() const
{
    std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(mUnkHost.get()));
    mPropertyMaps.insert(map.get());
    return map.release();
}

AAX_IPropertyMap* AAX_VComponentDescriptor::DuplicatePropertyMap(AAX_IPropertyMap* inSource) const
{
    if (inSource == nullptr)
        return nullptr;

    AAX_IPropertyMap* const copy = NewPropertyMap();
    if (copy == nullptr)
        return nullptr;

    for (int32_t number = 10; number <= 401; ++number)
    {
        const auto property = static_cast<AAX_EProperty>(number);
        AAX_CPropertyValue value = 0;
        const void* pointer = nullptr;
        if (inSource->GetProperty(property, &value))
            copy->AddProperty(property, value);
        else if (inSource->GetPointerProperty(property, &pointer))
            copy->AddPointerProperty(property, pointer);
    }
    return copy;
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_Native(AAX_CProcessProc inProcessProc,
                                                           AAX_IPropertyMap* inProperties,
                                                           AAX_CInstanceInitProc inInstanceInitProc,
                                                           AAX_CBackgroundProc inBackgroundProc, uint32_t* outProcID)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddProcessProc_Native(
        inProcessProc, inProperties != nullptr ? inProperties->GetIUnknown() : nullptr, inInstanceInitProc,
        inBackgroundProc, outProcID);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc_TI(const char inDLLFileNameUTF8[], const char inProcessProcSymbol[],
                                                       AAX_IPropertyMap* inProperties,
                                                       const char inInstanceInitProcSymbol[],
                                                       const char inBackgroundProcSymbol[], uint32_t* outProcID)
{
    if (!mIACFComponentDescriptor)
        return AAX_ERROR_NULL_OBJECT;
    return mIACFComponentDescriptor->AddProcessProc_TI(inDLLFileNameUTF8, inProcessProcSymbol,
                                                       inProperties != nullptr ? inProperties->GetIUnknown() : nullptr,
                                                       inInstanceInitProcSymbol, inBackgroundProcSymbol, outProcID);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc(AAX_IPropertyMap* inProperties, uint32_t* outProcIDs,
                                                    int32_t inProcIDsSize)
{
    if (!mIACFComponentDescriptorV3)
        return ManuallyAddProcessProcs(inProperties, outProcIDs, inProcIDsSize);
    return mIACFComponentDescriptorV3->AddProcessProc(inProperties != nullptr ? inProperties->GetIUnknown() : nullptr,
                                                      outProcIDs, inProcIDsSize);
}
