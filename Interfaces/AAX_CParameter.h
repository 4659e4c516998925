// The library's parameter object: AAX_CParameter<T> with its value record and its set of names.
#pragma once

#include "AAX.h"
#include "AAX_Assert.h"
#include "AAX_CString.h"
#include "AAX_Enums.h"
#include "AAX_IAutomationDelegate.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <type_traits>

// Size of the identifier field of a parameter value, terminating NUL included: identifiers keep at most
// 31 characters.
enum AAX_EParameterDefaults : int32_t
{
    eParemeterDefaultMaxIdentifierSize = 32
};

// A parameter's full name and its shortened names, at most one per length.
class AAX_CStringAbbreviations
{
public:
    explicit AAX_CStringAbbreviations(const AAX_CString& inPrimary);

    void SetPrimary(const AAX_CString& inPrimary);
    const AAX_CString& Primary() const;
    // Stores inAbbreviation under its length, replacing an earlier one of the same length.
    void Add(const AAX_CString& inAbbreviation);
    // The best name for at most inNumCharacters characters.
    const AAX_CString& Get(int32_t inNumCharacters) const;
    void Clear();

private:
    AAX_CString mPrimary;
    std::map<uint32_t, AAX_CString> mAbbreviations;
};

// Identifier and real value of a parameter, detached from it.
template <typename T>
class AAX_CParameterValue : public AAX_IParameterValue
{
public:
    AAX_CParameterValue(AAX_CParamID identifier, const T& value);

    AAX_CParameterValue* Clone() const override;
    AAX_CParamID Identifier() const override;
    bool GetValueAsBool(bool* value) const override;
    bool GetValueAsInt32(int32_t* value) const override;
    bool GetValueAsFloat(float* value) const override;
    bool GetValueAsDouble(double* value) const override;
    bool GetValueAsString(AAX_IString* value) const override;

    const T& Get() const;
    void Set(const T& value);

private:
    char mIdentifier[eParemeterDefaultMaxIdentifierSize];
    T mValue;
};

// One automatable parameter of real type T, with its own clones of a taper and a display delegate.
template <typename T>
class AAX_CParameter : public AAX_IParameter
{
public:
    // defaultValue is a real value; it is stored without being constrained.
    AAX_CParameter(AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                   const AAX_ITaperDelegate<T>& taperDelegate, const AAX_IDisplayDelegate<T>& displayDelegate,
                   bool automatable = false);
    AAX_CParameter(const AAX_CParameter&) = delete;
    AAX_CParameter& operator=(const AAX_CParameter&) = delete;
    ~AAX_CParameter() override;

    AAX_IParameterValue* CloneValue() const override;

    AAX_CParamID Identifier() const override;
    void SetName(const AAX_CString& name) override;
    const AAX_CString& Name() const override;
    void AddShortenedName(const AAX_CString& name) override;
    const AAX_CString& ShortenedName(int32_t iNumCharacters) const override;
    void ClearShortenedNames() override;

    bool Automatable() const override;
    void SetAutomationDelegate(AAX_IAutomationDelegate* iAutomationDelegate) override;
    void Touch() override;
    void Release() override;

    void SetNormalizedValue(double newNormalizedValue) override;
    double GetNormalizedValue() const override;
    void SetNormalizedDefaultValue(double normalizedDefault) override;
    double GetNormalizedDefaultValue() const override;
    void SetToDefaultValue() override;

    void SetNumberOfSteps(uint32_t numSteps) override;
    uint32_t GetNumberOfSteps() const override;
    uint32_t GetStepValue() const override;
    double GetNormalizedValueFromStep(uint32_t iStep) const override;
    uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const override;
    void SetStepValue(uint32_t iStep) override;

    bool GetValueString(AAX_CString* valueString) const override;
    bool GetValueString(int32_t iMaxNumChars, AAX_CString* valueString) const override;

