// Names and texts of result codes, and the library's exception texts.
#include "AAX_Errors.h"
#include "AAX_Exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <exception>
#include <string>
#include <type_traits>

namespace
{
// The complete table of named codes, written out independently of the library's own table.
const std::map<AAX_Result, std::string> kExpectedNames = {
	{ -20001, "AAX_ERROR_INVALID_PARAMETER_ID" },
	{ -20002, "AAX_ERROR_INVALID_STRING_CONVERSION" },
	{ -20003, "AAX_ERROR_INVALID_METER_INDEX" },
	{ -20004, "AAX_ERROR_NULL_OBJECT" },
	{ -20005, "AAX_ERROR_OLDER_VERSION" },
	{ -20006, "AAX_ERROR_INVALID_CHUNK_INDEX" },
	{ -20007, "AAX_ERROR_INVALID_CHUNK_ID" },
	{ -20008, "AAX_ERROR_INCORRECT_CHUNK_SIZE" },
	{ -20009, "AAX_ERROR_UNIMPLEMENTED" },
	{ -20010, "AAX_ERROR_INVALID_PARAMETER_INDEX" },
	{ -20011, "AAX_ERROR_NOT_INITIALIZED" },
	{ -20012, "AAX_ERROR_ACF_ERROR" },
	{ -20013, "AAX_ERROR_INVALID_METER_TYPE" },
	{ -20014, "AAX_ERROR_CONTEXT_ALREADY_HAS_METERS" },
	{ -20015, "AAX_ERROR_NULL_COMPONENT" },
	{ -20016, "AAX_ERROR_PORT_ID_OUT_OF_RANGE" },
	{ -20017, "AAX_ERROR_FIELD_TYPE_DOES_NOT_SUPPORT_DIRECT_ACCESS" },
	{ -20018, "AAX_ERROR_DIRECT_ACCESS_OUT_OF_BOUNDS" },
	{ -20019, "AAX_ERROR_FIFO_FULL" },
	{ -20020, "AAX_ERROR_INITIALIZING_PACKET_STREAM_THREAD" },
	{ -20021, "AAX_ERROR_POST_PACKET_FAILED" },
	{ -20022, "AAX_RESULT_PACKET_STREAM_NOT_EMPTY" },
	{ -20023, "AAX_RESULT_ADD_FIELD_UNSUPPORTED_FIELD_TYPE" },
	{ -20024, "AAX_ERROR_MIXER_THREAD_FALLING_BEHIND" },
	{ -20025, "AAX_ERROR_INVALID_FIELD_INDEX" },
	{ -20026, "AAX_ERROR_MALFORMED_CHUNK" },
	{ -20027, "AAX_ERROR_TOD_BEHIND" },
	{ -20028, "AAX_RESULT_NEW_PACKET_POSTED" },
	{ -20030, "AAX_ERROR_PLUGIN_NULL_PARAMETER" },
	{ -20031, "AAX_ERROR_NOTIFICATION_FAILED" },
	{ -20032, "AAX_ERROR_INVALID_VIEW_SIZE" },
	{ -20033, "AAX_ERROR_SIGNED_INT_OVERFLOW" },
	{ -20034, "AAX_ERROR_NO_COMPONENTS" },
	{ -20035, "AAX_ERROR_DUPLICATE_EFFECT_ID" },
	{ -20036, "AAX_ERROR_DUPLICATE_TYPE_ID" },
	{ -20037, "AAX_ERROR_EMPTY_EFFECT_NAME" },
	{ -20038, "AAX_ERROR_UNKNOWN_PLUGIN" },
	{ -20039, "AAX_ERROR_PROPERTY_UNDEFINED" },
	{ -20040, "AAX_ERROR_INVALID_PATH" },
	{ -20041, "AAX_ERROR_UNKNOWN_ID" },
	{ -20042, "AAX_ERROR_UNKNOWN_EXCEPTION" },
	{ -20043, "AAX_ERROR_INVALID_ARGUMENT" },
	{ -20044, "AAX_ERROR_NULL_ARGUMENT" },
	{ -20045, "AAX_ERROR_INVALID_INTERNAL_DATA" },
	{ -20046, "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW" },
};

TEST(ResultNames, EveryNamedCodeHasItsName)
{
	for (const auto& [code, name] : kExpectedNames)
		EXPECT_EQ(AAX::AsStringResult(code), name) << code;
}

TEST(ResultNames, TheTableHasFortyFiveNamesWithThreeResultPrefixes)
{
	int resultPrefixed = 0;
	for (AAX_Result code = -20046; code <= -20001; ++code)
	{
		const std::string name = AAX::AsStringResult(code);
		if (code == -20029)
		{
			EXPECT_EQ(name, "<unknown error code>");
			continue;
		}
		EXPECT_EQ(kExpectedNames.count(code), 1u) << code;
		if (name.rfind("AAX_RESULT_", 0) == 0)
			++resultPrefixed;
		else
			EXPECT_EQ(name.rfind("AAX_ERROR_", 0), 0u) << name;
	}
	EXPECT_EQ(resultPrefixed, 3);
	EXPECT_EQ(kExpectedNames.size(), 45u);
}

TEST(ResultNames, EnumeratorsHaveTheTableValues)
{
	EXPECT_EQ(AAX_SUCCESS, 0);
	EXPECT_EQ(AAX_ERROR_INVALID_PARAMETER_ID, -20001);
	EXPECT_EQ(AAX_ERROR_NULL_OBJECT, -20004);
	EXPECT_EQ(AAX_ERROR_UNIMPLEMENTED, -20009);
	EXPECT_EQ(AAX_RESULT_PACKET_STREAM_NOT_EMPTY, -20022);
	EXPECT_EQ(AAX_RESULT_ADD_FIELD_UNSUPPORTED_FIELD_TYPE, -20023);
	EXPECT_EQ(AAX_RESULT_NEW_PACKET_POSTED, -20028);
	EXPECT_EQ(AAX_ERROR_PLUGIN_NULL_PARAMETER, -20030);
	EXPECT_EQ(AAX_ERROR_UNKNOWN_EXCEPTION, -20042);
	EXPECT_EQ(AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW, -20046);
}

TEST(ResultNames, SuccessIsNamed)
{
	EXPECT_EQ(AAX::AsStringResult(0), "AAX_SUCCESS");
}

TEST(ResultNames, PluginDefinedRangeIncludesBothEnds)
{
	EXPECT_EQ(AAX::AsStringResult(-21000), "plug-in defined error");
	EXPECT_EQ(AAX::AsStringResult(-20800), "plug-in defined error");
	EXPECT_EQ(AAX::AsStringResult(-20600), "plug-in defined error");
	EXPECT_EQ(AAX::AsStringResult(-21001), "<unknown error code>");
	EXPECT_EQ(AAX::AsStringResult(-20599), "<unknown error code>");
}

TEST(ResultNames, CodesOutsideTheTableAreUnknown)
{
	for (AAX_Result code : { -20047, -20000, -20051, -333, 1, 5, 20700, -1, INT_MIN, INT_MAX,
	                         static_cast<AAX_Result>(0x80000004), static_cast<AAX_Result>(0x8000FFFF) })
		EXPECT_EQ(AAX::AsStringResult(code), "<unknown error code>") << code;
}

TEST(ResultText, FormatsNameAndSignedDecimal)
{
	using AAX::Exception::ResultError;
	EXPECT_EQ(ResultError::FormatResult(-20004), "AAX_ERROR_NULL_OBJECT (-20004)");
	EXPECT_EQ(ResultError::FormatResult(5), "<unknown error code> (5)");
	EXPECT_EQ(ResultError::FormatResult(0), "AAX_SUCCESS (0)");
	EXPECT_EQ(ResultError::FormatResult(-20700), "plug-in defined error (-20700)");
	EXPECT_EQ(ResultError::FormatResult(INT_MIN), "<unknown error code> (-2147483648)");
	EXPECT_EQ(ResultError::FormatResult(static_cast<AAX_Result>(0x80000005)), "<unknown error code> (-2147483643)");
}

TEST(ExceptionText, AnyFromDescriptionHasExactlyThatText)
{
	const AAX::Exception::Any error("something failed");
	EXPECT_EQ(error.What(), "something failed");
	EXPECT_EQ(error.Desc(), "something failed");
	EXPECT_EQ(error.Function(), "");
	EXPECT_EQ(error.Line(), "");
}

TEST(ExceptionText, WhatAppendsFunctionAndLineWithoutSpaceAfterColon)
{
	using AAX::Exception::Any;
	EXPECT_EQ(Any::CreateWhat("desc", "", ""), "desc");
	EXPECT_EQ(Any::CreateWhat("desc", "Func", ""), "desc func:Func");
	EXPECT_EQ(Any::CreateWhat("desc", "", "12"), "desc line:12");
	EXPECT_EQ(Any::CreateWhat("desc", "Func", "12"), "desc func:Func line:12");
}

TEST(ExceptionText, ResultErrorCarriesCodeAndFormattedText)
{
	const AAX::Exception::ResultError error(-20004);
	EXPECT_EQ(error.Result(), -20004);
	EXPECT_EQ(error.What(), "AAX_ERROR_NULL_OBJECT (-20004)");
	EXPECT_EQ(error.Desc(), "AAX_ERROR_NULL_OBJECT (-20004)");
	EXPECT_EQ(error.Function(), "");
	EXPECT_EQ(error.Line(), "");
}

TEST(ExceptionText, ResultErrorIsCaughtAsAnyAndNotAsStandardException)
{
	static_assert(!std::is_base_of_v<std::exception, AAX::Exception::Any>);
	try
	{
		throw AAX::Exception::ResultError(-20009);
	}
	catch (const AAX::Exception::Any& error)
	{
		EXPECT_EQ(error.What(), "AAX_ERROR_UNIMPLEMENTED (-20009)");
		EXPECT_NE(dynamic_cast<const AAX::Exception::ResultError*>(&error), nullptr);
	}
}
} // namespace
