#include "AAX_Exception.h"

#include <cstdio>

namespace AAX
{
namespace Exception
{
Any::Any(const std::string& description) : Any(description, std::string(), std::string()) {}

Any::Any(const std::string& description, const std::string& function, const std::string& line)
    : mDesc(description), mFunction(function), mLine(line), mWhat(CreateWhat(description, function, line))
{
}

Any::~Any() = default;

std::string Any::CreateWhat(const std::string& description, const std::string& function, const std::string& line)
{
    std::string what = description;
    if (!function.empty())
        what += " func:" + function;
    if (!line.empty())
        what += " line:" + line;
    return what;
}

ResultError::ResultError(AAX_Result result) : Any(FormatResult(result)), mResult(result) {}

ResultError::~ResultError() = default;

std::string ResultError::FormatResult(AAX_Result result)
{
    char number[24];
    std::snprintf(number, sizeof number, "%ld", static_cast<long>(result));
    return AsStringResult(result) + " (" + number + ")";
}
} // namespace Exception
} // namespace AAX
