// Shows a two-state value with one text for each state.
#pragma once

#include "AAX_IDisplayDelegate.h"

template <typename T>
class AAX_CBinaryDisplayDelegate : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CBinaryDisplayDelegate(const char* falseString, const char* trueString);

    AAX_CBinaryDisplayDelegate* Clone() const override;
    bool ValueToString(T value, AAX_CString* valueString) const override;
    bool ValueToString(T value, int32_t maxNumChars, AAX_CString* valueString) const override;
    bool StringToValue(const AAX_CString& valueString, T* value) const override;

private:
    AAX_CString mFalseString;
    AAX_CString mTrueString;
};
