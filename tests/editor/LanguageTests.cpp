#include "EditorTestSupport.h"
#include "PreferredLanguages.h"

using namespace editor_test;
using Tags = std::vector<std::string>;

TEST(PreferredLanguages, ComeFromTheLanguageListThenTheLocaleVariables)
{
    const std::pair<kelvane::platform::LocaleEnvironment, Tags> cases[] = {
        {{"zh_TW:ja", "fr_FR.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"}, {"zh-TW", "ja", "fr-FR", "de-DE", "en-US"}},
        {{":ja_JP::C", "", "POSIX", "ja_JP.UTF-8"}, {"ja-JP"}}, // neutral, empty and repeated names are left out
        {{std::nullopt, std::nullopt, std::nullopt, "sr_RS@latin"}, {"sr-RS"}},
        {{}, {}},
    };

    for (const auto& [environment, tags] : cases)
        EXPECT_EQ(kelvane::platform::preferredLanguagesFrom(environment), tags);
}

TEST(UiLanguage, OnlyTheFirstPreferredLanguageCountsByItsExactPrefix)
{
    const std::pair<Tags, UiLanguage> cases[] = {
        {{"zh-Hant-TW"}, UiLanguage::Chinese},
        {{"zh-Hans-CN"}, UiLanguage::Chinese},
        {{"ja"}, UiLanguage::Japanese},
        {{"ja-JP", "zh-CN"}, UiLanguage::Japanese},
        {{"en-JP"}, UiLanguage::English},
        {{"fr-FR"}, UiLanguage::English},
        {{"ko-KR"}, UiLanguage::English},
        {{"en-US", "ja-JP"}, UiLanguage::English},
        {{"ZH-CN"}, UiLanguage::English},
        {{"JA"}, UiLanguage::English},
        {{}, UiLanguage::English},
        {{""}, UiLanguage::English},
    };

    for (const auto& [tags, language] : cases)
        EXPECT_EQ(uiLanguageForPreferredLanguages(tags), language) << (tags.empty() ? "(none)" : tags[0]);
}

namespace
{
// The glyph the typeface draws for a character, through the framework's own look-up.
juce::Path outlineOf(juce::Typeface& typeface, juce::juce_wchar c)
{
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    typeface.getGlyphPositions(juce::String::charToString(c), glyphs, offsets);
    juce::Path outline;

    if (glyphs.size() == 1)
        typeface.getOutlineForGlyph(glyphs[0], outline);

    return outline;
}
} // namespace

// Each opening of the window sets the typeface of the language it opens in (an English one keeps the last);
// the dialogs draw every character they can show with a glyph of that typeface, not its missing-glyph box.
TEST(LanguageFont, EachOpeningGivesTheDialogsATypefaceWithEveryGlyphTheyShow)
{
    auto& lf = juce::Desktop::getInstance().getDefaultLookAndFeel();
    lf.setDefaultSansSerifTypefaceName("DejaVu Sans Mono");

    for (auto [locale, language, typefaceName] :
         {std::tuple{"ja_JP.UTF-8", UiLanguage::Japanese, languageTypefaceName(UiLanguage::Japanese)},
          std::tuple{"zh_CN.UTF-8", UiLanguage::Chinese, languageTypefaceName(UiLanguage::Chinese)},
          std::tuple{"en_US.UTF-8", UiLanguage::English, languageTypefaceName(UiLanguage::Chinese)}})
    {
        preferLanguage(locale);
        const Window window;

        // What the update notice, the About box and the ParamError box can show, with the "OK" button and
        // the warning icon's "!": the texts of the language and any parameter ID in printable ASCII.
        const auto texts = dialogTextsFor(language);
        auto characters = texts.noticeTitle + texts.noticeMessage + texts.noticeYes + texts.noticeNo + texts.aboutTitle
                          + texts.aboutMessage + texts.aboutButton;
        for (juce::juce_wchar c = 0x21; c < 0x7f; ++c)
            characters += juce::String::charToString(c);

        for (const auto& font : {lf.getAlertWindowTitleFont(), lf.getAlertWindowMessageFont()})
        {
            auto typeface = font.getTypefacePtr();
            EXPECT_EQ(typeface->getName(), typefaceName) << locale << ": not the language's, or not installed";
            const auto missingGlyph = outlineOf(*typeface, 0x10fffd); // a private-use character no font draws
            juce::String lacking;

            for (auto c : characters)
                if (!juce::CharacterFunctions::isWhitespace(c)
                    && (outlineOf(*typeface, c).isEmpty() || outlineOf(*typeface, c) == missingGlyph))
                    lacking += juce::String::charToString(c);

            EXPECT_TRUE(lacking.isEmpty())
                << locale << ", " << typeface->getName() << " " << typeface->getStyle() << " lacks: " << lacking;
        }
    }

    lf.setDefaultSansSerifTypefaceName({});
}
