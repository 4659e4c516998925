// The exported entry points other than registration, the guarantee that no exception reaches the host, and
// that the bundle exports the seven entry points and nothing else (a stray export could clash with another
// bundle's symbols inside the host process).
#include "RegistrationTestSupport.h"

#include "AAX_CHostServices.h"
#include "AAX_Init.h"
#include "AAX_UIDs.h"
#include "CACFUnknown.h"
#include "acfbaseapi.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C"
{
    ACFRESULT ACFRegisterPlugin(IACFUnknown* pUnkHost, IACFPluginDefinition** ppPluginDefinition);
    ACFRESULT ACFRegisterComponent(IACFUnknown*, acfUInt32 index, IACFComponentDefinition** ppComponentDefinition);
    ACFRESULT ACFGetClassFactory(IACFUnknown*, const acfCLSID& clsid, const acfIID& iid, void** ppOut);
    ACFRESULT ACFCanUnloadNow(IACFUnknown*);
    ACFRESULT ACFStartup(IACFUnknown* pUnkHost);
    ACFRESULT ACFShutdown(IACFUnknown*);
    ACFRESULT ACFGetSDKVersion(uint64_t* oSDKVersion);
}

namespace
{
void* const kPassedIn = reinterpret_cast<void*>(uintptr_t(0x5a5a));

TEST(EntryPoints, NoSeparateComponentsNoClassFactoryAndTheLibraryVersion)
{
    for (const acfUInt32 index : {0u, 1u, 0xFFFFFFFFu})
    {
        auto* definition = static_cast<IACFComponentDefinition*>(kPassedIn);
        EXPECT_EQ(ACFRegisterComponent(nullptr, index, &definition), 0);
        EXPECT_EQ(definition, nullptr);
    }
    void* factory = kPassedIn;
    EXPECT_EQ(ACFGetClassFactory(nullptr, AAXCompID_AAXCollection, IID_IACFComponentFactory, &factory), -20009);
    EXPECT_EQ(factory, nullptr);
    uint64_t version = 0;
    EXPECT_EQ(ACFGetSDKVersion(&version), 0);
    EXPECT_EQ(version, 0x00000204013449E0ull);
}

// A host that gives no place for the answer gets the library's one code for a null argument, not a crash.
TEST(EntryPoints, NoPlaceForTheAnswerIsRefusedWithTheNullArgumentCode)
{
    EXPECT_EQ(ACFRegisterPlugin(nullptr, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(ACFRegisterComponent(nullptr, 0, nullptr), AAX_ERROR_NULL_ARGUMENT);
    EXPECT_EQ(ACFGetSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST(EntryPoints, CanUnloadNowAnswersTheCountOfLiveObjects)
{
    EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
    IACFUnknown* effect = nullptr;
    ASSERT_EQ((new CACFUnknown)->InternalQueryInterface(IID_IACFUnknown, reinterpret_cast<void**>(&effect)), 0);
    EXPECT_EQ(ACFCanUnloadNow(nullptr), 1);
    {
        CACFUnknown gui;
        EXPECT_EQ(ACFCanUnloadNow(nullptr), 2);
    }
    EXPECT_EQ(effect->Release(), 0u);
    EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
}

using StartUpAndShutdown = DescriptionTest;

TEST_F(StartUpAndShutdown, TracesReachTheHostOnlyInBetweenAndExceptionsBecomeUnexpected)
{
    EXPECT_EQ(ACFShutdown(nullptr), 0); // nothing to remove yet
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "before");
    EXPECT_EQ(ACFStartup(context->unknown()), 0);
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "while started");
    EXPECT_EQ(ACFShutdown(context->unknown()), 0);
    AAX_CHostServices::Trace(AAX_eTracePriorityHost_High, "after");
    EXPECT_EQ(HostTraces(host), (std::vector<std::vector<std::string>>{{kFailurePriority, "while started"}}));
    // A factory query that succeeds with nothing makes the host-services proxy throw while it is built.
    host.configuration().answerEmpty(IID_IACFComponentFactory);
    EXPECT_EQ(ACFStartup(context->unknown()), ACFRESULT(0x8000FFFF));
    EXPECT_EQ(ACFShutdown(nullptr), 0);
}
// The names of the symbols the bundle defines, one a line, as nm lists them: its dynamic table (what other
// objects in the process see) or its whole symbol table.
std::string DefinedSymbols(const std::string& table, const std::string& bundle)
{
    std::string names;
    if (FILE* const nm = popen(("nm --defined-only --format=just-symbols " + table + bundle).c_str(), "r"))
    {
        for (int c = std::fgetc(nm); c != EOF; c = std::fgetc(nm))
            names += char(c);
        pclose(nm);
    }
    return names;
}

// The probe is built the way the bundle is; the real bundle carries the whole plug-in.
TEST(ExportedSymbols, TheBundleExportsExactlyTheSevenEntryPoints)
{
    for (const std::string bundle : {KELVANE_EXPORTS_PROBE_PATH, KELVANE_BUNDLE_FILE})
    {
        SCOPED_TRACE(bundle);
        EXPECT_EQ(DefinedSymbols("-D ", bundle), "ACFCanUnloadNow\nACFGetClassFactory\nACFGetSDKVersion\n"
                                                 "ACFRegisterComponent\nACFRegisterPlugin\nACFShutdown\nACFStartup\n");
        // That means something only because the bundle does carry the library's and JUCE's code.
        const std::string contained = DefinedSymbols("", bundle);
        EXPECT_NE(contained.find("AAX_VCollection"), std::string::npos);
        EXPECT_NE(contained.find("4juce"), std::string::npos);
    }
}
} // namespace
