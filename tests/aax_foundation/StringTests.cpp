// AAX_CString: construction, the AAX_IString slots, editing, number formatting and reading.
#include "AAX_CString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>

namespace
{
// A different implementation of AAX_IString, to check that AAX_CString only relies on the interface.
class OtherString : public AAX_IString
{
public:
	explicit OtherString(std::string text) : mText(std::move(text)) {}
	uint32_t Length() const override { return static_cast<uint32_t>(mText.size()); }
	uint32_t MaxLength() const override { return 31; }
	const char* Get() const override { return mText.c_str(); }
	void Set(const char* text) override
	{
		mText = text;
		++setCalls;
	}
	AAX_IString& operator=(const AAX_IString& other) override
	{
		Set(other.Get());
		return *this;
	}
	AAX_IString& operator=(const char* text) override
	{
		Set(text);
		return *this;
	}

	std::string mText;
	int setCalls = 0;
};

TEST(StringConstruction, NullAndEmptyGiveEmptyText)
{
	const AAX_CString fromNull(nullptr);
	EXPECT_EQ(fromNull.Length(), 0u);
	ASSERT_NE(fromNull.Get(), nullptr);
	EXPECT_EQ(fromNull.Get()[0], '\0');

	const AAX_CString empty;
	EXPECT_EQ(empty.Length(), 0u);
	EXPECT_STREQ(empty.Get(), "");
}

TEST(StringConstruction, CopiesFromTextAndFromAnyString)
{
	const char text[] = "Level";
	AAX_CString fromText(text);
	EXPECT_STREQ(fromText.Get(), "Level");
	EXPECT_NE(fromText.Get(), text);

	const OtherString other("Vocal Mode");
	const AAX_CString fromInterface(static_cast<const AAX_IString&>(other));
	EXPECT_STREQ(fromInterface.Get(), "Vocal Mode");

	const AAX_CString copy(fromText);
	fromText.Set("changed");
	EXPECT_STREQ(copy.Get(), "Level");
}

TEST(StringInterface, MaxLengthIsOneBelowAllOnes)
{
	EXPECT_EQ(AAX_CString().MaxLength(), 4294967294u);
	EXPECT_EQ(AAX_CString("x").MaxLength(), 0xFFFFFFFEu);
}

TEST(StringInterface, LengthCountsBytesOfTheText)
{
	EXPECT_EQ(AAX_CString("Enable").Length(), 6u);
	// Bytes, not characters: no encoding is assumed.
	EXPECT_EQ(AAX_CString("\xE9\x9F\xB3").Length(), 3u);
}

TEST(StringInterface, AssignmentsThroughTheInterfaceReplaceTheText)
{
	AAX_CString string("old");
	AAX_IString& asInterface = string;

	asInterface = "new text";
	EXPECT_STREQ(string.Get(), "new text");

	const OtherString other("from other");
	asInterface = static_cast<const AAX_IString&>(other);
	EXPECT_STREQ(string.Get(), "from other");

	asInterface.Set("set");
	EXPECT_STREQ(string.Get(), "set");
	EXPECT_STREQ(string.CString(), string.Get());
}

TEST(StringInterface, SetFromOwnTextIsSafe)
{
	AAX_CString string("abcdef");
	string.Set(string.Get() + 2);
	EXPECT_STREQ(string.Get(), "cdef");
}

TEST(StringInterface, AssigningAnAAXCStringToAnotherInterfaceUsesItsSet)
{
	OtherString other("x");
	const AAX_CString source("copied");
	static_cast<AAX_IString&>(other) = static_cast<const AAX_IString&>(source);
	EXPECT_EQ(other.mText, "copied");
	EXPECT_EQ(other.setCalls, 1);
}

TEST(StringEditing, ClearEmptiesAndAppendNumberStartsAfresh)
{
	AAX_CString string("something long");
	string.Clear();
	EXPECT_EQ(string.Length(), 0u);
	string.AppendNumber(0.5, 3);
	EXPECT_STREQ(string.Get(), "0.500");
}

TEST(StringEditing, ClearKeepsTheStorage)
{
	AAX_CString string(std::string(100, 'x').c_str());
	const char* const storage = string.Get();
	string.Clear();
	string.AppendNumber(0.5, 3);
	EXPECT_EQ(string.Get(), storage);
}

TEST(StringEditing, EditsReturnTheStringItself)
{
	AAX_CString string("0.500");
	EXPECT_EQ(&string.Erase(0, 1), &string);
	EXPECT_EQ(&string.AppendNumber(1, 0), &string);
	AAX_IString& asInterface = string;
	EXPECT_EQ(&(asInterface = "x"), &asInterface);
	EXPECT_EQ(&(asInterface = static_cast<const AAX_IString&>(AAX_CString("y"))), &asInterface);
	EXPECT_EQ(&(string = AAX_CString("z")), &string);
}

TEST(StringEditing, EraseRemovesExactlyTheRange)
{
	AAX_CString string("0.500");
	string.Erase(4, 1);
	EXPECT_STREQ(string.Get(), "0.50");

	AAX_CString other("0.500");
	other.Erase(3, 2);
	EXPECT_STREQ(other.Get(), "0.5");

	AAX_CString front("0.500");
	front.Erase(0, 2);
	EXPECT_STREQ(front.Get(), "500");
}

TEST(StringEditing, EraseOutsideTheTextStopsAtTheEnd)
{
	AAX_CString string("abc");
	string.Erase(1, 100);
	EXPECT_STREQ(string.Get(), "a");
	string.Erase(5, 1);
	EXPECT_STREQ(string.Get(), "a");
}

TEST(StringEditing, IndexGivesWritableBytes)
{
	AAX_CString string("abc");
	string[1] = 'X';
	EXPECT_STREQ(string.Get(), "aXc");
	EXPECT_EQ(static_cast<const AAX_CString&>(string)[2], 'c');
}

TEST(StringNumbers, AppendNumberWritesFixedPointWithExactPrecision)
{
	const struct
	{
		double number;
		int32_t precision;
		const char* text;
	} cases[] = {
		{ 0.5, 3, "0.500" },      { 1.0, 3, "1.000" },     { -0.25, 3, "-0.250" }, { 0.12345, 3, "0.123" },
		{ 0.0005, 3, "0.001" },   { 0.9999, 3, "1.000" },  { 2.0, 0, "2" },        { 1234567.0, 2, "1234567.00" },
		{ 1e20, 1, "100000000000000000000.0" }, { -0.0004, 3, "-0.000" }, { 0.125, 2, "0.12" },
	};
	for (const auto& testCase : cases)
	{
		AAX_CString string;
		string.AppendNumber(testCase.number, testCase.precision);
		EXPECT_STREQ(string.Get(), testCase.text) << testCase.number << " with " << testCase.precision;
	}
}

// What a standard output stream writes for number in fixed-point notation with the given precision.
std::string streamFixed(double number, int precision)
{
	std::ostringstream stream;
	stream.imbue(std::locale::classic());
	stream << std::fixed << std::setprecision(precision) << number;
	return stream.str();
}

TEST(StringNumbers, LongPrecisionsMatchTheStandardStreamDigitForDigit)
{
	// 5e-324 is the smallest positive double: its expansion is exactly 1074 digits long.
	for (double number : { 5e-324, 1.0 / 3.0, -0.1, 1e300, 0.5 })
		for (int precision : { 1000, 1073, 1074, 1075, 1500 })
		{
			AAX_CString string;
			string.AppendNumber(number, precision);
			EXPECT_EQ(string.StdString(), streamFixed(number, precision)) << number << " with " << precision;
		}
}

TEST(StringNumbers, HugePrecisionAppendsZerosWithoutExhaustingTheStack)
{
	constexpr int32_t precision = 20000000;
	AAX_CString string("x");
	string.AppendNumber(1.0 / 3.0, precision);
	ASSERT_EQ(string.Length(), 1u + 2u + uint32_t(precision));
	EXPECT_EQ(string.StdString().substr(0, 19), "x0.3333333333333333");
	EXPECT_EQ(string.StdString().find_first_not_of('0', 3 + 1074), std::string::npos);

	AAX_CString infinite;
	infinite.AppendNumber(HUGE_VAL, precision);
	EXPECT_STREQ(infinite.Get(), "inf");
}

TEST(StringNumbers, AppendNumberAppendsToExistingText)
{
	AAX_CString string("gain ");
	string.AppendNumber(-3.5, 1).AppendNumber(2, 0);
	EXPECT_STREQ(string.Get(), "gain -3.52");
}

// A locale with a comma as decimal point and grouping of thousands, as many user locales have.
struct CommaDecimalPoint : std::numpunct<char>
{
	char do_decimal_point() const override { return ','; }
	char do_thousands_sep() const override { return '.'; }
	std::string do_grouping() const override { return "\3"; }
};

TEST(StringNumbers, NumbersIgnoreTheGlobalLocale)
{
	const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
	AAX_CString string;
	string.AppendNumber(1234.5, 1);
	double value = 0.0;
	const bool read = AAX_CString("0.25").ToDouble(&value);
	std::locale::global(previous);

	EXPECT_STREQ(string.Get(), "1234.5");
	EXPECT_TRUE(read);
	EXPECT_EQ(value, 0.25);
}

TEST(StringNumbers, ToDoubleReadsLikeAnInputStream)
{
	const struct
	{
		const char* text;
		bool ok;
		double value;
	} cases[] = {
		{ "0.250", true, 0.25 },   { " 1.5 dB", true, 1.5 }, { "1e3", true, 1000.0 }, { "\t-2", true, -2.0 },
		{ "7", true, 7.0 },        { "dB", false, 0.0 },     { "", false, 0.0 },      { "   ", false, 0.0 },
		{ "1e999", false, 0.0 },   { "2.5dB", true, 2.5 },   { ".5", true, 0.5 },     { "+4", true, 4.0 },
	};
	for (const auto& testCase : cases)
	{
		double value = 123.0;
		EXPECT_EQ(AAX_CString(testCase.text).ToDouble(&value), testCase.ok) << '"' << testCase.text << '"';
		EXPECT_EQ(value, testCase.value) << '"' << testCase.text << '"';
	}
}

TEST(StringParts, SubStringCutsAtTheEnd)
{
	const AAX_CString string("MasterBypassID");
	AAX_CString out("previous");
	string.SubString(0, 6, &out);
	EXPECT_STREQ(out.Get(), "Master");
	string.SubString(6, 100, &out);
	EXPECT_STREQ(out.Get(), "BypassID");
	string.SubString(string.Length(), 3, &out);
	EXPECT_STREQ(out.Get(), "");
}

TEST(StringParts, SubStringSetsAnyStringThroughSet)
{
	OtherString out("x");
	AAX_CString("abcdef").SubString(2, 2, &out);
	EXPECT_EQ(out.mText, "cd");
	EXPECT_EQ(out.setCalls, 1);
}

TEST(StringParts, SubStringBeyondTheEndThrowsOutOfRange)
{
	const AAX_CString string("abc");
	AAX_CString out("kept");
	EXPECT_THROW(string.SubString(4, 1, &out), std::out_of_range);
	EXPECT_STREQ(out.Get(), "kept");
}

TEST(StringComparison, ComparesTextsByteForByte)
{
	EXPECT_TRUE(AAX_CString("a") == AAX_CString("a"));
	EXPECT_FALSE(AAX_CString("a") != AAX_CString("a"));
	EXPECT_FALSE(AAX_CString("a") == AAX_CString("ab"));
	EXPECT_TRUE(AAX_CString("a") != AAX_CString("ab"));
	EXPECT_TRUE(AAX_CString("dbMain") != AAX_CString("dbmain"));
	EXPECT_TRUE(AAX_CString("") == AAX_CString(nullptr));
	EXPECT_FALSE(AAX_CString("dbVocal") != "dbVocal");
	EXPECT_TRUE(AAX_CString("dbVocal") != "dbVoca");
}

TEST(StringComparison, TextEndsAtTheFirstNul)
{
	AAX_CString string("abc");
	string[1] = '\0';
	EXPECT_TRUE(string == AAX_CString("a"));
	EXPECT_FALSE(string != "a");
}

TEST(StringCopy, CopyAssignmentIsIndependent)
{
	AAX_CString a("first");
	AAX_CString b("second");
	b = a;
	a.Set("changed");
	EXPECT_STREQ(b.Get(), "first");
}
} // namespace
