#include "EditorTestSupport.h"

using namespace editor_test;

namespace
{
juce::String utf8(const char* text)
{
    return juce::String::fromUTF8(text);
}
} // namespace

TEST(DialogTexts, AreTheLanguagesOwn)
{
    const struct
    {
        UiLanguage language;
        const char *noticeTitle, *noticeMessage, *yes, *no, *aboutTitle;
    } cases[] = {
        {UiLanguage::English, "New Kelvane is released", "Do you want to get the new version ? ",
         "Yes, open the webpage", "No, check later", "About Kelvane"},
        {UiLanguage::Japanese, "新しいバージョンのKelvaneがリリースされています",
         "Webサイトから新しいバージョンを入手しますか？ ", "はい", "いいえ", "Kelvaneについて"},
        {UiLanguage::Chinese, "新Kelvane发布", "你想获得新版本吗？", "是的", "没有", "关于Kelvane"},
    };

    for (const auto& c : cases)
    {
        const auto t = dialogTextsFor(c.language);
        EXPECT_EQ(
            juce::StringArray(t.noticeTitle, t.noticeMessage, t.noticeYes, t.noticeNo, t.aboutTitle, t.aboutButton),
            juce::StringArray(utf8(c.noticeTitle), utf8(c.noticeMessage), utf8(c.yes), utf8(c.no), utf8(c.aboutTitle),
                              "  OK  "));

        // The version, an empty line, four credit lines, an empty line and a closing line without a line feed.
        juce::StringArray lines;
        lines.addTokens(t.aboutMessage, "\n", {});
        ASSERT_EQ(lines.size(), 8) << t.aboutMessage;
        EXPECT_EQ(lines[0], "Version:2.5.4");
        for (int i = 1; i < 8; ++i)
            EXPECT_EQ(lines[i].isEmpty(), i == 1 || i == 6) << "line " << i << " of " << t.aboutMessage;
    }
}

// Each click asks for the language anew and shows the update notice while a newer version is known, then in
// every case the About box; the notice's first button opens the maker's home page.
TEST(LogoAndBadge, ShowTheNoticeWhileANewVersionIsKnownThenAlwaysTheAboutBox)
{
    const auto home = makerServerBase() + "/";
    const struct
    {
        const char* locale;
        UiLanguage language;
        bool newVersion, onBadge;
        juce::Array<int> answers;
        juce::StringArray pages;
    } cases[] = {
        {"fr_FR.UTF-8", UiLanguage::English, false, false, {1}, {}},
        {"en_GB.UTF-8", UiLanguage::English, true, true, {1, 1}, {home}},
        {"ja_JP.UTF-8", UiLanguage::Japanese, true, false, {2, 1}, {}},
        {"zh_CN.UTF-8", UiLanguage::Chinese, true, true, {0, 1}, {}}, // the notice closed otherwise
    };
    Window window;

    for (const auto& c : cases)
    {
        preferLanguage(c.locale);
        window.dialogs = {};
        window.dialogs.answers = c.answers;
        window.check->isNewVersionAvailable = c.newVersion;
        window.editor->buttonClicked(c.onBadge ? &window.badge() : &window.logo());

        const auto t = dialogTextsFor(c.language);
        juce::StringArray expected;
        if (c.newVersion)
            expected.add(describe(
                {juce::MessageBoxIconType::WarningIcon, t.noticeTitle, t.noticeMessage, {t.noticeYes, t.noticeNo}}));
        expected.add(describe({juce::MessageBoxIconType::NoIcon, t.aboutTitle, t.aboutMessage, {t.aboutButton}}));
        EXPECT_EQ(window.dialogs.shown, expected) << c.locale;
        EXPECT_EQ(window.dialogs.openedPages, c.pages) << c.locale;
    }

    EXPECT_TRUE(home.startsWith("https://"));
    juce::Desktop::getInstance().getDefaultLookAndFeel().setDefaultSansSerifTypefaceName({});
}

// The desktop's dialogs run real modal loops; each is answered from the message loop it runs.
TEST(DesktopDialogs, RunModallyAndAnswerThePressedButton)
{
    KELVANE_REQUIRE_DISPLAY();
    juce::StringArray seen;
    std::function<void()> answer = [&] {
        if (auto* box = dynamic_cast<juce::AlertWindow*>(juce::Component::getCurrentlyModalComponent()))
        {
            seen.add(box->getName() + " " + juce::String(box->getNumButtons()));
            box->exitModalState(2);
        }
        else
        {
            juce::MessageManager::callAsync(answer); // the loop has not started yet
        }
    };

    juce::MessageManager::callAsync(answer);
    EXPECT_EQ(desktopDialogs().runAlertBox({juce::MessageBoxIconType::WarningIcon, "New", "?", {"Yes", "No"}}), 2);
    juce::MessageManager::callAsync(answer);
    desktopDialogs().showMessageBox(juce::MessageBoxIconType::WarningIcon, "ParamError", "paramID : dbOther");
    EXPECT_EQ(seen, juce::StringArray({"New 2", "ParamError 1"}));
}
