// A text of the host's own, for host calls that hand the plug-in an AAX_IString to fill or to read (the
// host never links the plug-in's AAX_CString). A null text sets it empty.
#pragma once

#include "AAX_IString.h"

#include <string>

class HostString final : public AAX_IString
{
public:
    explicit HostString(std::string text = {}) : mText(std::move(text)) {}

    uint32_t Length() const override { return static_cast<uint32_t>(mText.size()); }
    uint32_t MaxLength() const override { return 0xFFFFFFFEu; }
    const char* Get() const override { return mText.c_str(); }
    void Set(const char* text) override { mText = std::string(text != nullptr ? text : ""); }
    AAX_IString& operator=(const AAX_IString& other) override;
    AAX_IString& operator=(const char* text) override;

    const std::string& text() const { return mText; }

private:
    std::string mText;
};
