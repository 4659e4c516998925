// Result codes: their names, their text, and the library's exceptions.
#include "AAX_Errors.h"
#include "AAX_Exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <exception>
#include <sstream>
#include <string>
#include <type_traits>

namespace
{
// The complete table of named codes from -20001 down, written out independently of the library's own;
// -20029 has no name.
const char* const kNames =
    "AAX_ERROR_INVALID_PARAMETER_ID AAX_ERROR_INVALID_STRING_CONVERSION "
    "AAX_ERROR_INVALID_METER_INDEX AAX_ERROR_NULL_OBJECT AAX_ERROR_OLDER_VERSION "
    "AAX_ERROR_INVALID_CHUNK_INDEX AAX_ERROR_INVALID_CHUNK_ID AAX_ERROR_INCORRECT_CHUNK_SIZE "
    "AAX_ERROR_UNIMPLEMENTED AAX_ERROR_INVALID_PARAMETER_INDEX AAX_ERROR_NOT_INITIALIZED "
    "AAX_ERROR_ACF_ERROR AAX_ERROR_INVALID_METER_TYPE AAX_ERROR_CONTEXT_ALREADY_HAS_METERS "
    "AAX_ERROR_NULL_COMPONENT AAX_ERROR_PORT_ID_OUT_OF_RANGE "
    "AAX_ERROR_FIELD_TYPE_DOES_NOT_SUPPORT_DIRECT_ACCESS AAX_ERROR_DIRECT_ACCESS_OUT_OF_BOUNDS "
    "AAX_ERROR_FIFO_FULL AAX_ERROR_INITIALIZING_PACKET_STREAM_THREAD AAX_ERROR_POST_PACKET_FAILED "
    "AAX_RESULT_PACKET_STREAM_NOT_EMPTY AAX_RESULT_ADD_FIELD_UNSUPPORTED_FIELD_TYPE "
    "AAX_ERROR_MIXER_THREAD_FALLING_BEHIND AAX_ERROR_INVALID_FIELD_INDEX "
    "AAX_ERROR_MALFORMED_CHUNK AAX_ERROR_TOD_BEHIND AAX_RESULT_NEW_PACKET_POSTED - "
    "AAX_ERROR_PLUGIN_NULL_PARAMETER AAX_ERROR_NOTIFICATION_FAILED AAX_ERROR_INVALID_VIEW_SIZE "
    "AAX_ERROR_SIGNED_INT_OVERFLOW AAX_ERROR_NO_COMPONENTS AAX_ERROR_DUPLICATE_EFFECT_ID "
    "AAX_ERROR_DUPLICATE_TYPE_ID AAX_ERROR_EMPTY_EFFECT_NAME AAX_ERROR_UNKNOWN_PLUGIN "
    "AAX_ERROR_PROPERTY_UNDEFINED AAX_ERROR_INVALID_PATH AAX_ERROR_UNKNOWN_ID "
    "AAX_ERROR_UNKNOWN_EXCEPTION AAX_ERROR_INVALID_ARGUMENT AAX_ERROR_NULL_ARGUMENT "
    "AAX_ERROR_INVALID_INTERNAL_DATA AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW";

TEST(ResultNames, EveryCodeFromMinus20001ToMinus20046HasItsName)
{
    std::istringstream names(kNames);
    AAX_Result code = -20001;
    for (std::string name; names >> name; --code)
        EXPECT_EQ(AAX::AsStringResult(code), name == "-" ? "<unknown error code>" : name) << code;
    EXPECT_EQ(code, -20047);
}

TEST(ResultNames, SuccessPluginDefinedAndUnknownCodes)
{
    for (AAX_Result code : {-21000, -20800, -20600})
        EXPECT_EQ(AAX::AsStringResult(code), "plug-in defined error") << code;
    for (AAX_Result code : {-21001, -20599, -20047, -20000, -20051, -333, 5, INT_MIN, INT_MAX, AAX_Result(0x8000FFFF)})
        EXPECT_EQ(AAX::AsStringResult(code), "<unknown error code>") << code;
    EXPECT_EQ(AAX::AsStringResult(0), "AAX_SUCCESS");
}

TEST(ResultText, NameAndNumberAndWhatWithFunctionAndLine)
{
    using AAX::Exception::Any;
    using AAX::Exception::ResultError;
    EXPECT_EQ(ResultError::FormatResult(-20004), "AAX_ERROR_NULL_OBJECT (-20004)");
    EXPECT_EQ(ResultError::FormatResult(5), "<unknown error code> (5)");
    EXPECT_EQ(ResultError::FormatResult(INT_MIN), "<unknown error code> (-2147483648)");
    EXPECT_EQ(Any::CreateWhat("desc", "", ""), "desc");
    EXPECT_EQ(Any::CreateWhat("desc", "Func", ""), "desc func:Func");
    EXPECT_EQ(Any::CreateWhat("desc", "", "12"), "desc line:12");
    EXPECT_EQ(Any::CreateWhat("desc", "Func", "12"), "desc func:Func line:12");
    EXPECT_EQ(Any("something failed").What(), "something failed");
}

TEST(ResultText, ResultErrorCarriesItsCodeAndIsNoStandardException)
{
    static_assert(!std::is_base_of_v<std::exception, AAX::Exception::Any>);
    static_assert(std::is_base_of_v<AAX::Exception::Any, AAX::Exception::ResultError>);
    const AAX::Exception::ResultError error(-20009);
    EXPECT_EQ(error.Result(), -20009);
    EXPECT_EQ(error.What(), "AAX_ERROR_UNIMPLEMENTED (-20009)");
    EXPECT_EQ(error.Function(), "");
    EXPECT_EQ(error.Line(), "");
}
} // namespace
