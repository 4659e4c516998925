// The GUI base driven as a host drives a GUI object: the fixed sequence of calls it makes to the derived
// class and to the host, the refresh of every parameter once a view is attached, its answers of its own,
// and that no exception of the derived class reaches the host.

#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_Errors.h"
#include "AAX_UIDs.h"
#include "HostString.h"
#include "HostTestSupport.h"
#include "HostViewContainer.h"

#include <algorithm>
#include <functional>
#include <new>
#include <tuple>

namespace
{
int kNativeView = 0;

HostCall Derived(std::vector<std::string> what)
{
    return {"Plug-in", "derived", -1, std::move(what)};
}

// An effect whose parameter list the tests set; it logs what the GUI base asks of it.
class TestEffect : public AAX_CEffectParameters
{
public:
    explicit TestEffect(HostEnvironment& host) : mHost(host) {}

    AAX_Result GetNumberOfParameters(int32_t* oCount) const override
    {
        mHost.log().add(Derived({"GetNumberOfParameters"}));
        *oCount = count;
        return countResult;
    }
    AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* oID) const override
    {
        mHost.log().add(Derived({"GetParameterIDFromIndex", std::to_string(index)}));
        oID->Set(("p" + std::to_string(index)).c_str());
        return index == failingIndex ? AAX_ERROR_INVALID_PARAMETER_INDEX : AAX_SUCCESS;
    }

    int32_t count = 3;
    AAX_Result countResult = AAX_SUCCESS;
    int32_t failingIndex = -1;

private:
    HostEnvironment& mHost;
};

// A GUI that logs the calls the base makes to it, and throws from one of them where told to.
class TestGUI : public AAX_CEffectGUI
{
public:
    explicit TestGUI(HostEnvironment& host) : mHost(host) {}
    using AAX_CEffectGUI::GetEffectParameters;

    AAX_Result ParameterUpdated(AAX_CParamID id) override
    {
        record({"ParameterUpdated", id});
        return AAX_SUCCESS;
    }

    std::string throwIn;

private:
    void CreateViewContents() override { record({"CreateViewContents"}); }
    void CreateViewContainer() override
    {
        const bool nativeView = GetViewContainerPtr() == &kNativeView;
        record({"CreateViewContainer", std::to_string(GetViewContainerType()), nativeView ? "native view" : "none"});
    }
    void DeleteViewContainer() override
    {
        record({"DeleteViewContainer", GetEffectParameters() ? "effect held" : "no effect"});
    }
    void record(std::vector<std::string> what)
    {
        if (what[0] == throwIn)
            throw std::bad_alloc();
        mHost.log().add(Derived(std::move(what)));
    }

    HostEnvironment& mHost;
};

class GuiBase : public HostTest
{
protected:
    void SetUp() override
    {
        container->setType(AAX_eViewContainer_Type_HWND);
        container->setNativeView(&kNativeView);
        effect->AddRef();
        context->setEffect(effect);
        gui->AddRef();
    }
    void TearDown() override
    {
        gui->Release();
        context->setEffect(nullptr);
        effect->Release();
        context.reset();
        container.reset();
        HostTest::TearDown();
    }

    // What reached the derived classes and the host's methods, releases included, in order.
    std::vector<HostCall> Sequence() const
    {
        std::vector<HostCall> calls;
        for (const HostCall& call : host.log().all())
            if (call.method == -1 || call.method >= 2)
                calls.push_back(call);
        return calls;
    }

    HostRef<HostContext> context = makeContext();
    HostRef<HostViewContainer> container = makeHostObject<HostViewContainer>(host);
    TestEffect* effect = new TestEffect(host);
    TestGUI* gui = new TestGUI(host);
};

