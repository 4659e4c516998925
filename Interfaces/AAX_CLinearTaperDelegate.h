// Linear taper between a minimum and a maximum real value. RealPrecision 0 keeps real values unrounded.
#pragma once

#include "AAX_ITaperDelegate.h"
#include "AAX_RealConversion.h"

template <typename T, int32_t RealPrecision = 0>
class AAX_CLinearTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    explicit AAX_CLinearTaperDelegate(T minValue = 0, T maxValue = 1) : mMinValue(minValue), mMaxValue(maxValue) {}

    AAX_CLinearTaperDelegate* Clone() const override { return new AAX_CLinearTaperDelegate(*this); }
    T GetMaximumValue() const override { return mMaxValue; }
    T GetMinimumValue() const override { return mMinValue; }

    // Inside the range whichever way round it is given; a NaN passes unchanged.
    T ConstrainRealValue(T value) const override
    {
        if (mMinValue == mMaxValue)
            return mMinValue;
        const T highest = mMaxValue > mMinValue ? mMaxValue : mMinValue;
        const T lowest = mMaxValue > mMinValue ? mMinValue : mMaxValue;
        if (value > highest)
            return highest;
        return lowest > value ? lowest : value;
    }

    T NormalizedToReal(double normalizedValue) const override
    {
        const double real = static_cast<double>(mMinValue)
                            + (static_cast<double>(mMaxValue) - static_cast<double>(mMinValue)) * normalizedValue;
        return ConstrainRealValue(AAX_RealFromDouble<T>(real));
    }

    double RealToNormalized(T realValue) const override
    {
        realValue = ConstrainRealValue(realValue);
        if (mMinValue == mMaxValue)
            return 0.5;
        return (static_cast<double>(realValue) - static_cast<double>(mMinValue))
               / (static_cast<double>(mMaxValue) - static_cast<double>(mMinValue));
    }

private:
    T mMinValue;
    T mMaxValue;
};
