// Taper of a two-state parameter: normalized values below 0.5 are the false state, the rest true.
#pragma once

#include "AAX_ITaperDelegate.h"

template <typename T>
class AAX_CBinaryTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    AAX_CBinaryTaperDelegate();

    AAX_CBinaryTaperDelegate* Clone() const override;
    T GetMaximumValue() const override;
    T GetMinimumValue() const override;
    T ConstrainRealValue(T value) const override;
    T NormalizedToReal(double normalizedValue) const override;
    double RealToNormalized(T realValue) const override;
};
