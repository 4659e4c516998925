// The library's exceptions and AAX_CheckedResult, which turns an unexpected result code into an exception.
// Exceptions never cross the host boundary: the exported entry points catch them and return result codes.
#pragma once

#include "AAX.h"
#include "AAX_Errors.h"

#include <set>
#include <string>

namespace AAX
{
namespace Exception
{
// Base of the library's exceptions; deliberately not derived from std::exception.
class Any
{
public:
    explicit Any(const std::string& description);
    Any(const std::string& description, const std::string& function, const std::string& line);
    virtual ~Any();

    const std::string& What() const noexcept { return mWhat; }
    const std::string& Desc() const noexcept { return mDesc; }
    const std::string& Function() const noexcept { return mFunction; }
    const std::string& Line() const noexcept { return mLine; }

    // The description, then " func:<function>" and " line:<line>" for whichever of the two is not empty.
    static std::string CreateWhat(const std::string& description, const std::string& function, const std::string& line);

private:
    std::string mDesc;
    std::string mFunction;
    std::string mLine;
    std::string mWhat;
};

// A failed result code; its description is FormatResult(result).
class ResultError : public Any
{
public:
    explicit ResultError(AAX_Result result);
    ~ResultError() override;

    AAX_Result Result() const noexcept { return mResult; }

    // "<name> (<signed decimal>)", e.g. AAX_ERROR_NULL_OBJECT (-20004).
    static std::string FormatResult(AAX_Result result);

private:
    AAX_Result mResult;
};
} // namespace Exception
} // namespace AAX

// Holds a result code and throws AAX::Exception::ResultError as soon as it holds one that is not accepted
// (only AAX_SUCCESS unless more are added). The failure is traced to the host before the throw.
class AAX_CheckedResult
{
public:
    AAX_CheckedResult();
    AAX_CheckedResult(AAX_Result result);

    AAX_CheckedResult& operator=(AAX_Result result);

    // Throws when the current result is not accepted; then the current result becomes 0 and the last
    // error holds the failing code.
    void Check();

    // Accepts only AAX_SUCCESS again.
    void ResetAcceptedResults();
    void AddAcceptedResult(AAX_Result result);

    AAX_Result Result() const noexcept { return mCurResult; }
    AAX_Result LastError() const noexcept { return mLastError; }
    operator AAX_Result() const noexcept { return mCurResult; }

private:
    AAX_Result mCurResult;
    AAX_Result mLastError;
    std::set<AAX_Result> mAcceptedResults;
};
