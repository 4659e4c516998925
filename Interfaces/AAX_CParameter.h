// The library's parameter object: AAX_CParameter<T> with its value record and its set of names.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"
#include "AAX_CString.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"
#include "AAX_IDisplayDelegate.h"

#include <map>

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