    bool GetNormalizedValueFromBool(bool value, double* normalizedValue) const override;
    bool GetNormalizedValueFromInt32(int32_t value, double* normalizedValue) const override;
    bool GetNormalizedValueFromFloat(float value, double* normalizedValue) const override;
    bool GetNormalizedValueFromDouble(double value, double* normalizedValue) const override;
    bool GetNormalizedValueFromString(const AAX_CString& valueString, double* normalizedValue) const override;
    bool GetBoolFromNormalizedValue(double normalizedValue, bool* value) const override;
    bool GetInt32FromNormalizedValue(double normalizedValue, int32_t* value) const override;
    bool GetFloatFromNormalizedValue(double normalizedValue, float* value) const override;
    bool GetDoubleFromNormalizedValue(double normalizedValue, double* value) const override;
    bool GetStringFromNormalizedValue(double normalizedValue, AAX_CString& valueString) const override;
    bool GetStringFromNormalizedValue(double normalizedValue, int32_t iMaxNumChars,
                                      AAX_CString& valueString) const override;
    bool SetValueFromString(const AAX_CString& newValueString) override;

    bool GetValueAsBool(bool* value) const override;
    bool GetValueAsInt32(int32_t* value) const override;
    bool GetValueAsFloat(float* value) const override;
    bool GetValueAsDouble(double* value) const override;
    bool GetValueAsString(AAX_IString* value) const override;
    bool SetValueWithBool(bool value) override;
    bool SetValueWithInt32(int32_t value) override;
    bool SetValueWithFloat(float value) override;
    bool SetValueWithDouble(double value) override;
    bool SetValueWithString(const AAX_IString& value) override;

    void SetType(AAX_EParameterType iControlType) override;
    AAX_EParameterType GetType() const override;
    void SetOrientation(AAX_EParameterOrientation iOrientation) override;
    AAX_EParameterOrientation GetOrientation() const override;

    void SetTaperDelegate(AAX_ITaperDelegateBase& inTaperDelegate, bool inPreserveValue) override;
    void SetDisplayDelegate(AAX_IDisplayDelegateBase& inDisplayDelegate) override;

    void UpdateNormalizedValue(double newNormalizedValue) override;

protected:
    // The set path: a request to the host with an automation delegate, otherwise stored at once. A NaN is
    // refused (false): it would never be a value.
    bool RequestNormalizedValue(double normalizedValue);
    // Typed sets and conversions succeed only for the parameter's own real type.
    template <typename U>
    bool RequestIfRealType(U value);
    template <typename U>
    bool NormalizedIfRealType(U value, double* normalizedValue) const;

    AAX_CStringAbbreviations mNames;
    bool mAutomatable;
    uint32_t mNumSteps;
    AAX_EParameterType mControlType;
    AAX_EParameterOrientation mOrientation;
    AAX_ITaperDelegate<T>* mTaperDelegate;
    AAX_IDisplayDelegate<T>* mDisplayDelegate;
    AAX_IAutomationDelegate* mAutomationDelegate;
    bool mNeedNotify;
    AAX_CParameterValue<T> mValue;
    T mDefaultValue;
};

//==============================================================================
// Typed access succeeds only for the parameter's own real type.
template <typename Wanted, typename T>
bool AAX_CopyIfRealType(const T& value, Wanted* out)
{
    if constexpr (std::is_same_v<Wanted, T>)
    {
        if (out == nullptr)
            return false;
        *out = value;
        return true;
    }
    else
    {
        (void)value;
        (void)out;
        return false;
    }
}

template <typename T>
AAX_CParameterValue<T>::AAX_CParameterValue(AAX_CParamID identifier, const T& value) : mIdentifier(), mValue(value)
{
    const size_t len = identifier != nullptr ? std::strlen(identifier) : 0;
    AAX_ASSERT_AT(194, len < eParemeterDefaultMaxIdentifierSize);
    const size_t kept = len < eParemeterDefaultMaxIdentifierSize ? len : eParemeterDefaultMaxIdentifierSize - 1;
    if (kept > 0)
        std::memcpy(mIdentifier, identifier, kept);
    mIdentifier[kept] = '\0';
}

template <typename T>
AAX_CParameterValue<T>* AAX_CParameterValue<T>::Clone() const
{
    return new AAX_CParameterValue(mIdentifier, mValue);
}

