// IACFUnknown: the three methods (0, 1, 2) that begin every host and plug-in interface.
#pragma once

#include "acfuid.h"

// No virtual destructor: the table of functions must begin with exactly these three methods, in this order.
class IACFUnknown
{
public:
    virtual ACFRESULT QueryInterface(const acfIID& interfaceID, void** out) = 0; // method 0
    virtual acfUInt32 AddRef() = 0;                                              // method 1
    virtual acfUInt32 Release() = 0;                                             // method 2

protected:
    ~IACFUnknown() = default;
};
