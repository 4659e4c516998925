#include "AAX_CString.h"

#include <cmath>
#include <cstring>
#include <ios>
#include <locale>
#include <sstream>

AAX_CString::AAX_CString() = default;

AAX_CString::AAX_CString(const char* text) : mString(text != nullptr ? text : "") {}

AAX_CString::AAX_CString(const AAX_CString& other) : AAX_IString(), mString(other.mString) {}

AAX_CString::AAX_CString(const AAX_IString& other) : AAX_CString(other.Get()) {}

AAX_CString::~AAX_CString() = default;

uint32_t AAX_CString::Length() const
{
    return static_cast<uint32_t>(mString.length());
}

uint32_t AAX_CString::MaxLength() const
{
    return 0xFFFFFFFEu;
}

const char* AAX_CString::Get() const
{
    return mString.c_str();
}

void AAX_CString::Set(const char* text)
{
    // Copied through a temporary: text may point into this string.
    mString = std::string(text != nullptr ? text : "");
}

AAX_IString& AAX_CString::operator=(const AAX_IString& other)
{
    Set(other.Get());
    return *this;
}

AAX_IString& AAX_CString::operator=(const char* text)
{
    Set(text);
    return *this;
}

AAX_CString& AAX_CString::operator=(const AAX_CString& other)
{
    mString = other.mString;
    return *this;
}

void AAX_CString::Clear()
{
    mString.clear();
}

AAX_CString& AAX_CString::Erase(uint32_t pos, uint32_t length)
{
    if (pos < mString.length())
        mString.erase(pos, length);
    return *this;
}

const char* AAX_CString::CString() const
{
    return Get();
}

namespace
{
// Every double is a whole multiple of 2^-1074, so its fixed-point expansion ends within 1074 digits after
// the point; any further digit is 0.
constexpr int32_t kExactFractionDigits = 1074;
} // namespace

AAX_CString& AAX_CString::AppendNumber(double number, int32_t precision)
{
    // The standard stream formats on the stack with room for every requested digit, so a large precision
    // would overflow the stack. Digits past the exact expansion are zeros and are appended here instead.
    const int32_t formattedDigits = precision > kExactFractionDigits ? kExactFractionDigits : precision;
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream.setf(std::ios::fixed, std::ios::floatfield);
    stream.precision(formattedDigits);
    stream << number;
    mString += stream.str();
    if (precision > formattedDigits && std::isfinite(number))
        mString.append(static_cast<size_t>(precision - formattedDigits), '0');
    return *this;
}

bool AAX_CString::ToDouble(double* out) const
{
    std::istringstream stream(mString);
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    if (stream.fail())
        value = 0.0;
    if (out != nullptr)
        *out = value;
    return !stream.fail();
}

void AAX_CString::SubString(uint32_t pos, uint32_t length, AAX_IString* out) const
{
    // std::string::substr throws std::out_of_range for pos > length(); pos == length() gives "".
    const std::string part = mString.substr(pos, length);
    if (out != nullptr)
        out->Set(part.c_str());
}

bool AAX_CString::operator==(const AAX_CString& other) const
{
    return std::strcmp(Get(), other.Get()) == 0;
}

bool AAX_CString::operator!=(const AAX_CString& other) const
{
    return !(*this == other);
}

bool AAX_CString::operator!=(const char* other) const
{
    return std::strcmp(Get(), other != nullptr ? other : "") != 0;
}

char& AAX_CString::operator[](uint32_t index)
{
    return mString[index];
}

const char& AAX_CString::operator[](uint32_t index) const
{
    return mString[index];
}
