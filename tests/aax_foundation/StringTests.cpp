// AAX_CString: the text type that crosses to the host as AAX_IString.
#include "AAX_CString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <stdexcept>
#include <string>

namespace
{
// The host's own implementation of AAX_IString: AAX_CString may rely on the interface only.
struct HostString : AAX_IString
{
    explicit HostString(std::string initial) : text(std::move(initial)) {}
    uint32_t Length() const override { return uint32_t(text.size()); }
    uint32_t MaxLength() const override { return 31; }
    const char* Get() const override { return text.c_str(); }
    void Set(const char* newText) override { text = newText; }
    AAX_IString& operator=(const AAX_IString& other) override { return Set(other.Get()), *this; }
    AAX_IString& operator=(const char* newText) override { return Set(newText), *this; }
    std::string text;
};

TEST(Strings, TextCrossesBothWaysThroughTheInterface)
{
    EXPECT_EQ(AAX_CString().MaxLength(), 4294967294u);
    EXPECT_STREQ(AAX_CString(nullptr).Get(), "");
    EXPECT_EQ(AAX_CString("\xE9\x9F\xB3").Length(), 3u); // bytes, no encoding assumed
    AAX_CString string(static_cast<const AAX_IString&>(HostString("Vocal Mode")));
    EXPECT_STREQ(string.Get(), "Vocal Mode");
    AAX_IString& asInterface = string;
    asInterface = "Level";
    EXPECT_STREQ(string.Get(), "Level");
    asInterface = static_cast<const AAX_IString&>(HostString("Enable"));
    string.Set(string.Get() + 2); // from its own text
    EXPECT_STREQ(string.CString(), "able");
    HostString hostString("x");
    static_cast<AAX_IString&>(hostString) = static_cast<const AAX_IString&>(AAX_CString("copied"));
    EXPECT_EQ(hostString.text, "copied");
}

TEST(Strings, EditingComparingAndSubStrings)
{
    AAX_CString string("something long");
    string.Clear();
    EXPECT_STREQ(string.AppendNumber(0.5, 3).Get(), "0.500");
    EXPECT_STREQ(AAX_CString("0.500").Erase(4, 1).Get(), "0.50");
    EXPECT_STREQ(AAX_CString("0.500").Erase(3, 2).Get(), "0.5");
    EXPECT_TRUE(AAX_CString("a") == AAX_CString("a"));
    EXPECT_TRUE(AAX_CString("a") != AAX_CString("ab"));
    EXPECT_TRUE(AAX_CString("dbMain") != "dbmain");
    string[0] = '\0';
    EXPECT_TRUE(string == AAX_CString("")); // the text ends at the first NUL

    const AAX_CString source("MasterBypassID");
    HostString out("previous");
    source.SubString(6, 100, &out);
    EXPECT_EQ(out.text, "BypassID");
    source.SubString(source.Length(), 3, &out);
    EXPECT_EQ(out.text, "");
    EXPECT_THROW(source.SubString(source.Length() + 1, 1, &out), std::out_of_range);
}

TEST(Strings, NumbersAreWrittenAndReadLikeStreamsInTheClassicLocale)
{
    const struct
    {
        double number;
        int32_t precision;
        const char* text;
    } written[] = {{0.5, 3, "0.500"},    {-0.25, 3, "-0.250"},  {0.12345, 3, "0.123"},
                   {0.9999, 3, "1.000"}, {2.0, 0, "2"},         {-0.0004, 3, "-0.000"},
                   {0.125, 2, "0.12"},   {1234.5, 1, "1234.5"}, {HUGE_VAL, 3, "inf"}};
    const struct
    {
        const char* text;
        bool ok;
        double value;
    } read[] = {{"0.250", true, 0.25}, {" 1.5 dB", true, 1.5}, {"1e3", true, 1000.0}, {"2.5dB", true, 2.5},
                {"dB", false, 0.0},    {"", false, 0.0},       {"1e999", false, 0.0}};

    // A user locale with a decimal comma and grouped thousands changes neither.
    struct CommaDecimalPoint : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
    for (const auto& testCase : written)
    {
        AAX_CString string("v=");
        EXPECT_EQ(string.AppendNumber(testCase.number, testCase.precision).StdString(),
                  std::string("v=") + testCase.text);
    }
    for (const auto& testCase : read)
    {
        double value = 123.0;
        EXPECT_EQ(AAX_CString(testCase.text).ToDouble(&value), testCase.ok) << '"' << testCase.text << '"';
        EXPECT_EQ(value, testCase.value) << '"' << testCase.text << '"';
    }
    std::locale::global(previous);

    // A huge precision appends zeros instead of exhausting the stack.
    AAX_CString third;
    EXPECT_EQ(third.AppendNumber(1.0 / 3.0, 20000000).Length(), 20000002u);
    EXPECT_EQ(third.StdString().substr(0, 18), "0.3333333333333333");
}
} // namespace
