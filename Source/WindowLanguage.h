#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <vector>

/** The language of the window's texts, taken from the user's first preferred language. */
enum class UiLanguage
{
    English,
    Japanese,
    Chinese
};

/** Asks the system for the user's preferred languages anew and judges the first one. */
UiLanguage currentUiLanguage();

/** The language for a list of preferred language tags, most preferred first: only the first tag counts;
    it must start with "zh" or "ja" exactly (case-sensitive), anything else is English. */
UiLanguage uiLanguageForPreferredLanguages(const std::vector<std::string>& languageTags);

/** The sans-serif typeface the dialogs use for a language; empty for English (the current one stays). */
juce::String languageTypefaceName(UiLanguage language);

/** Gives the framework's default look-and-feel a sans-serif typeface that can show the language. */
void applyLanguageFont(UiLanguage language);