const HostCall kReleaseV1{"ViewContainer", "IAAXViewContainerV1", 2, {}};
const HostCall kReleaseV2{"ViewContainer", "IAAXViewContainerV2", 2, {}};
const std::vector<HostCall> kAttach{{"ViewContainer", "IAAXViewContainerV1", 4, {}},
                                    {"ViewContainer", "IAAXViewContainerV1", 3, {}},
                                    Derived({"CreateViewContainer", "3", "native view"}),
                                    Derived({"GetNumberOfParameters"}),
                                    Derived({"GetParameterIDFromIndex", "0"}),
                                    Derived({"ParameterUpdated", "p0"}),
                                    Derived({"GetParameterIDFromIndex", "1"}),
                                    Derived({"ParameterUpdated", "p1"}),
                                    Derived({"GetParameterIDFromIndex", "2"}),
                                    Derived({"ParameterUpdated", "p2"})};

TEST_F(GuiBase, OpensRefreshesEveryParameterAndClosesInAFixedSequence)
{
    // Without a host only a controller on nothing is made, and no view; detaching what was never attached
    // still tells the derived class.
    EXPECT_EQ(gui->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(gui->SetViewContainer(nullptr), AAX_SUCCESS);
    EXPECT_EQ(Sequence(), std::vector<HostCall>{Derived({"DeleteViewContainer", "no effect"})});

    host.log().clear();
    EXPECT_EQ(gui->Initialize(context->unknown()), AAX_SUCCESS);
    EXPECT_EQ(gui->GetEffectParameters(), effect);
    EXPECT_EQ(Sequence(), std::vector<HostCall>{Derived({"CreateViewContents"})});

    host.log().clear();
    EXPECT_EQ(gui->SetViewContainer(container->unknown()), AAX_SUCCESS);
    EXPECT_EQ(Sequence(), kAttach);

    // A second container replaces the first: its proxy goes first, and nothing is detached.
    host.log().clear();
    EXPECT_EQ(gui->SetViewContainer(container->unknown()), AAX_SUCCESS);
    std::vector<HostCall> replaced{kReleaseV1, kReleaseV2};
    replaced.insert(replaced.end(), kAttach.begin(), kAttach.end());
    EXPECT_EQ(Sequence(), replaced);

    host.log().clear();
    EXPECT_EQ(gui->SetViewContainer(nullptr), AAX_SUCCESS);
    EXPECT_EQ(Sequence(),
              (std::vector<HostCall>{Derived({"DeleteViewContainer", "effect held"}), kReleaseV1, kReleaseV2}));

    // Uninitialize detaches a view still attached before it gives anything back; a second one does nothing.
    gui->SetViewContainer(container->unknown());
    host.log().clear();
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    const std::vector<HostCall> sequence = Sequence();
    EXPECT_EQ(sequence.at(0), Derived({"DeleteViewContainer", "effect held"}));
    const auto releases =
        std::count_if(sequence.begin(), sequence.end(), [](const HostCall& call) { return call.method == 2; });
    EXPECT_EQ(releases, 2 + 6 + 3) << "view container, controller and transport references";
    EXPECT_EQ(gui->GetEffectParameters(), nullptr);
    host.log().clear();
    EXPECT_EQ(gui->Uninitialize(), AAX_SUCCESS);
    EXPECT_EQ(Sequence(), std::vector<HostCall>());
}

// Which parameters are refreshed when the effect answers less than it should.
struct RefreshCase
{
    const char* name;
    int32_t count;
    AAX_Result countResult;
    int32_t failingIndex;
    bool hostRefusesEffect;
    std::vector<std::string> idQuestionsAndRefreshes;
};

TEST_F(GuiBase, RefreshesWhatTheEffectNamesAndSkipsWhatItCannot)
{
    const RefreshCase cases[] = {
        {"all three", 3, AAX_SUCCESS, -1, false, {"0", "p0", "1", "p1", "2", "p2"}},
        {"none", 0, AAX_SUCCESS, -1, false, {}},
        {"negative count", -1, AAX_SUCCESS, -1, false, {}},
        {"count fails", 3, AAX_ERROR_NOT_INITIALIZED, -1, false, {}},
        {"one ID fails", 3, AAX_SUCCESS, 1, false, {"0", "p0", "1", "2", "p2"}},
        {"host refuses the effect", 3, AAX_SUCCESS, -1, true, {}},
    };
    for (const RefreshCase& c : cases)
    {
        std::tie(effect->count, effect->countResult, effect->failingIndex) =
            std::tie(c.count, c.countResult, c.failingIndex);
        if (c.hostRefusesEffect)
            host.configuration().refuseInterface(IID_IAAXEffectParametersV1);
        EXPECT_EQ(gui->Initialize(context->unknown()), AAX_SUCCESS) << c.name;
        host.log().clear();
        gui->SetViewContainer(container->unknown());
        std::vector<std::string> asked;
        for (const HostCall& call : Sequence())
            if (call.method == -1 && call.arguments.size() == 2) // an ID asked for or a parameter refreshed
                asked.push_back(call.arguments[1]);
        EXPECT_EQ(asked, c.idQuestionsAndRefreshes) << c.name;
        gui->Uninitialize();
        host.configuration().offerInterface(IID_IAAXEffectParametersV1);
    }
}

TEST_F(GuiBase, AnswersOfItsOwnNeverClaimWhatItDoesNotHave)
{
    AAX_Point size{12, 34};
    EXPECT_EQ(gui->AAX_CEffectGUI::GetViewSize(&size), AAX_ERROR_UNIMPLEMENTED) << "it has no view and no size";
    EXPECT_EQ(size.vert, 12);
    EXPECT_EQ(size.horz, 34);
    HostString label("untouched");
    EXPECT_EQ(gui->GetCustomLabel(AAX_ePlugInStrings_Analysis, &label), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(label.text(), "untouched");
}

TEST_F(GuiBase, AnswersItsOwnInterfaceAndDefersTheRest)
{
    void* out = nullptr;
    EXPECT_EQ(gui->QueryInterface(IID_IAAXEffectGUIV1, &out), ACF_OK);
    EXPECT_EQ(out, static_cast<AAX_IACFEffectGUI*>(gui));
    EXPECT_EQ(gui->Release(), 1u) << "the query added one reference";
    EXPECT_EQ(gui->QueryInterface(IID_IACFUnknown, &out), ACF_OK);
    static_cast<IACFUnknown*>(out)->Release();
    EXPECT_EQ(gui->QueryInterface(IID_IAAXEffectParametersV1, &out), ACF_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

// An exception of the derived class (here: running out of memory) ends at the host-facing operation, which
// answers a failure; detaching and Uninitialize still give back what they hold.
TEST_F(GuiBase, NoExceptionReachesTheHost)
{
    const std::pair<const char*, std::function<AAX_Result(TestGUI&, IACFUnknown*, IACFUnknown*)>> cases[] = {
        {"CreateViewContents", [](TestGUI& g, IACFUnknown* h, IACFUnknown*) { return g.Initialize(h); }},
        {"CreateViewContainer",
         [](TestGUI& g, IACFUnknown* h, IACFUnknown* v) {
             g.Initialize(h);
             return g.SetViewContainer(v);
         }},
        {"ParameterUpdated",
         [](TestGUI& g, IACFUnknown* h, IACFUnknown* v) {
             g.Initialize(h);
             return g.SetViewContainer(v);
         }},
        {"DeleteViewContainer",
         [](TestGUI& g, IACFUnknown*, IACFUnknown* v) {
             g.SetViewContainer(v);
             return g.SetViewContainer(nullptr);
         }},
        {"DeleteViewContainer",
         [](TestGUI& g, IACFUnknown* h, IACFUnknown* v) {
             g.Initialize(h);
             g.SetViewContainer(v);
             return g.Uninitialize();
         }},
    };
    for (const auto& [throwIn, drive] : cases)
    {
        gui->throwIn = throwIn;
        AAX_Result result = AAX_SUCCESS;
        EXPECT_NO_THROW(result = drive(*gui, context->unknown(), container->unknown())) << throwIn;
        EXPECT_EQ(result, AAX_ERROR_UNKNOWN_EXCEPTION) << throwIn;
        gui->throwIn.clear();
        gui->Uninitialize();
        EXPECT_EQ(container->referenceCount(), 1u) << throwIn << ": the container proxy is gone";
    }
}
} // namespace
