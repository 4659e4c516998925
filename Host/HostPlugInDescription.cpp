// HostPlugIn::description(): the plug-in's description as a host would list it after a scan.
#include "AAX_Enums.h"
#include "HostPlugIn.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

namespace
{
std::string hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}
} // namespace

std::string hostFourCharacterCode(int64_t value)
{
    const auto code = static_cast<uint32_t>(value);
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char character = static_cast<char>((code >> shift) & 0xFF);
        if (character < 0x20 || character > 0x7E)
            return std::to_string(value);
        text += character;
    }
    return text + "'";
}

std::string hostSdkVersionText(uint64_t versionAndRevision)
{
    const auto version = static_cast<uint32_t>(versionAndRevision >> 32);
    const auto revision = static_cast<uint32_t>(versionAndRevision);
    // The version keeps its major and minor number in a byte each (0x204 is 2.4); anything wider is shown as is.
    const std::string versionText =
        version <= 0xFFFF ? std::to_string(version >> 8) + "." + std::to_string(version & 0xFF) : hex(version);
    return versionText + ", revision " + std::to_string(revision);
}

std::string hostStemFormatName(int64_t format)
{
    static const std::pair<AAX_EStemFormat, const char*> names[] = {
        {AAX_eStemFormat_Mono, "mono"},
        {AAX_eStemFormat_Stereo, "stereo"},
        {AAX_eStemFormat_LCR, "LCR"},
        {AAX_eStemFormat_LCRS, "LCRS"},
        {AAX_eStemFormat_Quad, "quad"},
        {AAX_eStemFormat_5_0, "5.0"},
        {AAX_eStemFormat_5_1, "5.1"},
        {AAX_eStemFormat_6_0, "6.0"},
        {AAX_eStemFormat_6_1, "6.1"},
        {AAX_eStemFormat_7_0_SDDS, "7.0 SDDS"},
        {AAX_eStemFormat_7_1_SDDS, "7.1 SDDS"},
        {AAX_eStemFormat_7_0_DTS, "7.0 DTS"},
        {AAX_eStemFormat_7_1_DTS, "7.1 DTS"},
        {AAX_eStemFormat_7_0_2, "7.0.2"},
        {AAX_eStemFormat_7_1_2, "7.1.2"},
        {AAX_eStemFormat_Ambi_1_ACN, "ambisonics 1"},
        {AAX_eStemFormat_Ambi_2_ACN, "ambisonics 2"},
        {AAX_eStemFormat_Ambi_3_ACN, "ambisonics 3"},
        {AAX_eStemFormat_None, "none"},
    };
    for (const auto& [value, name] : names)
        if (value == format)
            return name;
    return hex(static_cast<uint32_t>(format));
}

namespace
{

std::string propertyText(AAX_EProperty property, AAX_CPropertyValue value)
{
    static const std::pair<AAX_EProperty, const char*> names[] = {
        {AAX_eProperty_ManufacturerID, "manufacturer ID"},
        {AAX_eProperty_ProductID, "product ID"},
        {AAX_eProperty_PlugInID_Native, "plug-in ID (native)"},
        {AAX_eProperty_PlugInID_AudioSuite, "plug-in ID (AudioSuite)"},
        {AAX_eProperty_PlugInID_TI, "plug-in ID (TI)"},
        {AAX_eProperty_CanBypass, "can bypass"},
        {AAX_eProperty_SupportsSaveRestore, "supports save and restore"},
        {AAX_eProperty_Constraint_AlwaysProcess, "always process"},
        {AAX_eProperty_Constraint_MultiMonoSupport, "multi-mono"},
        {AAX_eProperty_Constraint_DoNotApplyDefaultSettings, "no default settings"},
        {AAX_eProperty_ObservesTransportState, "observes transport state"},
        {AAX_eProperty_UsesClientGUI, "uses client GUI"},
        {AAX_eProperty_LatencyContribution, "latency"},
        {AAX_eProperty_InputStemFormat, "input stem format"},
        {AAX_eProperty_OutputStemFormat, "output stem format"},
        {AAX_eProperty_SideChainStemFormat, "side-chain stem format"},
        {AAX_eProperty_NativeAudioBufferLength, "native buffer length"},
        {AAX_eProperty_SupportsSideChainInput, "side-chain input"},
        {AAX_eProperty_HybridOutputStemFormat, "hybrid output stem format"},
        {AAX_eProperty_Meter_Type, "meter type"},
        {AAX_eProperty_Meter_Orientation, "meter orientation"},
        {AAX_eProperty_Meter_Ballistics, "meter ballistics"},
    };
    std::string name = "property " + std::to_string(property);
    for (const auto& [id, text] : names)
        if (id == property)
            name = text;
    switch (static_cast<int>(property)) // only a few properties are shown specially
    {
        case AAX_eProperty_ManufacturerID:
        case AAX_eProperty_ProductID:
        case AAX_eProperty_PlugInID_Native:
        case AAX_eProperty_PlugInID_AudioSuite:
        case AAX_eProperty_PlugInID_TI: return name + " " + hostFourCharacterCode(value);
        case AAX_eProperty_InputStemFormat:
        case AAX_eProperty_OutputStemFormat:
        case AAX_eProperty_SideChainStemFormat:
        case AAX_eProperty_HybridOutputStemFormat: return name + " " + hostStemFormatName(value);
        default: return name + " " + std::to_string(value);
    }
}

std::string fieldText(const HostComponentDescriptor::Field& field)
{
    auto value = [&field](size_t i) { return i < field.values.size() ? field.values[i] : 0; };
    const std::string index = "field " + std::to_string(field.index) + ": ";
    switch (field.method)
    {
        case 4: return index + "reserved (type " + std::to_string(value(0)) + ")";
        case 5: return index + "audio in";
        case 6: return index + "audio out";
        case 7: return index + "buffer length";
        case 8: return index + "sample rate";
        case 9: return index + "clock";
        case 10: return index + "side-chain in";
        case 11:
            return index + "data-in port, " + std::to_string(value(0)) + " bytes, "
                   + (value(1) == AAX_eDataInPortType_Unbuffered ? "unbuffered"
                      : value(1) == AAX_eDataInPortType_Buffered ? "buffered"
                                                                 : "incremental");
        case 12: return index + "aux output stem " + hostStemFormatName(value(0)) + " \"" + field.name + "\"";
        case 13:
            return index + "private data, " + std::to_string(value(0)) + " bytes, options " + std::to_string(value(1));
        case 14: return index + "DMA instance, mode " + std::to_string(value(0));
        case 15: return index + "MIDI node \"" + field.name + "\", type " + std::to_string(value(0));
        case 18: return index + std::to_string(value(0)) + " meters";
        case 19: return index + "temporary data, " + std::to_string(value(0)) + " bytes per element";
        default: return index + "method " + std::to_string(field.method);
    }
}

std::string categoryText(uint32_t category)
{
    static const std::pair<uint32_t, const char*> names[] = {
        {AAX_ePlugInCategory_EQ, "EQ"},
        {AAX_ePlugInCategory_Dynamics, "dynamics"},
        {AAX_ePlugInCategory_PitchShift, "pitch shift"},
        {AAX_ePlugInCategory_Reverb, "reverb"},
        {AAX_ePlugInCategory_Delay, "delay"},
        {AAX_ePlugInCategory_Modulation, "modulation"},
        {AAX_ePlugInCategory_Harmonic, "harmonic"},
        {AAX_ePlugInCategory_NoiseReduction, "noise reduction"},
        {AAX_ePlugInCategory_Dither, "dither"},
        {AAX_ePlugInCategory_SoundField, "sound field"},
        {AAX_ePlugInCategory_Effect, "effect"},
    };
    std::string text = hex(category);
    for (const auto& [bit, name] : names)
        if ((category & bit) != 0)
            text += std::string(" ") + name;
    return text;
}

void listProperties(std::ostringstream& out, const char* indent, const HostPropertyMap* map)
{
    if (map == nullptr)
        return;
    for (const auto& [property, value] : map->properties())
        out << indent << propertyText(property, value) << "\n";
}
} // namespace