template <typename T>
AAX_CParamID AAX_CParameterValue<T>::Identifier() const
{
    return mIdentifier;
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsBool(bool* value) const
{
    return AAX_CopyIfRealType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsInt32(int32_t* value) const
{
    return AAX_CopyIfRealType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsFloat(float* value) const
{
    return AAX_CopyIfRealType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsDouble(double* value) const
{
    return AAX_CopyIfRealType(mValue, value);
}

template <typename T>
bool AAX_CParameterValue<T>::GetValueAsString(AAX_IString*) const
{
    return false;
}

template <typename T>
const T& AAX_CParameterValue<T>::Get() const
{
    return mValue;
}

template <typename T>
void AAX_CParameterValue<T>::Set(const T& value)
{
    mValue = value;
}

//==============================================================================
template <typename T>
AAX_CParameter<T>::AAX_CParameter(AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                                  const AAX_ITaperDelegate<T>& taperDelegate,
                                  const AAX_IDisplayDelegate<T>& displayDelegate, bool automatable)
    : mNames(name), mAutomatable(automatable), mNumSteps(0), mControlType(AAX_eParameterType_Continuous),
      mOrientation(AAX_eParameterOrientation_Default), mTaperDelegate(nullptr), mDisplayDelegate(nullptr),
      mAutomationDelegate(nullptr), mNeedNotify(true), mValue(identifier, T(0)), mDefaultValue(defaultValue)
{
    std::unique_ptr<AAX_ITaperDelegate<T>> taper(taperDelegate.Clone());
    mDisplayDelegate = displayDelegate.Clone();
    mTaperDelegate = taper.release();

    if (mNumSteps == 0)
    {
        if (mControlType == AAX_eParameterType_Continuous)
            SetNumberOfSteps(128);
        else if (mControlType == AAX_eParameterType_Discrete)
            SetNumberOfSteps(2);
        else
            AAX_ASSERT_AT(699, 0);
    }
    SetToDefaultValue();
}

template <typename T>
AAX_CParameter<T>::~AAX_CParameter()
{
    if (mAutomationDelegate != nullptr)
    {
        try
        {
            mAutomationDelegate->UnregisterParameter(Identifier());
        }
        catch (...)
        {
        }
    }
    delete mTaperDelegate;
    delete mDisplayDelegate;
}

template <typename T>
AAX_IParameterValue* AAX_CParameter<T>::CloneValue() const
{
    return new AAX_CParameterValue<T>(Identifier(), mValue.Get());
}

template <typename T>
AAX_CParamID AAX_CParameter<T>::Identifier() const
{
    return mValue.Identifier();
}

template <typename T>
void AAX_CParameter<T>::SetName(const AAX_CString& name)
{
    mNames.SetPrimary(name);
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::Name() const
{
    return mNames.Primary();
}

template <typename T>
void AAX_CParameter<T>::AddShortenedName(const AAX_CString& name)
{
    mNames.Add(name);
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::ShortenedName(int32_t iNumCharacters) const
{
    return mNames.Get(iNumCharacters);
}

template <typename T>
void AAX_CParameter<T>::ClearShortenedNames()
{
    mNames.Clear();
}

template <typename T>
bool AAX_CParameter<T>::Automatable() const
{
    return mAutomatable;
}

template <typename T>
void AAX_CParameter<T>::SetAutomationDelegate(AAX_IAutomationDelegate* iAutomationDelegate)
{
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->UnregisterParameter(Identifier());
    mAutomationDelegate = iAutomationDelegate;
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->RegisterParameter(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Touch()
{
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostTouchRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Release()
{
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostReleaseRequest(Identifier());
}

template <typename T>
bool AAX_CParameter<T>::RequestNormalizedValue(double normalizedValue)
{
    if (std::isnan(normalizedValue))
        return false;
    if (mAutomationDelegate != nullptr)
    {
        // The value changes when the host confirms it through UpdateNormalizedValue.
        Touch();
        mAutomationDelegate->PostSetValueRequest(Identifier(), normalizedValue);
        Release();
    }
    else
    {
        mNeedNotify = true;
        UpdateNormalizedValue(normalizedValue);
    }
    return true;
}

template <typename T>
template <typename U>
bool AAX_CParameter<T>::RequestIfRealType(U value)
{
    if constexpr (std::is_same_v<T, U>)
        return RequestNormalizedValue(mTaperDelegate->RealToNormalized(value));
    (void)value;
    return false;
}

template <typename T>
template <typename U>
bool AAX_CParameter<T>::NormalizedIfRealType(U value, double* normalizedValue) const
{
    if constexpr (std::is_same_v<T, U>)
        return AAX_CopyIfRealType(mTaperDelegate->RealToNormalized(value), normalizedValue);
    (void)value;
    (void)normalizedValue;
    return false;
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedValue(double newNormalizedValue)
{
    // Through the real value and back, so that the request lies within the taper's range.
    RequestNormalizedValue(mTaperDelegate->RealToNormalized(mTaperDelegate->NormalizedToReal(newNormalizedValue)));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValue() const
{
    return mTaperDelegate->RealToNormalized(mValue.Get());
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedDefaultValue(double normalizedDefault)
{
    const T value = mTaperDelegate->ConstrainRealValue(mTaperDelegate->NormalizedToReal(normalizedDefault));
    if (value == value) // a NaN default would be requested by SetToDefaultValue
        mDefaultValue = value;
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedDefaultValue() const
{
    return mTaperDelegate->RealToNormalized(mDefaultValue);
}

template <typename T>
void AAX_CParameter<T>::SetToDefaultValue()
{
    RequestNormalizedValue(mTaperDelegate->RealToNormalized(mDefaultValue));
}

template <typename T>
void AAX_CParameter<T>::SetNumberOfSteps(uint32_t numSteps)
{
    AAX_ASSERT_AT(834, 0 < numSteps);
    if (numSteps > 0)
        mNumSteps = numSteps;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetNumberOfSteps() const
{
    return mNumSteps;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetStepValue() const
{
    return GetStepValueFromNormalizedValue(GetNormalizedValue());
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValueFromStep(uint32_t iStep) const
{
    const uint32_t steps = GetNumberOfSteps();
    if (steps < 2)
        return 0.0;
    const double normalized = iStep * (1.0 / (steps - 1));
    return normalized > 1.0 ? 1.0 : normalized;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetStepValueFromNormalizedValue(double normalizedValue) const
{
    const uint32_t steps = GetNumberOfSteps();
    if (steps < 2)
        return 0;
    const double lastStep = steps - 1;
    double step = normalizedValue / (1.0 / lastStep) + 0.5;
    if (!(step >= 0.0)) // below 0 or NaN
        step = 0.0;
    if (step > lastStep)
        step = lastStep;
    return static_cast<uint32_t>(step);
}

template <typename T>
void AAX_CParameter<T>::SetStepValue(uint32_t iStep)
{
    if (GetNumberOfSteps() >= 2)
        SetNormalizedValue(GetNormalizedValueFromStep(iStep));
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(AAX_CString* valueString) const
{
    return mDisplayDelegate->ValueToString(mValue.Get(), valueString);
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(int32_t iMaxNumChars, AAX_CString* valueString) const
{
    return mDisplayDelegate->ValueToString(mValue.Get(), iMaxNumChars, valueString);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromBool(bool value, double* normalizedValue) const
{
    return NormalizedIfRealType(value, normalizedValue);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromInt32(int32_t value, double* normalizedValue) const
{
    return NormalizedIfRealType(value, normalizedValue);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromFloat(float value, double* normalizedValue) const
{
    return NormalizedIfRealType(value, normalizedValue);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromDouble(double value, double* normalizedValue) const
{
    return NormalizedIfRealType(value, normalizedValue);
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromString(const AAX_CString& valueString, double* normalizedValue) const
{
    T value = T(0);
    if (!mDisplayDelegate->StringToValue(valueString, &value))
        return false;
    return AAX_CopyIfRealType(mTaperDelegate->RealToNormalized(value), normalizedValue);
}

template <typename T>
bool AAX_CParameter<T>::GetBoolFromNormalizedValue(double normalizedValue, bool* value) const
{
    return AAX_CopyIfRealType(mTaperDelegate->NormalizedToReal(normalizedValue), value);
}

template <typename T>
bool AAX_CParameter<T>::GetInt32FromNormalizedValue(double normalizedValue, int32_t* value) const
{
    return AAX_CopyIfRealType(mTaperDelegate->NormalizedToReal(normalizedValue), value);
}

template <typename T>
bool AAX_CParameter<T>::GetFloatFromNormalizedValue(double normalizedValue, float* value) const
{
    return AAX_CopyIfRealType(mTaperDelegate->NormalizedToReal(normalizedValue), value);
}

template <typename T>
bool AAX_CParameter<T>::GetDoubleFromNormalizedValue(double normalizedValue, double* value) const
{
    return AAX_CopyIfRealType(mTaperDelegate->NormalizedToReal(normalizedValue), value);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue(double normalizedValue, AAX_CString& valueString) const
{
    const T value = mTaperDelegate->NormalizedToReal(normalizedValue);
    const bool shown = mDisplayDelegate->ValueToString(value, &valueString);
    return shown && mTaperDelegate->GetMinimumValue() <= value && value <= mTaperDelegate->GetMaximumValue();
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue(double normalizedValue, int32_t iMaxNumChars,
                                                     AAX_CString& valueString) const
{
    const T value = mTaperDelegate->NormalizedToReal(normalizedValue);
    const bool shown = mDisplayDelegate->ValueToString(value, iMaxNumChars, &valueString);
    return shown && mTaperDelegate->GetMinimumValue() <= value && value <= mTaperDelegate->GetMaximumValue();
}

template <typename T>
bool AAX_CParameter<T>::SetValueFromString(const AAX_CString& newValueString)
{
    T value = T(0);
    if (!mDisplayDelegate->StringToValue(newValueString, &value))
        return false;
    return RequestNormalizedValue(mTaperDelegate->RealToNormalized(value));
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsBool(bool* value) const
{
    return AAX_CopyIfRealType(mValue.Get(), value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsInt32(int32_t* value) const
{
    return AAX_CopyIfRealType(mValue.Get(), value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsFloat(float* value) const
{
    return AAX_CopyIfRealType(mValue.Get(), value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsDouble(double* value) const
{
    return AAX_CopyIfRealType(mValue.Get(), value);
}

template <typename T>
bool AAX_CParameter<T>::GetValueAsString(AAX_IString* value) const
{
    if (value == nullptr)
        return false;
    AAX_CString text;
    const bool shown = GetValueString(&text);
    if (shown)
        *value = text;
    return shown;
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithBool(bool value)
{
    return RequestIfRealType(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithInt32(int32_t value)
{
    return RequestIfRealType(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithFloat(float value)
{
    return RequestIfRealType(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithDouble(double value)
{
    return RequestIfRealType(value);
}

template <typename T>
bool AAX_CParameter<T>::SetValueWithString(const AAX_IString& value)
{
    return SetValueFromString(AAX_CString(value));
}

template <typename T>
void AAX_CParameter<T>::SetType(AAX_EParameterType iControlType)
{
    mControlType = iControlType;
}

template <typename T>
AAX_EParameterType AAX_CParameter<T>::GetType() const
{
    return mControlType;
}

template <typename T>
void AAX_CParameter<T>::SetOrientation(AAX_EParameterOrientation iOrientation)
{
    mOrientation = iOrientation;
}

template <typename T>
AAX_EParameterOrientation AAX_CParameter<T>::GetOrientation() const
{
    return mOrientation;
}

template <typename T>
void AAX_CParameter<T>::SetTaperDelegate(AAX_ITaperDelegateBase& inTaperDelegate, bool inPreserveValue)
{
    // A taper of another real type cannot serve this parameter.
    const auto* const taper = dynamic_cast<const AAX_ITaperDelegate<T>*>(&inTaperDelegate);
    if (taper == nullptr)
        return;
    const double normalizedValue = GetNormalizedValue();
    AAX_ITaperDelegate<T>* const oldTaper = mTaperDelegate;
    mTaperDelegate = taper->Clone();
    delete oldTaper;
    mNeedNotify = true;
    if (inPreserveValue)
        RequestNormalizedValue(mTaperDelegate->RealToNormalized(mValue.Get()));
    else
        UpdateNormalizedValue(normalizedValue);
}

template <typename T>
void AAX_CParameter<T>::SetDisplayDelegate(AAX_IDisplayDelegateBase& inDisplayDelegate)
{
    const auto* const display = dynamic_cast<const AAX_IDisplayDelegate<T>*>(&inDisplayDelegate);
    if (display == nullptr)
        return;
    AAX_IDisplayDelegate<T>* const oldDisplay = mDisplayDelegate;
    mDisplayDelegate = display->Clone();
    delete oldDisplay;
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostCurrentValue(Identifier(), GetNormalizedValue());
}

template <typename T>
void AAX_CParameter<T>::UpdateNormalizedValue(double newNormalizedValue)
{
    const T value = mTaperDelegate->NormalizedToReal(newNormalizedValue);
    if (value != value) // a NaN is never stored
        return;
    if (!mNeedNotify && value == mValue.Get())
        return;
    mValue.Set(value);
    // An infinite value received is reported as the end of the range it was stored as.
    if (mAutomationDelegate != nullptr)
        mAutomationDelegate->PostCurrentValue(Identifier(), std::isfinite(newNormalizedValue) ? newNormalizedValue
                                                                                              : GetNormalizedValue());
    mNeedNotify = false;
}
