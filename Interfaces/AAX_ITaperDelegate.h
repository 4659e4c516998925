// Taper delegates map between a parameter's normalized value (0..1) and its real value.
#pragma once

#include "AAX.h"

class AAX_ITaperDelegateBase
{
public:
    virtual ~AAX_ITaperDelegateBase() {}
};

template <typename T>
class AAX_ITaperDelegate : public AAX_ITaperDelegateBase
{
public:
    virtual AAX_ITaperDelegate* Clone() const = 0; // the caller owns the copy
    virtual T GetMaximumValue() const = 0;
    virtual T GetMinimumValue() const = 0;
    virtual T ConstrainRealValue(T value) const = 0;
    virtual T NormalizedToReal(double normalizedValue) const = 0;
    virtual double RealToNormalized(T realValue) const = 0;
};
