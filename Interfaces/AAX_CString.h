// The library's text type: a growable, always NUL-terminated byte string (no encoding assumed).
#pragma once

#include "AAX_IString.h"

#include <string>

class AAX_CString : public AAX_IString
{
public:
    AAX_CString();
    // A null text gives an empty string.
    AAX_CString(const char* text);
    AAX_CString(const AAX_CString& other);
    AAX_CString(const AAX_IString& other);
    ~AAX_CString() override;

    uint32_t Length() const override;
    // Always 0xFFFFFFFE.
    uint32_t MaxLength() const override;
    const char* Get() const override;
    void Set(const char* text) override;
    AAX_IString& operator=(const AAX_IString& other) override;
    AAX_IString& operator=(const char* text) override;

    AAX_CString& operator=(const AAX_CString& other);

    // Empties the text and keeps the storage.
    void Clear();
    // Removes length bytes starting at pos; a range that reaches past the end is cut at the end, and a pos
    // past the end removes nothing.
    AAX_CString& Erase(uint32_t pos, uint32_t length);
    const char* CString() const;
    // Appends number in fixed-point notation with exactly precision digits after the point (classic locale).
    AAX_CString& AppendNumber(double number, int32_t precision);
    // Reads a number from the start of the text as a standard input stream would; false and 0.0 on failure.
    bool ToDouble(double* out) const;
    // Sets out to at most length bytes from pos; throws std::out_of_range when pos > Length().
    void SubString(uint32_t pos, uint32_t length, AAX_IString* out) const;

    bool operator==(const AAX_CString& other) const;
    bool operator!=(const AAX_CString& other) const;
    bool operator!=(const char* other) const;

    // No bounds check: index must be below Length().
    char& operator[](uint32_t index);
    const char& operator[](uint32_t index) const;

    const std::string& StdString() const noexcept { return mString; }

private:
    std::string mString;
};
