// Shows a real value as a number with a fixed count of decimals.
#pragma once

#include "AAX_IDisplayDelegate.h"
#include "AAX_RealConversion.h"

template <typename T, uint32_t Precision = 2, uint32_t SpaceAfter = 0>
class AAX_CNumberDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CNumberDisplayDelegate() {}

    AAX_CNumberDisplayDelegate* Clone() const override { return new AAX_CNumberDisplayDelegate(*this); }

    bool ValueToString(T value, AAX_CString* valueString) const override
    {
        if (valueString == nullptr)
            return false;
        valueString->Clear();
        valueString->AppendNumber(static_cast<double>(value), static_cast<int32_t>(Precision));
        return true;
    }

    // Cut to maxNumChars characters; a point left last by the cut goes too.
    bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override
    {
        if (!ValueToString(value, valueString))
            return false;
        const uint32_t limit = maxNumChars > 0 ? static_cast<uint32_t>(maxNumChars) : 0u;
        if (valueString->Length() > limit)
            valueString->Erase(limit, valueString->Length() - limit);
        if (maxNumChars >= 1 && valueString->Length() == limit && (*valueString)[limit - 1] == '.')
            valueString->Erase(limit - 1, 1);
        return true;
    }

    bool StringToValue(const AAX_CString& valueString, T* value) const override
    {
        double number = 0.0;
        const bool read = valueString.ToDouble(&number);
        if (value != nullptr)
            *value = read ? AAX_RealFromDouble<T>(number) : T(0);
        return read;
    }
};
