#include "WindowLanguage.h"

#include "PreferredLanguages.h"

UiLanguage uiLanguageForPreferredLanguages(const std::vector<std::string>& languageTags)
{
    if (languageTags.empty())
        return UiLanguage::English;

    const auto& first = languageTags.front();

    if (first.rfind("zh", 0) == 0)
        return UiLanguage::Chinese;

    if (first.rfind("ja", 0) == 0)
        return UiLanguage::Japanese;

    return UiLanguage::English;
}

UiLanguage currentUiLanguage()
{
    return uiLanguageForPreferredLanguages(kelvane::platform::preferredLanguages());
}

juce::String languageTypefaceName(UiLanguage language)
{
    switch (language)
    {
#if JUCE_MAC
        case UiLanguage::Chinese: return "PingFang SC";
        case UiLanguage::Japanese: return "Arial Unicode MS";
#else
        // Here the framework reads only single-font TrueType and OpenType files, and where a typeface lacks a
        // character it draws that typeface's missing-glyph box rather than asking another font. So each
        // language needs one file with every character its dialogs show, Latin included.
        case UiLanguage::Chinese: return "LXGW WenKai";
        case UiLanguage::Japanese: return "VL PGothic";
#endif
        case UiLanguage::English: break;
    }

    return {};
}

void applyLanguageFont(UiLanguage language)
{
    const auto typeface = languageTypefaceName(language);

    if (typeface.isNotEmpty())
        juce::Desktop::getInstance().getDefaultLookAndFeel().setDefaultSansSerifTypefaceName(typeface);
}
