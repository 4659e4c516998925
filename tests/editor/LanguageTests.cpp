#include "EditorTestSupport.h"
#include "PreferredLanguages.h"

#include <gtest/gtest.h>

using kelvane::platform::LocaleEnvironment;
using kelvane::platform::languageTagFromLocaleName;
using kelvane::platform::preferredLanguagesFrom;
using Tags = std::vector<std::string>;

TEST (PreferredLanguages, LocaleNamesBecomeLanguageTags)
{
    EXPECT_EQ (languageTagFromLocaleName ("ja_JP.UTF-8"), "ja-JP");
    EXPECT_EQ (languageTagFromLocaleName ("zh_TW"), "zh-TW");
    EXPECT_EQ (languageTagFromLocaleName ("sr_RS@latin"), "sr-RS");
    EXPECT_EQ (languageTagFromLocaleName ("fr"), "fr");
    EXPECT_EQ (languageTagFromLocaleName ("C"), "");
    EXPECT_EQ (languageTagFromLocaleName ("C.UTF-8"), "");
    EXPECT_EQ (languageTagFromLocaleName ("POSIX"), "");
    EXPECT_EQ (languageTagFromLocaleName (""), "");
}

TEST (PreferredLanguages, LanguageListComesFirstThenTheLocaleVariables)
{
    LocaleEnvironment environment;
    environment.language = "zh_TW:ja";
    environment.lcAll = "fr_FR.UTF-8";
    environment.lcMessages = "de_DE.UTF-8";
    environment.lang = "en_US.UTF-8";
    EXPECT_EQ (preferredLanguagesFrom (environment), (Tags { "zh-TW", "ja", "fr-FR", "de-DE", "en-US" }));
}

TEST (PreferredLanguages, NeutralEmptyAndRepeatedEntriesAreLeftOut)
{
    LocaleEnvironment environment;
    environment.language = ":ja_JP::C";
    environment.lcAll = "";
    environment.lcMessages = "POSIX";
    environment.lang = "ja_JP.UTF-8";
    EXPECT_EQ (preferredLanguagesFrom (environment), Tags { "ja-JP" });

    EXPECT_TRUE (preferredLanguagesFrom (LocaleEnvironment {}).empty());
}

TEST (PreferredLanguages, OnlyTheSetVariablesCount)
{
    LocaleEnvironment environment;
    environment.lang = "ko_KR.UTF-8";
    EXPECT_EQ (preferredLanguagesFrom (environment), Tags { "ko-KR" });
}

TEST (UiLanguage, ChineseAndJapaneseByTheirPrefix)
{
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "zh-Hant-TW" }), UiLanguage::Chinese);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "zh-Hans-CN" }), UiLanguage::Chinese);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "ja" }), UiLanguage::Japanese);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "ja-JP" }), UiLanguage::Japanese);
}

TEST (UiLanguage, EverythingElseIsEnglish)
{
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "en-JP" }), UiLanguage::English);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "fr-FR" }), UiLanguage::English);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "ko-KR" }), UiLanguage::English);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({}), UiLanguage::English);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "" }), UiLanguage::English);
}

TEST (UiLanguage, PrefixTestIsCaseSensitive)
{
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "ZH-CN" }), UiLanguage::English);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "JA" }), UiLanguage::English);
}

TEST (UiLanguage, OnlyTheFirstPreferredLanguageCounts)
{
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "en-US", "ja-JP" }), UiLanguage::English);
    EXPECT_EQ (uiLanguageForPreferredLanguages ({ "ja-JP", "zh-CN" }), UiLanguage::Japanese);
}

TEST (UiLanguage, EnvironmentDecidesThroughTheWholeChain)
{
    LocaleEnvironment environment;
    environment.language = "ja_JP";
    environment.lang = "zh_CN.UTF-8";
    EXPECT_EQ (uiLanguageForPreferredLanguages (preferredLanguagesFrom (environment)), UiLanguage::Japanese);

    environment.language = std::nullopt;
    EXPECT_EQ (uiLanguageForPreferredLanguages (preferredLanguagesFrom (environment)), UiLanguage::Chinese);
}

namespace
{
juce::String defaultSansTypefaceName()
{
    auto& lf = juce::Desktop::getInstance().getDefaultLookAndFeel();
    return lf.getTypefaceForFont (juce::Font (14.0f))->getName();
}

// Restores the framework's default sans-serif choice after a test changed it.
struct DefaultTypefaceRestorer
{
    ~DefaultTypefaceRestorer()
    {
        juce::Desktop::getInstance().getDefaultLookAndFeel().setDefaultSansSerifTypefaceName ({});
    }
};
} // namespace

TEST (LanguageFont, ChineseAndJapaneseGetInstalledCjkTypefaces)
{
    const DefaultTypefaceRestorer restore;

    applyLanguageFont (UiLanguage::Chinese);
    EXPECT_EQ (defaultSansTypefaceName(), languageTypefaceName (UiLanguage::Chinese));
    EXPECT_EQ (defaultSansTypefaceName(), "Droid Sans Fallback");

    applyLanguageFont (UiLanguage::Japanese);
    EXPECT_EQ (defaultSansTypefaceName(), "Droid Sans Fallback");
}

TEST (LanguageFont, EnglishLeavesWhateverWasSetBefore)
{
    const DefaultTypefaceRestorer restore;
    const auto untouched = defaultSansTypefaceName();

    applyLanguageFont (UiLanguage::English);
    EXPECT_EQ (defaultSansTypefaceName(), untouched);

    applyLanguageFont (UiLanguage::Japanese);
    applyLanguageFont (UiLanguage::English);
    EXPECT_EQ (defaultSansTypefaceName(), "Droid Sans Fallback");
}

TEST (LanguageFont, TheCjkTypefacesExistOnThisSystem)
{
    for (auto language : { UiLanguage::Chinese, UiLanguage::Japanese })
    {
        const auto name = languageTypefaceName (language);
        EXPECT_TRUE (juce::Font::findAllTypefaceNames().contains (name)) << name;
    }

    EXPECT_TRUE (languageTypefaceName (UiLanguage::English).isEmpty());
}
