// Automatable plug-in parameters: the value record and the parameter interface. The order of the virtual
// operations is fixed; do not reorder.
#pragma once

#include "AAX.h"
#include "AAX_CString.h"
#include "AAX_Enums.h"

class AAX_IAutomationDelegate;
class AAX_ITaperDelegateBase;
class AAX_IDisplayDelegateBase;

// A parameter's identifier and current real value, detached from the parameter.
class AAX_IParameterValue
{
public:
    virtual ~AAX_IParameterValue() {}

    virtual AAX_IParameterValue* Clone() const = 0; // the caller owns the copy
    virtual AAX_CParamID Identifier() const = 0;
    virtual bool GetValueAsBool(bool* value) const = 0;
    virtual bool GetValueAsInt32(int32_t* value) const = 0;
    virtual bool GetValueAsFloat(float* value) const = 0;
    virtual bool GetValueAsDouble(double* value) const = 0;
    virtual bool GetValueAsString(AAX_IString* value) const = 0;
};

// One automatable parameter. Values cross the host boundary normalized to 0..1; the parameter's taper
// maps them to real values and its display turns real values into text. With an automation delegate
// every set becomes a request to the host, and the value changes when the host confirms it through
// UpdateNormalizedValue.
class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() {}

    virtual AAX_IParameterValue* CloneValue() const = 0; // the caller owns the copy

    // Identity and names
    virtual AAX_CParamID Identifier() const = 0;
    virtual void SetName(const AAX_CString& name) = 0;
    virtual const AAX_CString& Name() const = 0;
    virtual void AddShortenedName(const AAX_CString& name) = 0;
    virtual const AAX_CString& ShortenedName(int32_t iNumCharacters) const = 0;
    virtual void ClearShortenedNames() = 0;

    // Automation
    virtual bool Automatable() const = 0;
    virtual void SetAutomationDelegate(AAX_IAutomationDelegate* iAutomationDelegate) = 0;
    virtual void Touch() = 0;
    virtual void Release() = 0;

    // Normalized values
    virtual void SetNormalizedValue(double newNormalizedValue) = 0;
    virtual double GetNormalizedValue() const = 0;
    virtual void SetNormalizedDefaultValue(double normalizedDefault) = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    virtual void SetToDefaultValue() = 0;

    // Steps
    virtual void SetNumberOfSteps(uint32_t numSteps) = 0;
    virtual uint32_t GetNumberOfSteps() const = 0;
    virtual uint32_t GetStepValue() const = 0;
    virtual double GetNormalizedValueFromStep(uint32_t iStep) const = 0;
    virtual uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const = 0;
    virtual void SetStepValue(uint32_t iStep) = 0;

    // Text of the current value
    virtual bool GetValueString(AAX_CString* valueString) const = 0;
    virtual bool GetValueString(int32_t iMaxNumChars, AAX_CString* valueString) const = 0;

    // Conversions; they change nothing
    virtual bool GetNormalizedValueFromBool(bool value, double* normalizedValue) const = 0;
    virtual bool GetNormalizedValueFromInt32(int32_t value, double* normalizedValue) const = 0;
    virtual bool GetNormalizedValueFromFloat(float value, double* normalizedValue) const = 0;
    virtual bool GetNormalizedValueFromDouble(double value, double* normalizedValue) const = 0;
    virtual bool GetNormalizedValueFromString(const AAX_CString& valueString, double* normalizedValue) const = 0;
    virtual bool GetBoolFromNormalizedValue(double normalizedValue, bool* value) const = 0;
    virtual bool GetInt32FromNormalizedValue(double normalizedValue, int32_t* value) const = 0;
    virtual bool GetFloatFromNormalizedValue(double normalizedValue, float* value) const = 0;
    virtual bool GetDoubleFromNormalizedValue(double normalizedValue, double* value) const = 0;
    virtual bool GetStringFromNormalizedValue(double normalizedValue, AAX_CString& valueString) const = 0;
    virtual bool GetStringFromNormalizedValue(double normalizedValue, int32_t iMaxNumChars,
                                              AAX_CString& valueString) const = 0;
    virtual bool SetValueFromString(const AAX_CString& newValueString) = 0;

    // Typed access to the real value
    virtual bool GetValueAsBool(bool* value) const = 0;
    virtual bool GetValueAsInt32(int32_t* value) const = 0;
    virtual bool GetValueAsFloat(float* value) const = 0;
    virtual bool GetValueAsDouble(double* value) const = 0;
    virtual bool GetValueAsString(AAX_IString* value) const = 0;
    virtual bool SetValueWithBool(bool value) = 0;
    virtual bool SetValueWithInt32(int32_t value) = 0;
    virtual bool SetValueWithFloat(float value) = 0;
    virtual bool SetValueWithDouble(double value) = 0;
    virtual bool SetValueWithString(const AAX_IString& value) = 0;

    // Presentation
    virtual void SetType(AAX_EParameterType iControlType) = 0;
    virtual AAX_EParameterType GetType() const = 0;
    virtual void SetOrientation(AAX_EParameterOrientation iOrientation) = 0;
    virtual AAX_EParameterOrientation GetOrientation() const = 0;

    // Delegates; the parameter keeps its own clones
    virtual void SetTaperDelegate(AAX_ITaperDelegateBase& inTaperDelegate, bool inPreserveValue) = 0;
    virtual void SetDisplayDelegate(AAX_IDisplayDelegateBase& inDisplayDelegate) = 0;

    // The host confirms a normalized value
    virtual void UpdateNormalizedValue(double newNormalizedValue) = 0;
};
