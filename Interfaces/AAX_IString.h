// Text exchanged with the host: the host passes an AAX_IString to be filled, or reads one.
#pragma once

#include "AAX.h"

// Slot order is part of the contract with the host.
class AAX_IString
{
public:
    virtual ~AAX_IString() {}
    // Number of bytes in the text, without the terminating NUL.
    virtual uint32_t Length() const = 0;
    virtual uint32_t MaxLength() const = 0;
    // The NUL-terminated text.
    virtual const char* Get() const = 0;
    virtual void Set(const char* text) = 0;
    virtual AAX_IString& operator=(const AAX_IString& other) = 0;
    virtual AAX_IString& operator=(const char* text) = 0;
};
