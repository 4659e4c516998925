// kelvane_host opens the plug-in's window on a fresh Xvfb of its own: no window manager, no atoms made by anyone
// before, and a host whose window makes only its own; the window works there only if the plug-in makes the
// window-manager atoms itself.

#include "HostWindowTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace host_window_test
{
namespace
{
// Only the suite's proxy settings: the host program loads the plug-in, not this process.
class BareDisplay : public HostWindowTest
{
protected:
    void SetUp() override {}
};

TEST_F(BareDisplay, HostOpensThePlugInsWindowSeesItPaintAndEndsNormally)
{
    const auto folder = std::filesystem::temp_directory_path() / ("kelvane-bare-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // The preview tool's "disabled" state: switched off, level at the top, meters dark (no audio).
    const std::string hostCommand = "xvfb-run -a -s '-screen 0 1280x1024x24' '" KELVANE_HOST_PROGRAM
                                    "' window '" KELVANE_BUNDLE_PATH
                                    "' --set dbEnable=0 --set dbMain=1 --seconds 1 --capture '"
                                    + (folder / "shown.png").string() + "' > /dev/null";
    EXPECT_EQ(std::system(hostCommand.c_str()), 0) << "the host did not end normally";

    ASSERT_EQ(std::system(("'" KELVANE_RENDER_WINDOW_PATH "' '" + folder.string() + "' > /dev/null").c_str()), 0);
    const RgbImage shown = kelvane::host::readPng((folder / "shown.png").string());
    const RgbImage rendered = kelvane::host::readPng((folder / "kelvane-window-disabled.png").string());
    std::filesystem::remove_all(folder);
    const auto difference = kelvane::host::compareImages(shown, rendered, 8);
    EXPECT_LE(difference.shareAbove, 0.001) << "largest difference " << difference.largest;
}
} // namespace
} // namespace host_window_test
