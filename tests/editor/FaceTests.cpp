#include "EditorTestSupport.h"

#include <limits>

using namespace editor_test;
using Piece = kelvane::face::Piece;

namespace
{
// The window as it must look, put together from the artwork at the places the face is specified by.
juce::Image expectedPicture(bool vocalBackground, const char* readout, int readoutX, double meterLeft,
                            double meterRight, bool enableOn, bool vocalOn, int knobTop)
{
    juce::Image image(juce::Image::ARGB, 256, 480, true);
    juce::Graphics g(image);
    const auto part = [&](Piece piece, juce::Rectangle<int> source, int x, int y) {
        g.drawImageAt(embeddedArtwork(piece).getClippedImage(source), x, y);
    };

    g.drawImageAt(embeddedArtwork(vocalBackground ? Piece::vocalBackground : Piece::background), 0, 0);

    for (auto x = readoutX; *readout != 0; ++readout)
    {
        if (*readout == '.')
            part(Piece::decimalPoint, {0, 0, 8, 22}, x, 372);
        else
            part(Piece::digits, {0, 22 * (*readout == '-' ? 10 : juce::jlimit(0, 9, *readout - '0')), 16, 22}, x, 372);

        x += *readout == '.' ? 8 : 16;
    }

    for (auto [x, step] : {std::pair{47, meterLeft}, std::pair{117, meterRight}})
        if (const auto lit = std::isnan(step) ? 0 : 27 * (int)step; lit > 0)
            part(Piece::meterStrip, {0, 300 - lit, 34, lit}, x, 387 - lit);

    part(Piece::enableSwitch, {0, enableOn ? 44 : 0, 44, 44}, 12, 12);
    part(Piece::vocalSwitch, {0, vocalOn ? 39 : 0, 109, 39}, 130, 425);
    g.drawImageAt(embeddedArtwork(Piece::logo), 95, 12);
    g.reduceClipRegion(180, 62, 55, 275);
    g.drawImageAt(embeddedArtwork(Piece::knob), 180, 62 + knobTop);
    return image;
}
} // namespace

TEST(Face, ShowsTheParametersTheMetersAndTheControls)
{
    const auto nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        float level, enable, vocal;
        double meterLeft, meterRight;
        bool refreshed; // then the expected readout and its first x, switch frames and knob top
        const char* readout;
        int readoutX;
        bool enableOn, vocalOn;
        int knobTop;
    } cases[] = {
        // Before the first refresh both switches show on and the fader stands at 0, whatever the parameters.
        {0.5f, 1, 0, 0, 0, false, "-4.5", 193, true, true, 204},
        {0.798f, 0, 0, 11, 0, false, "-0.0", 193, true, true, 204},
        {0.8f, 1, 0, 0, 1, false, "0.0", 209, true, true, 204},
        {0.0f, 1, 0, 1, 11, true, "-12.0", 177, true, false, 204},
        {1.0f, 0, 1, 5, 2, true, "3.0", 209, false, true, -1},
        {0.5f, 1, 1, nan, 11, true, "-4.5", 193, true, true, 101},
    };

    for (const auto& c : cases)
    {
        Window window([&](KelvaneAudioProcessor& p) {
            p.levelParameter->setValueNotifyingHost(c.level);
            p.enableParameter->setValueNotifyingHost(c.enable);
            p.vocalParameter->setValueNotifyingHost(c.vocal);
        });
        window.editor->stopTimer(); // only the refresh below, however slow the run
        window.processor.meterStepLeft = c.meterLeft;
        window.processor.meterStepRight = c.meterRight;

        const HostView host(window.processor);
        if (c.refreshed)
            window.editor->timerCallback(); // brings the controls in line without sending anything back
        waitFor([] { return false; }, 10);
        EXPECT_TRUE(host.events.isEmpty());

        window.editor->handleAsyncUpdate();
        const auto expected = expectedPicture(c.vocal > 0, c.readout, c.readoutX, c.meterLeft, c.meterRight, c.enableOn,
                                              c.vocalOn, c.knobTop);
        EXPECT_TRUE(samePixels(window.picture(), expected)) << "level " << c.level << ", meters " << c.meterLeft;
    }
}

TEST(Face, ArtworkPreviewDrawsWhatTheWindowDrawsBadgeIncluded)
{
    Window window([](KelvaneAudioProcessor& p) { p.levelParameter->setValueNotifyingHost(0.4f); });
    window.processor.meterStepLeft = 8.0;
    window.editor->timerCallback();
    window.editor->handleAsyncUpdate();
    window.badge().setVisible(true); // as a refresh tick on screen shows it

    const auto level = (double)window.processor.levelParameter->get();
    kelvane::face::State state;
    state.gainDb = level * 15.0 - 12.0;
    state.meterStepLeft = 8.0;
    state.vocalOn = false;
    const auto picture = window.picture();
    EXPECT_TRUE(samePixels(picture, kelvane::face::renderWindowPicture(embeddedArtwork, state, level, true)));

    // The badge: a red disc with a white exclamation mark, its corners clear.
    for (auto [x, y] : {std::pair{12, 2}, {3, 12}, {12, 15}, {12, 22}, {20, 12}})
        EXPECT_EQ(picture.getPixelAt(226 + x, 6 + y).getARGB(), 0xFFFF0000u) << x << "," << y;
    for (auto [x, y] : {std::pair{11, 6}, {12, 13}, {11, 18}})
        EXPECT_EQ(picture.getPixelAt(226 + x, 6 + y).getARGB(), 0xFFFFFFFFu) << x << "," << y;
    EXPECT_EQ(picture.getPixelAt(226, 6), embeddedArtwork(Piece::background).getPixelAt(226, 6));
}
