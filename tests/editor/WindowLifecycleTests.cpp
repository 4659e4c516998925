#include "EditorTestSupport.h"
#include "LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace editor_test;

TEST (WindowLifecycle, OpenCloseReopenBuildsTwoEditorsWithTwoChecks)
{
    LoopbackHttpServer server ({ 202 });
    const auto previous = updateServerBase();
    setUpdateServerForTesting (server.base());

    KelvaneAudioProcessor processor;
    std::weak_ptr<std::atomic<bool>> firstFlag, secondFlag;

    {
        OpenWindow first (processor);
        ASSERT_NE (dynamic_cast<KelvaneAudioProcessorEditor*> (first.editor), nullptr);
        EXPECT_EQ (processor.getActiveEditor(), first.editor);
        firstFlag = EditorProbe::updateFlag (first.window());
        ASSERT_TRUE (waitForUpdateChecksToEnd());
        EXPECT_TRUE (firstFlag.lock()->load());
    }
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    EXPECT_TRUE (firstFlag.expired()) << "the closed editor's flag must be dropped";

    {
        OpenWindow second (processor);
        auto* editor = dynamic_cast<KelvaneAudioProcessorEditor*> (second.editor);
        ASSERT_NE (editor, nullptr);
        secondFlag = EditorProbe::updateFlag (*editor);
        EXPECT_FALSE (secondFlag.lock()->load()) << "a new editor starts without the old answer";
        EXPECT_FALSE (EditorProbe::noticeButton (*editor).isVisible());
        ASSERT_TRUE (waitForUpdateChecksToEnd());
    }
    EXPECT_TRUE (secondFlag.expired());

    setUpdateServerForTesting (previous);
    EXPECT_EQ (server.requestLines().size(), 2u);
}

TEST (WindowLifecycle, ClosingAShowingWindowWithARenderPendingIsSafe)
{
    KELVANE_REQUIRE_DISPLAY();
    KelvaneAudioProcessor processor;
    {
        OpenWindow open (processor);
        auto& window = open.window();
        showOnDesktop (window);
        window.timerCallback();
        ASSERT_TRUE (window.isUpdatePending());
    }
    // The cancelled render and the stopped timer leave nothing behind for the message loop.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (120);
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
}

TEST (WindowLifecycle, LanguageFontIsAppliedAtEveryOpening)
{
    auto& lf = juce::Desktop::getInstance().getDefaultLookAndFeel();
    const auto resolvedName = [&] { return lf.getTypefaceForFont (juce::Font (14.0f))->getName(); };

    lf.setDefaultSansSerifTypefaceName ("Sentinel Face");
    const auto sentinel = resolvedName();

    {
        KelvaneAudioProcessor processor;
        KelvaneAudioProcessorEditor editor (processor);
    }

    const auto language = currentUiLanguage();
    const auto expected = language == UiLanguage::English ? sentinel : languageTypefaceName (language);
    EXPECT_EQ (resolvedName(), expected);
    lf.setDefaultSansSerifTypefaceName ({});
}
