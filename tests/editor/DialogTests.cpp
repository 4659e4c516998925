#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editor_test;
using Shown = RecordingDialogs::Shown;

namespace
{
juce::String utf8 (const char* text) { return juce::String::fromUTF8 (text); }

struct Window
{
    Window() : editor (processor) {}

    void clickLogo() { editor.buttonClicked (&EditorProbe::logoButton (editor)); }
    void clickBadge() { editor.buttonClicked (&EditorProbe::noticeButton (editor)); }

    KelvaneAudioProcessor processor;
    KelvaneAudioProcessorEditor editor;
};
} // namespace

TEST (DialogTexts, EnglishNoticeAndAbout)
{
    const auto t = dialogTextsFor (UiLanguage::English);
    EXPECT_EQ (t.noticeTitle, "New Kelvane is released");
    EXPECT_EQ (t.noticeMessage, "Do you want to get the new version ? ");
    EXPECT_EQ (t.noticeYes, "Yes, open the webpage");
    EXPECT_EQ (t.noticeNo, "No, check later");
    EXPECT_EQ (t.aboutTitle, "About Kelvane");
    EXPECT_EQ (t.aboutButton, "  OK  ");
}

TEST (DialogTexts, JapaneseNoticeAndAbout)
{
    const auto t = dialogTextsFor (UiLanguage::Japanese);
    EXPECT_EQ (t.noticeTitle, utf8 ("新しいバージョンのKelvaneがリリースされています"));
    EXPECT_EQ (t.noticeMessage, utf8 ("Webサイトから新しいバージョンを入手しますか？ "));
    EXPECT_EQ (t.noticeYes, utf8 ("はい"));
    EXPECT_EQ (t.noticeNo, utf8 ("いいえ"));
    EXPECT_EQ (t.aboutTitle, utf8 ("Kelvaneについて"));
    EXPECT_EQ (t.aboutButton, "  OK  ");
}

TEST (DialogTexts, ChineseNoticeAndAbout)
{
    const auto t = dialogTextsFor (UiLanguage::Chinese);
    EXPECT_EQ (t.noticeTitle, utf8 ("新Kelvane发布"));
    EXPECT_EQ (t.noticeMessage, utf8 ("你想获得新版本吗？"));
    EXPECT_EQ (t.noticeYes, utf8 ("是的"));
    EXPECT_EQ (t.noticeNo, utf8 ("没有"));
    EXPECT_EQ (t.aboutTitle, utf8 ("关于Kelvane"));
    EXPECT_EQ (t.aboutButton, "  OK  ");
}

TEST (DialogTexts, AboutMessageHasVersionCreditsAndClosingLine)
{
    for (auto language : { UiLanguage::English, UiLanguage::Japanese, UiLanguage::Chinese })
    {
        const auto message = dialogTextsFor (language).aboutMessage;
        EXPECT_TRUE (message.startsWith ("Version:2.5.4\n\n")) << message;
        EXPECT_FALSE (message.endsWithChar ('\n'));

        juce::StringArray lines;
        lines.addTokens (message, "\n", {});
        ASSERT_EQ (lines.size(), 8) << message;
        EXPECT_TRUE (lines[1].isEmpty());
        for (int i = 2; i < 6; ++i)
            EXPECT_TRUE (lines[i].isNotEmpty());
        EXPECT_TRUE (lines[6].isEmpty());
        EXPECT_TRUE (lines[7].isNotEmpty());
        EXPECT_TRUE (message.contains ("JUCE"));
    }
}

