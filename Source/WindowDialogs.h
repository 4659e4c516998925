#pragma once

#include "WindowLanguage.h"

#include <memory>

/** One alert window: its buttons give the results 1, 2, ... in the order listed. */
struct AlertBoxRequest
{
    juce::MessageBoxIconType icon = juce::MessageBoxIconType::NoIcon;
    juce::String title;
    juce::String message;
    juce::StringArray buttonTexts;
};

/** How the window reaches the user beyond its face: modal dialogs and the web browser. */
class WindowDialogs
{
public:
    virtual ~WindowDialogs() = default;

    /** A modal message box with the framework's default "OK" button; returns when it is dismissed. */
    virtual void showMessageBox(juce::MessageBoxIconType icon, const juce::String& title,
                                const juce::String& message) = 0;

    /** Runs a modal alert window and returns the result of the button pressed (0 when closed otherwise). */
    virtual int runAlertBox(const AlertBoxRequest& request) = 0;

    virtual void openInBrowser(const juce::URL& page) = 0;
};

/** The desktop's dialogs and browser, which the plug-in uses. */
WindowDialogs& desktopDialogs();

/** The alert window a request describes, built but not shown. */
std::unique_ptr<juce::AlertWindow> makeAlertWindow(const AlertBoxRequest& request);

/** The texts of the update notice and the About box in one language. */
struct DialogTexts
{
    juce::String noticeTitle, noticeMessage, noticeYes, noticeNo;
    juce::String aboutTitle, aboutMessage, aboutButton;
};

DialogTexts dialogTextsFor(UiLanguage language);

/** What a click on the logo or the badge shows: while a newer version is known the update notice, whose
    first button opens the home page, and then, in every case, the About box. */
void showUpdateNoticeAndAbout(WindowDialogs& dialogs, UiLanguage language, bool newVersionKnown,
                              const juce::URL& homePage);

/** The box that reports a parameter the window has no control for. */
void showParamError(WindowDialogs& dialogs, const juce::String& parameterID);
