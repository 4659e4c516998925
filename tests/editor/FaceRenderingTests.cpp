#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace editor_test;

namespace
{
constexpr int glyphWidth = 16, glyphHeight = 22;
constexpr int minus = 10;

/** The face as it must look, put together from the artwork at the coordinates the window is laid out by. */
class ReferenceFace
{
public:
    explicit ReferenceFace (bool vocalBackground) : image (juce::Image::ARGB, 256, 480, true), g (image)
    {
        g.drawImageAt (artwork (vocalBackground ? 2 : 1), 0, 0);
    }

    ReferenceFace& glyph (int index, int x)
    {
        return part (artwork (7), 0, index * glyphHeight, glyphWidth, glyphHeight, x, 372);
    }

    ReferenceFace& point (int x) { return part (artwork (3), 0, 0, 8, 22, x, 372); }

    ReferenceFace& meter (int x, int litRows)
    {
        return litRows > 0 ? part (artwork (5), 0, 300 - litRows, 34, litRows, x, 387 - litRows) : *this;
    }

    ReferenceFace& switches (bool enableOn, bool vocalOn)
    {
        part (artwork (4), 0, enableOn ? 44 : 0, 44, 44, 12, 12);
        return part (artwork (9), 0, vocalOn ? 39 : 0, 109, 39, 130, 425);
    }

    juce::Image finish()
    {
        g.drawImageAt (artwork (6), 95, 12);
        return image;
    }

private:
    ReferenceFace& part (const juce::Image& art, int sx, int sy, int w, int h, int x, int y)
    {
        g.drawImageAt (art.getClippedImage ({ sx, sy, w, h }), x, y);
        return *this;
    }

    juce::Image image;
    juce::Graphics g;
};

struct Window
{
    explicit Window (float level = 0.5f)
    {
        processor.levelParameter->setValueNotifyingHost (level);
        editor = std::make_unique<KelvaneAudioProcessorEditor> (processor);
    }

    juce::Image render()
    {
        EditorProbe::render (*editor);
        return EditorProbe::face (*editor);
    }

    void setSwitches (bool enableOn, bool vocalOn)
    {
        EditorProbe::enableButton (*editor)->setToggleState (enableOn, juce::dontSendNotification);
        EditorProbe::vocalButton (*editor)->setToggleState (vocalOn, juce::dontSendNotification);
    }

    KelvaneAudioProcessor processor;
    std::unique_ptr<KelvaneAudioProcessorEditor> editor;
};
} // namespace

TEST (FaceArtwork, ImagesHaveTheirLayoutAndCanShowPositions)
{
    const int sizes[9][2] = { { 256, 480 }, { 256, 480 }, { 8, 22 }, { 44, 88 }, { 34, 300 },
                              { 164, 49 }, { 16, 242 }, { 55, 72 }, { 109, 78 } };

    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ (artwork (i + 1).getWidth(), sizes[i][0]) << "temp" << i + 1;
        EXPECT_EQ (artwork (i + 1).getHeight(), sizes[i][1]) << "temp" << i + 1;
    }

    // Without these differences the pixel checks below could not see a misplaced draw.
    const auto differ = [] (const juce::Image& a, const juce::Image& b) { return ! samePixels (a, b); };

    EXPECT_TRUE (differ (artwork (1), artwork (2)));
    const auto glyphs = artwork (7);
    for (int k = 0; k < 10; ++k)
        EXPECT_TRUE (differ (glyphs.getClippedImage ({ 0, k * 22, 16, 22 }), glyphs.getClippedImage ({ 0, (k + 1) * 22, 16, 22 })))
            << "glyphs " << k << " and " << k + 1;
    EXPECT_TRUE (differ (artwork (4).getClippedImage ({ 0, 0, 44, 44 }), artwork (4).getClippedImage ({ 0, 44, 44, 44 })));
    EXPECT_TRUE (differ (artwork (9).getClippedImage ({ 0, 0, 109, 39 }), artwork (9).getClippedImage ({ 0, 39, 109, 39 })));
}

TEST (FaceRendering, FirstFaceShowsReadoutOfTheLevelAndBothSwitchesOn)
{
    Window window (0.5f); // -4.5 dB
    EXPECT_DOUBLE_EQ (EditorProbe::gainDbDisplay (*window.editor), -4.5);
    const auto expected = ReferenceFace (false).glyph (minus, 193).glyph (4, 209).point (225).glyph (5, 233)
                              .switches (true, true).finish();
    EXPECT_TRUE (samePixels (EditorProbe::face (*window.editor), expected));
}

TEST (FaceRendering, ReadoutOfMinusTwelveStartsAt177)
{
    Window window (0.0f);
    const auto expected = ReferenceFace (false).glyph (minus, 177).glyph (1, 193).glyph (2, 209).point (225)
                              .glyph (0, 233).switches (true, true).finish();
    EXPECT_TRUE (samePixels (EditorProbe::face (*window.editor), expected));
}

TEST (FaceRendering, ReadoutOfThreeStartsAt209)
{
    Window window (1.0f);
    const auto expected = ReferenceFace (false).glyph (3, 209).point (225).glyph (0, 233).switches (true, true).finish();
    EXPECT_TRUE (samePixels (EditorProbe::face (*window.editor), expected));
}

