#include "EditorTestSupport.h"
#include "LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace editor_test;

TEST (WindowLifecycle, OpenCloseReopenBuildsTwoEditorsWithTwoChecks)
{
    LoopbackHttpServer server ({ 202 });
    const ScopedUpdateServer askThisServer (server.base());

    KelvaneAudioProcessor processor;
    std::weak_ptr<std::atomic<bool>> firstFlag, secondFlag;
    std::vector<juce::Component::SafePointer<juce::Component>> firstControls;

    {
        OpenWindow first (processor);
        ASSERT_NE (dynamic_cast<KelvaneAudioProcessorEditor*> (first.editor), nullptr);
        EXPECT_EQ (processor.getActiveEditor(), first.editor);
        firstFlag = EditorProbe::updateFlag (first.window());
        ASSERT_TRUE (waitForUpdateChecksToEnd());
        EXPECT_TRUE (firstFlag.lock()->load());

        for (auto* control : first.editor->getChildren())
            firstControls.emplace_back (control);
        ASSERT_EQ (firstControls.size(), 5u);
    }
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    EXPECT_TRUE (firstFlag.expired()) << "the closed editor's flag must be dropped";
    for (const auto& control : firstControls)
        EXPECT_EQ (control.getComponent(), nullptr) << "a control outlived its window";

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
    const auto sansSerifName = [&] { return lf.getTypefaceForFont (juce::Font (14.0f))->getName(); };
    lf.setDefaultSansSerifTypefaceName ("Sentinel Face");
    const auto sentinel = sansSerifName(); // what a name that no font has resolves to
    ASSERT_NE (sentinel, "Droid Sans Fallback");
    KelvaneAudioProcessor processor;

    ScopedPreferredLanguage language ("ja_JP.UTF-8");
    lf.setDefaultSansSerifTypefaceName ("Sentinel Face");
    OpenWindow (processor).close();
    EXPECT_EQ (sansSerifName(), "Droid Sans Fallback");

    // The next opening applies it again; an English one leaves what was there.
    lf.setDefaultSansSerifTypefaceName ("Sentinel Face");
    language.change ("zh_TW.UTF-8");
    OpenWindow (processor).close();
    EXPECT_EQ (sansSerifName(), "Droid Sans Fallback");

    lf.setDefaultSansSerifTypefaceName ("Sentinel Face");
    language.change ("en_US.UTF-8");
    OpenWindow (processor).close();
    EXPECT_EQ (sansSerifName(), sentinel);

    lf.setDefaultSansSerifTypefaceName ({});
}
