// Shows a real value as a number with a fixed count of decimals.
#pragma once

#include "AAX_IDisplayDelegate.h"

template <typename T, uint32_t Precision = 2, uint32_t SpaceAfter = 0>
class AAX_CNumberDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CNumberDisplayDelegate();

    AAX_CNumberDisplayDelegate* Clone() const override;
    bool ValueToString(T value, AAX_CString* valueString) const override;
    bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override;
    bool StringToValue(const AAX_CString& valueString, T* value) const override;
};
