// The host's collection (AAXCompID_AAXCollection, IID_IAAXCollectionV1): what the plug-in registers, all
// its effects with their descriptors, the package's names and version. It is also the plug-in definition
// (IID_IACFPluginDefinition) that registration hands back to the host.
//
// Methods: 3 to 6 only log (the plug-in never calls them), 7 AddEffect, 8 SetManufacturerName,
// 9 AddPackageName, 10 SetPackageVersion, 11 SetProperties. An injected result other than 0 changes
// nothing. An effect descriptor or map this host did not make is refused with -20004.
#pragma once

#include "AAX_IACFCollection.h"
#include "ACF/acfbaseapi.h"
#include "HostEffectDescriptor.h"
#include "HostObject.h"
#include "HostPropertyMap.h"

#include <string>
#include <vector>

class HostCollection : public HostObject
{
public:
    static constexpr const char* kName = "Collection";

    struct Effect
    {
        std::string effectID;
        HostRef<HostEffectDescriptor> descriptor;
    };

    explicit HostCollection(HostEnvironment& environment);

    const std::vector<Effect>& effects() const { return mEffects; }
    const std::string& manufacturerName() const { return mManufacturerName; }
    const std::vector<std::string>& packageNames() const { return mPackageNames; }
    uint32_t packageVersion() const { return mPackageVersion; }
    HostPropertyMap* properties() const { return mProperties.get(); }

    bool hasInterface(const IACFUnknown* passed) const;

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFCollection>
    {
    public:
        explicit Facet(HostCollection& owner) : HostFacet(owner, "IAAXCollectionV1"), mCollection(owner) {}
        AAX_Result ReservedMethod3() override { return call(3, {}); }
        AAX_Result ReservedMethod4() override { return call(4, {}); }
        AAX_Result ReservedMethod5() override { return call(5, {}); }
        AAX_Result ReservedMethod6() override { return call(6, {}); }
        AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) override;
        AAX_Result SetManufacturerName(const char* name) override;
        AAX_Result AddPackageName(const char* name) override;
        AAX_Result SetPackageVersion(uint32_t version) override;
        AAX_Result SetProperties(IACFUnknown* properties) override;

    private:
        HostCollection& mCollection;
    };

    class PluginDefinitionFacet final : public HostFacet<IACFPluginDefinition>
    {
    public:
        explicit PluginDefinitionFacet(HostCollection& owner) : HostFacet(owner, "IACFPluginDefinition") {}
    };

    std::vector<Effect> mEffects;
    std::string mManufacturerName;
    std::vector<std::string> mPackageNames;
    uint32_t mPackageVersion = 0;
    HostRef<HostPropertyMap> mProperties;
    Facet mFacet;
    PluginDefinitionFacet mPluginDefinition;
};
