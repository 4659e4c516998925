#include "WindowDialogs.h"

namespace
{
class DesktopDialogs final : public WindowDialogs
{
public:
    void showMessageBox(juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message) override
    {
        juce::AlertWindow::showMessageBox(icon, title, message, {}, nullptr);
    }

    int runAlertBox(const AlertBoxRequest& request) override { return makeAlertWindow(request)->runModalLoop(); }

    void openInBrowser(const juce::URL& page) override { page.launchInDefaultBrowser(); }
};

juce::String utf8(const char* text)
{
    return juce::String::fromUTF8(text);
}

juce::String aboutMessage(const char* credit1, const char* credit2, const char* credit3, const char* credit4,
                          const char* closing)
{
    return juce::String("Version:") + KELVANE_VERSION_TEXT + "\n" + "\n" + utf8(credit1) + "\n" + utf8(credit2) + "\n"
           + utf8(credit3) + "\n" + utf8(credit4) + "\n" + "\n" + utf8(closing);
}
} // namespace

WindowDialogs& desktopDialogs()
{
    static DesktopDialogs dialogs;
    return dialogs;
}

std::unique_ptr<juce::AlertWindow> makeAlertWindow(const AlertBoxRequest& request)
{
    auto box = std::make_unique<juce::AlertWindow>(request.title, request.message, request.icon, nullptr);

    for (int i = 0; i < request.buttonTexts.size(); ++i)
        box->addButton(request.buttonTexts[i], i + 1, juce::KeyPress(), juce::KeyPress());

    return box;
}

DialogTexts dialogTextsFor(UiLanguage language)
{
    const juce::String product(KELVANE_PRODUCT_NAME);

    DialogTexts texts;
    texts.aboutButton = "  OK  ";

    switch (language)
    {
        case UiLanguage::Japanese:
            texts.noticeTitle = utf8("新しいバージョンの") + product + utf8("がリリースされています");
            texts.noticeMessage = utf8("Webサイトから新しいバージョンを入手しますか？ ");
            texts.noticeYes = utf8("はい");
            texts.noticeNo = utf8("いいえ");
            texts.aboutTitle = product + utf8("について");
            texts.aboutMessage = aboutMessage("Kelvane 制作: ZELVO-AUDIO", "信号処理とデザイン: Kelvane チーム",
                                              "JUCE (juce.com) を使用しています", "アートワーク: Kelvane チーム",
                                              "ご利用いただきありがとうございます。");
            break;

        case UiLanguage::Chinese:
            texts.noticeTitle = utf8("新") + product + utf8("发布");
            texts.noticeMessage = utf8("你想获得新版本吗？");
            texts.noticeYes = utf8("是的");
            texts.noticeNo = utf8("没有");
            texts.aboutTitle = utf8("关于") + product;
            texts.aboutMessage = aboutMessage("Kelvane 由 ZELVO-AUDIO 制作", "信号处理与设计：Kelvane 团队",
                                              "使用 JUCE (juce.com) 构建", "美术设计：Kelvane 团队", "感谢您的使用。");
            break;

        case UiLanguage::English:
            texts.noticeTitle = "New " + product + " is released";
            texts.noticeMessage = "Do you want to get the new version ? ";
            texts.noticeYes = "Yes, open the webpage";
            texts.noticeNo = "No, check later";
            texts.aboutTitle = "About " + product;
            texts.aboutMessage =
                aboutMessage("Kelvane by ZELVO-AUDIO", "Signal processing and design: the Kelvane team",
                             "Built with JUCE (juce.com)", "Artwork: the Kelvane team", "Thank you for using Kelvane.");
            break;
    }

    return texts;
}

void showUpdateNoticeAndAbout(WindowDialogs& dialogs, UiLanguage language, bool newVersionKnown,
                              const juce::URL& homePage)
{
    const auto texts = dialogTextsFor(language);

    if (newVersionKnown)
    {
        const AlertBoxRequest notice{juce::MessageBoxIconType::WarningIcon,
                                     texts.noticeTitle,
                                     texts.noticeMessage,
                                     {texts.noticeYes, texts.noticeNo}};

        if (dialogs.runAlertBox(notice) == 1)
            dialogs.openInBrowser(homePage);
    }

    dialogs.runAlertBox(
        {juce::MessageBoxIconType::NoIcon, texts.aboutTitle, texts.aboutMessage, juce::StringArray(texts.aboutButton)});
}

void showParamError(WindowDialogs& dialogs, const juce::String& parameterID)
{
    dialogs.showMessageBox(juce::MessageBoxIconType::WarningIcon, "ParamError", "paramID : " + parameterID);
}