std::string HostPlugIn::description() const
{
    std::ostringstream out;
    out << "bundle: " << mBundle.binaryPath() << "\n";
    out << "SDK version: " << hostSdkVersionText(mSDKVersion) << "\n";
    out << "manufacturer: " << mCollection->manufacturerName() << "\n";
    // A host keeps the package's names as variants to choose from; one given twice is still one variant.
    std::vector<std::string> packageNames;
    for (const std::string& name : mCollection->packageNames())
        if (std::find(packageNames.begin(), packageNames.end(), name) == packageNames.end())
            packageNames.push_back(name);
    for (const std::string& name : packageNames)
        out << "package name: " << name << "\n";
    out << "package version: " << hex(mCollection->packageVersion()) << "\n";

    for (const HostCollection::Effect& effect : mCollection->effects())
    {
        const HostEffectDescriptor& descriptor = *effect.descriptor;
        out << "effect " << effect.effectID << "\n";
        for (const std::string& name : descriptor.names())
            out << "  name: " << name << "\n";
        for (uint32_t category : descriptor.categories())
            out << "  category: " << categoryText(category) << "\n";
        for (const auto& [id, procedure] : descriptor.procPtrs())
            out << "  procedure: "
                << (id == kAAX_ProcPtrID_Create_EffectParameters ? "create effect parameters"
                    : id == kAAX_ProcPtrID_Create_EffectGUI      ? "create GUI"
                                                                 : "ID " + std::to_string(id))
                << (procedure != nullptr ? "" : " (null)") << "\n";
        for (const HostEffectDescriptor::Meter& meter : descriptor.meters())
            out << "  meter " << hostFourCharacterCode(meter.id) << " \"" << meter.name << "\"\n";
        listProperties(out, "  ", descriptor.properties());

        int number = 0;
        for (const HostRef<HostComponentDescriptor>& component : descriptor.components())
        {
            out << "  component " << ++number << "\n";
            for (const HostComponentDescriptor::Field& field : component->fields())
                out << "    " << fieldText(field) << "\n";
            for (const HostComponentDescriptor::NativeProcedure& procedure : component->nativeProcedures())
            {
                out << "    native process procedure " << procedure.id
                    << (procedure.instanceInitProc != nullptr ? ", with instance initialisation" : "")
                    << (procedure.backgroundProc != nullptr ? ", with background procedure" : "") << "\n";
                listProperties(out, "      ", procedure.properties.get());
            }
            for (const HostComponentDescriptor::TIProcedure& procedure : component->tiProcedures())
            {
                out << "    TI process procedure " << procedure.id << " "
                    << procedure.processProcName.value_or("(unnamed)") << "\n";
                listProperties(out, "      ", procedure.properties.get());
            }
        }
    }
    return out.str();
}
