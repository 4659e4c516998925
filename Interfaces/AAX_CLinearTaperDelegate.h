// Linear taper between a minimum and a maximum real value. RealPrecision 0 keeps real values unrounded.
#pragma once

#include "AAX_ITaperDelegate.h"

template <typename T, int32_t RealPrecision = 0>
class AAX_CLinearTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    explicit AAX_CLinearTaperDelegate(T minValue = 0, T maxValue = 1);

    AAX_CLinearTaperDelegate* Clone() const override;
    T GetMaximumValue() const override;
    T GetMinimumValue() const override;
    T ConstrainRealValue(T value) const override;
    T NormalizedToReal(double normalizedValue) const override;
    double RealToNormalized(T realValue) const override;

private:
    T mMinValue;
    T mMaxValue;
};
