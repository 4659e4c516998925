// The window's update check runs on a detached thread of the plug-in and may outlive its window. A bundle
// built like the real one but asking a loopback server that never answers shows that neither unloading nor
// quitting runs plug-in code that is gone: ACFCanUnloadNow counts a running check, closing the window
// abandons it, and a process that quits while one waits ends cleanly.
#include "AAX_IACFEffectGUI.h"
#include "AAX_UIDs.h"
#include "BundleTestSupport.h"
#include "HostEnvironment.h"

#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace bundle_test;

namespace
{
// Takes connections into its backlog and never answers them.
class StalledServer
{
public:
    StalledServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(KELVANE_STALLED_PORT);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int reuse = 1;
        setsockopt(mSocket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        mListening =
            bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(mSocket, 8) == 0;
    }
    ~StalledServer() { close(mSocket); }
    bool listening() const { return mListening; }

private:
    int mSocket = socket(AF_INET, SOCK_STREAM, 0);
    bool mListening = false;
};

// The effect's window, opened as a host opens it (the GUI object initialised with a context that knows the
// effect); the window's check starts with it. Closed by destruction.
class OpenWindow
{
public:
    OpenWindow(const HostPlugIn& plugIn, HostInstance& instance)
        : mContext(makeHostObject<HostContext>(plugIn.environment()))
    {
        auto* const create =
            reinterpret_cast<IACFUnknown* (*)()>(plugIn.effect().procPtr(kAAX_ProcPtrID_Create_EffectGUI));
        void* gui = nullptr;
        create()->QueryInterface(IID_IAAXEffectGUIV1, &gui);
        mGui = static_cast<AAX_IACFEffectGUI*>(gui);
        mContext->setEffect(&instance.effect());
        EXPECT_EQ(mGui->Initialize(mContext->unknown()), 0);
    }
    ~OpenWindow()
    {
        mGui->Uninitialize();
        mGui->Release();
        mContext->setEffect(nullptr);
    }

private:
    HostRef<HostContext> mContext;
    AAX_IACFEffectGUI* mGui = nullptr;
};

// A host that quits while it holds an instance with its window open and the window's check waiting.
[[noreturn]] void quitWithTheWindowOpen()
{
    struct QuittingHost
    {
        HostEnvironment host;
        HostPlugIn plugIn{host, KELVANE_LOOPBACK_BUNDLE_PATH};
        HostInstance instance{plugIn, setupFor(2, 48000.0f)};
        OpenWindow window{plugIn, instance};
    };
    static const QuittingHost* const quitting = new QuittingHost; // held to the end, as by a host that quits
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::exit(quitting->plugIn.bundle().canUnloadNow(nullptr) == 3 ? 0 : 1);
}

TEST(UnloadSafety, ACheckThatWaitsKeepsTheBundleLoadedUntilItsWindowClosesIt)
{
    const StalledServer server;
    ASSERT_TRUE(server.listening()) << "port " << KELVANE_STALLED_PORT << " is taken";
    HostEnvironment host;
    HostPlugIn plugIn(host, KELVANE_LOOPBACK_BUNDLE_PATH);
    const std::string binary = plugIn.bundle().binaryPath();
    {
        HostInstance instance(plugIn, setupFor(2, 48000.0f));
        const OpenWindow window(plugIn, instance);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        // The effect, the GUI object and the check that waits for the server.
        EXPECT_EQ(plugIn.bundle().canUnloadNow(nullptr), 3);
    }
    const auto closed = std::chrono::steady_clock::now();
    plugIn.finish();
    // Well before the check would have given up on the server by itself (3 s after it began).
    EXPECT_LT(std::chrono::steady_clock::now() - closed, std::chrono::milliseconds(2000))
        << "the check was not abandoned";
    EXPECT_EQ(dlopen(binary.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(UnloadSafety, QuittingWhileACheckWaitsEndsCleanly)
{
    // The child that quits runs this test again from the start; the parent's server serves it.
    const StalledServer server;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The host quits with the window open: the bundle's statics wait for the check, which gives up on the
    // server after its 3 s, and only then go; nothing the sanitizers see goes wrong on the way.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EXIT(quitWithTheWindowOpen(), ::testing::ExitedWithCode(0), "");
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}
} // namespace
