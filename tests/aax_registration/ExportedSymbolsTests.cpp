// The bundle must export exactly the seven entry points the host looks up, and nothing else: a stray
// export could clash with another bundle's symbols inside the host process.

#include "HostBundle.h"
#include "HostCollection.h"
#include "HostTestSupport.h"
#include "acfbaseapi.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace
{
const std::set<std::string> kEntryPoints = {"ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory",
                                            "ACFCanUnloadNow",   "ACFStartup",           "ACFShutdown",
                                            "ACFGetSDKVersion"};

std::vector<char> ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Names of the symbols defined in a 64-bit ELF shared object's symbol table of the given type: SHT_DYNSYM,
// what the object shows other objects in the process; SHT_SYMTAB, everything it was linked from. With
// onlyVisible, local symbols are left out; every other binding is visible: global, weak and also GNU
// unique (which the compiler gives static data of inline functions).
std::set<std::string> DefinedSymbols(const std::vector<char>& image, uint32_t tableType, bool onlyVisible)
{
    std::set<std::string> names;
    if (image.size() < sizeof(Elf64_Ehdr))
        return names;
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return names;

    std::vector<Elf64_Shdr> sections(header.e_shnum);
    for (size_t i = 0; i < sections.size(); ++i)
    {
        const size_t offset = header.e_shoff + i * header.e_shentsize;
        if (offset + sizeof(Elf64_Shdr) > image.size())
            return names;
        std::memcpy(&sections[i], image.data() + offset, sizeof(Elf64_Shdr));
    }

    for (const Elf64_Shdr& section : sections)
    {
        if (section.sh_type != tableType || section.sh_link >= sections.size())
            continue;
        const Elf64_Shdr& strings = sections[section.sh_link];
        if (section.sh_offset + section.sh_size > image.size() || strings.sh_offset + strings.sh_size > image.size())
            continue;
        const size_t count = section.sh_size / sizeof(Elf64_Sym);
        for (size_t i = 0; i < count; ++i)
        {
            Elf64_Sym symbol;
            std::memcpy(&symbol, image.data() + section.sh_offset + i * sizeof(Elf64_Sym), sizeof symbol);
            if (symbol.st_shndx == SHN_UNDEF || symbol.st_name >= strings.sh_size)
                continue;
            if (onlyVisible && ELF64_ST_BIND(symbol.st_info) == STB_LOCAL)
                continue;
            names.insert(std::string(image.data() + strings.sh_offset + symbol.st_name));
        }
    }
    return names;
}

bool AnyContains(const std::set<std::string>& names, const std::string& part)
{
    for (const std::string& name : names)
        if (name.find(part) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(ExportedSymbols, BundleExportsExactlyTheSevenEntryPoints)
{
    const std::vector<char> image = ReadFile(KELVANE_EXPORTS_PROBE_PATH);
    const std::set<std::string> exported = DefinedSymbols(image, SHT_DYNSYM, true);
    ASSERT_FALSE(exported.empty()) << "no dynamic symbols read from " << KELVANE_EXPORTS_PROBE_PATH;

    EXPECT_EQ(exported, kEntryPoints);
}

TEST(ExportedSymbols, BundleCarriesTheLibraryAndJuceYetExportsNeither)
{
    // The check above means something only if the bundle holds code of both (mangled names carry the
    // class and namespace names).
    const std::set<std::string> contained = DefinedSymbols(ReadFile(KELVANE_EXPORTS_PROBE_PATH), SHT_SYMTAB, false);
    ASSERT_FALSE(contained.empty()) << "no symbol table in " << KELVANE_EXPORTS_PROBE_PATH;
    EXPECT_TRUE(AnyContains(contained, "AAX_VCollection"));
    EXPECT_TRUE(AnyContains(contained, "4juce"));

    const std::set<std::string> exported = DefinedSymbols(ReadFile(KELVANE_EXPORTS_PROBE_PATH), SHT_DYNSYM, true);
    EXPECT_FALSE(AnyContains(exported, "AAX"));
    EXPECT_FALSE(AnyContains(exported, "juce"));
}

TEST(ExportedSymbols, EntryPointsResolveUndecoratedAndAnswer)
{
    void* const bundle = dlopen(KELVANE_EXPORTS_PROBE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(bundle, nullptr) << dlerror();

    for (const std::string& name : kEntryPoints)
        EXPECT_NE(dlsym(bundle, name.c_str()), nullptr) << name;
    // A library function of the same purpose stays private.
    EXPECT_EQ(dlsym(bundle, "AAXGetSDKVersion"), nullptr);
    EXPECT_EQ(dlsym(bundle, "_Z16AAXGetSDKVersionPm"), nullptr);

    using GetSDKVersion = int32_t (*)(uint64_t*);
    auto* const getVersion = reinterpret_cast<GetSDKVersion>(dlsym(bundle, "ACFGetSDKVersion"));
    ASSERT_NE(getVersion, nullptr);
    uint64_t version = 0;
    EXPECT_EQ(getVersion(&version), 0);
    EXPECT_EQ(version, 0x00000204013449E0ull);

    using CanUnloadNow = int32_t (*)(void*);
    auto* const canUnload = reinterpret_cast<CanUnloadNow>(dlsym(bundle, "ACFCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(nullptr), 0);

    EXPECT_EQ(dlclose(bundle), 0);
}

namespace
{
// A loaded bundle registers against the host stand-in through its exported functions alone: the probe, and
// JUCE's AAX client linked with the whole library, the engine and the window (Bundle/), which loads only
// when nothing it uses is left undefined.
struct LoadedBundleCase
{
	const char* path;
	const char* effectID;
	const char* name;
};

class LoadedBundle : public HostTest, public ::testing::WithParamInterface<LoadedBundleCase>
{
};

TEST_P(LoadedBundle, RegistersThroughItsExportedFunctions)
{
	HostBundle bundle(GetParam().path);
	ASSERT_TRUE(bundle.isLoaded()) << bundle.error();
	ASSERT_TRUE(bundle.hasEntryPoints());

	{
		HostRef<HostContext> context = makeContext();
		EXPECT_EQ(bundle.startup(context->unknown()), 0);
		IACFPluginDefinition* definition = nullptr;
		EXPECT_EQ(bundle.registerPlugin(context->unknown(), &definition), 0);
		ASSERT_NE(definition, nullptr);

		const std::vector<HostCollection*> collections = host.objectsOfType<HostCollection>();
		ASSERT_EQ(collections.size(), 1u);
		ASSERT_EQ(collections[0]->effects().size(), 1u);
		EXPECT_EQ(collections[0]->effects()[0].effectID, GetParam().effectID);
		EXPECT_EQ(collections[0]->effects()[0].descriptor->names().at(0), GetParam().name);

		definition->Release();
		EXPECT_EQ(bundle.shutdown(nullptr), 0);
		EXPECT_EQ(bundle.canUnloadNow(nullptr), 0);
	}
	EXPECT_EQ(bundle.unload(), 0);
}

INSTANTIATE_TEST_SUITE_P(ProbeAndLinkedClient, LoadedBundle,
                         ::testing::Values(LoadedBundleCase { KELVANE_EXPORTS_PROBE_PATH, "com.kelvane.exportsprobe", "Exports Probe" },
                                           LoadedBundleCase { KELVANE_AAX_LINK_CHECK_PATH, "com.zelvo-audio.kelvane", "Kelvane" }));
} // namespace