TEST (LogoAndBadge, WithoutANewVersionOnlyTheAboutBoxShows)
{
    const ScopedPreferredLanguage english ("en_US");
    RecordingDialogs dialogs;
    Window window;
    window.clickLogo();

    ASSERT_EQ (dialogs.shown.size(), 1u);
    const auto& about = dialogs.shown[0];
    EXPECT_EQ (about.kind, Shown::alertBox);
    EXPECT_EQ (about.request.icon, juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ (about.request.title, "About Kelvane");
    EXPECT_TRUE (about.request.message.startsWith ("Version:2.5.4\n\n"));
    EXPECT_EQ (about.request.message, dialogTextsFor (UiLanguage::English).aboutMessage);
    EXPECT_EQ (about.request.buttonTexts, juce::StringArray ("  OK  "));
    EXPECT_TRUE (dialogs.openedPages.isEmpty());
}

TEST (LogoAndBadge, WithANewVersionTheNoticeComesFirstThenTheAboutBox)
{
    const ScopedPreferredLanguage english ("en_GB");
    RecordingDialogs dialogs;
    dialogs.answers = { 2, 1 };
    Window window;
    EditorProbe::updateFlag (window.editor)->store (true);
    window.clickBadge();

    ASSERT_EQ (dialogs.shown.size(), 2u);
    const auto& notice = dialogs.shown[0].request;
    EXPECT_EQ (dialogs.shown[0].kind, Shown::alertBox);
    EXPECT_EQ (notice.icon, juce::MessageBoxIconType::WarningIcon);
    EXPECT_EQ (notice.title, "New Kelvane is released");
    EXPECT_EQ (notice.message, "Do you want to get the new version ? ");
    EXPECT_EQ (notice.buttonTexts, juce::StringArray ("Yes, open the webpage", "No, check later"));
    EXPECT_EQ (dialogs.shown[1].request.title, "About Kelvane");
    EXPECT_EQ (dialogs.shown[1].request.icon, juce::MessageBoxIconType::NoIcon);

    // "No, check later" opens no page; the flag stays, so the next click shows the notice again.
    EXPECT_TRUE (dialogs.openedPages.isEmpty());
    EXPECT_TRUE (EditorProbe::updateFlag (window.editor)->load());
}

TEST (LogoAndBadge, ChoosingToGetTheNewVersionOpensTheMakersHomePage)
{
    RecordingDialogs dialogs;
    dialogs.answers = { 1, 1 };
    Window window;
    EditorProbe::updateFlag (window.editor)->store (true);
    window.clickLogo();

    ASSERT_EQ (dialogs.openedPages.size(), 1);
    EXPECT_EQ (dialogs.openedPages[0], makerServerBase() + "/");
    EXPECT_TRUE (dialogs.openedPages[0].startsWith ("https://"));
    EXPECT_EQ (dialogs.shown.size(), 2u);
}

TEST (LogoAndBadge, ClosingTheNoticeOtherwiseOpensNoPage)
{
    RecordingDialogs dialogs;
    dialogs.answers = { 0, 1 };
    Window window;
    EditorProbe::updateFlag (window.editor)->store (true);
    window.clickLogo();

    EXPECT_TRUE (dialogs.openedPages.isEmpty());
    EXPECT_EQ (dialogs.shown.size(), 2u);
}

TEST (LogoAndBadge, EachClickAsksForTheLanguageAnew)
{
    ScopedPreferredLanguage language ("fr_FR.UTF-8");
    RecordingDialogs dialogs;
    dialogs.answers = { 2 };
    Window window;
    EditorProbe::updateFlag (window.editor)->store (true);

    const auto titlesOfClick = [&]
    {
        dialogs.shown.clear();
        window.clickLogo();
        juce::StringArray titles;
        for (const auto& shown : dialogs.shown)
            titles.add (shown.request.title);
        return titles;
    };

    EXPECT_EQ (titlesOfClick(), juce::StringArray ("New Kelvane is released", "About Kelvane"));

    language.change ("ja_JP.UTF-8");
    EXPECT_EQ (titlesOfClick(), juce::StringArray (utf8 ("新しいバージョンのKelvaneがリリースされています"),
                                                   utf8 ("Kelvaneについて")));

    language.change ("zh_CN.UTF-8");
    EXPECT_EQ (titlesOfClick(), juce::StringArray (utf8 ("新Kelvane发布"), utf8 ("关于Kelvane")));
}

TEST (LogoAndBadge, SwitchesAndFaderNeverOpenDialogs)
{
    RecordingDialogs dialogs;
    Window window;
    window.editor.buttonClicked (EditorProbe::enableButton (window.editor));
    EXPECT_TRUE (dialogs.shown.empty());
}

// The desktop's dialogs run real modal loops; each one is answered from the message loop it runs.
TEST (DesktopDialogs, AlertBoxRunsModallyAndReturnsThePressedButton)
{
    KELVANE_REQUIRE_DISPLAY();
    setWindowDialogs (nullptr);
    juce::String seenTitle;
    int seenButtons = 0;

    std::function<void()> answer;
    answer = [&]
    {
        auto* modal = juce::Component::getCurrentlyModalComponent();
        auto* box = dynamic_cast<juce::AlertWindow*> (modal);

        if (box == nullptr)
        {
            juce::MessageManager::callAsync (answer); // the loop has not started yet
            return;
        }

        seenTitle = box->getName();
        seenButtons = box->getNumButtons();
        box->exitModalState (2);
    };
    juce::MessageManager::callAsync (answer);

    AlertBoxRequest request;
    request.icon = juce::MessageBoxIconType::WarningIcon;
    request.title = "New Kelvane is released";
    request.message = "Do you want to get the new version ? ";
    request.buttonTexts = { "Yes, open the webpage", "No, check later" };

    EXPECT_EQ (windowDialogs().runAlertBox (request), 2);
    EXPECT_EQ (seenTitle, request.title);
    EXPECT_EQ (seenButtons, 2);
}

TEST (DesktopDialogs, ParamErrorBoxRunsModallyUntilDismissed)
{
    KELVANE_REQUIRE_DISPLAY();
    setWindowDialogs (nullptr);
    bool answered = false;

    std::function<void()> dismiss;
    dismiss = [&]
    {
        if (auto* box = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent()))
        {
            answered = box->getName() == "ParamError" && box->getNumButtons() == 1;
            box->exitModalState (1);
            return;
        }

        juce::MessageManager::callAsync (dismiss);
    };
    juce::MessageManager::callAsync (dismiss);

    windowDialogs().showMessageBox (juce::MessageBoxIconType::WarningIcon, "ParamError", "paramID : dbOther");
    EXPECT_TRUE (answered);
}