TEST (FaceRendering, LevelJustBelowZeroDecibelsReadsMinusZero)
{
    Window window (0.798f);
    const auto expected = ReferenceFace (false).glyph (minus, 193).glyph (0, 209).point (225).glyph (0, 233)
                              .switches (true, true).finish();
    EXPECT_TRUE (samePixels (EditorProbe::face (*window.editor), expected));

    Window atZero (0.8f);
    const auto zero = ReferenceFace (false).glyph (0, 209).point (225).glyph (0, 233).switches (true, true).finish();
    EXPECT_TRUE (samePixels (EditorProbe::face (*atZero.editor), zero));
}

TEST (FaceRendering, NonFiniteReadoutDrawsGlyphZeroForLetters)
{
    Window window;
    EditorProbe::setGainDbDisplay (*window.editor, -std::numeric_limits<double>::infinity()); // "-inf"
    const auto expected = ReferenceFace (false).glyph (minus, 193).glyph (0, 209).glyph (0, 225).glyph (0, 241)
                              .switches (true, true).finish();
    EXPECT_TRUE (samePixels (window.render(), expected));
}

TEST (FaceRendering, ReadoutLongerThanFiveCharactersIsCut)
{
    Window window;
    EditorProbe::setGainDbDisplay (*window.editor, -123.4); // "-123.4" shows as "-123."
    const auto expected = ReferenceFace (false).glyph (minus, 177).glyph (1, 193).glyph (2, 209).glyph (3, 225)
                              .point (241).switches (true, true).finish();
    EXPECT_TRUE (samePixels (window.render(), expected));
}

TEST (FaceRendering, MetersLightOneSegmentPerStepFromTheBottom)
{
    Window window;

    for (auto [left, right] : { std::pair { 0.0, 1.0 }, std::pair { 1.0, 11.0 }, std::pair { 11.0, 0.0 } })
    {
        window.processor.meterStepLeft = left;
        window.processor.meterStepRight = right;
        const auto expected = ReferenceFace (false).glyph (minus, 193).glyph (4, 209).point (225).glyph (5, 233)
                                  .meter (47, (int) (27 * left)).meter (117, (int) (27 * right))
                                  .switches (true, true).finish();
        EXPECT_TRUE (samePixels (window.render(), expected)) << "steps " << left << ", " << right;
    }
}

TEST (FaceRendering, MeterStepElevenLeavesTheTopThreeRowsDark)
{
    Window window;
    window.processor.meterStepLeft = 11.0;
    const auto face = window.render();
    const auto background = artwork (1);

    // Rows 87..89 of the meter column show the background, rows 90..386 the strip's rows 3..299.
    for (int x = 47; x < 47 + 34; ++x)
        for (int y = 87; y < 90; ++y)
            ASSERT_EQ (face.getPixelAt (x, y), background.getPixelAt (x, y)) << x << "," << y;

    juce::Image expected (juce::Image::ARGB, 34, 297, true);
    {
        juce::Graphics g (expected);
        g.drawImageAt (background.getClippedImage ({ 47, 90, 34, 297 }), 0, 0);
        g.drawImageAt (artwork (5).getClippedImage ({ 0, 3, 34, 297 }), 0, 0);
    }

    for (int y = 0; y < 297; ++y)
        for (int x = 0; x < 34; ++x)
            ASSERT_EQ (face.getPixelAt (47 + x, 90 + y), expected.getPixelAt (x, y)) << x << "," << y;
}

TEST (FaceRendering, MeterStepsOutsideTheirRangeDoNotBreakTheFace)
{
    Window window;

    for (double step : { -3.0, 40.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() })
    {
        window.processor.meterStepLeft = step;
        window.processor.meterStepRight = step;
        const auto face = window.render();
        EXPECT_EQ (face.getWidth(), 256);
    }

    window.processor.meterStepLeft = std::numeric_limits<double>::quiet_NaN();
    window.processor.meterStepRight = 0.0;
    const auto dark = ReferenceFace (false).glyph (minus, 193).glyph (4, 209).point (225).glyph (5, 233)
                          .switches (true, true).finish();
    EXPECT_TRUE (samePixels (window.render(), dark));
}

TEST (FaceRendering, SwitchFramesFollowTheButtonStates)
{
    Window window;

    for (auto [enableOn, vocalOn] : { std::pair { false, false }, std::pair { true, false }, std::pair { false, true } })
    {
        window.setSwitches (enableOn, vocalOn);
        const auto expected = ReferenceFace (false).glyph (minus, 193).glyph (4, 209).point (225).glyph (5, 233)
                                  .switches (enableOn, vocalOn).finish();
        EXPECT_TRUE (samePixels (window.render(), expected)) << enableOn << vocalOn;
    }
}

TEST (FaceRendering, BackgroundFollowsTheVocalParameterNotTheButton)
{
    Window window;
    window.setSwitches (true, false);

    window.processor.vocalParameter->setValueNotifyingHost (1.0f);
    const auto vocal = ReferenceFace (true).glyph (minus, 193).glyph (4, 209).point (225).glyph (5, 233)
                           .switches (true, false).finish();
    EXPECT_TRUE (samePixels (window.render(), vocal));

    window.processor.vocalParameter->setValueNotifyingHost (0.0f);
    const auto normal = ReferenceFace (false).glyph (minus, 193).glyph (4, 209).point (225).glyph (5, 233)
                            .switches (true, false).finish();
    EXPECT_TRUE (samePixels (window.render(), normal));
}

TEST (FaceRendering, PaintCopiesTheCanvasUnchanged)
{
    Window window;
    window.processor.meterStepLeft = 5.0;
    const auto face = window.render().createCopy();

    juce::Image screen (juce::Image::ARGB, 256, 480, true);
    {
        juce::Graphics g (screen);
        window.editor->paint (g);
    }
    EXPECT_TRUE (samePixels (screen, face));
}
