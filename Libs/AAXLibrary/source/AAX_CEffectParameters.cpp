#include "AAX_CEffectParameters.h"

#include "AAX_Assert.h"
#include "AAX_HostBoundary.h"
#include "AAX_IACFEffectParameters.h"
#include "AAX_RealConversion.h"
#include "AAX_UIDs.h"
#include "AAX_VAutomationDelegate.h"
#include "AAX_VController.h"
#include "AAX_VPageTable.h"
#include "AAX_VTransport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace
{
constexpr AAX_CTypeID kParameterValuesChunkID = AAX_FOURCHAR('e', 'l', 'c', 'k');
constexpr char kParameterValuesChunkName[] = "Complete Controls State";
constexpr uint32_t kLongestNameOfLength = 255;

// A parameter's value as the first typed getter that answers gives it; the kind decides how the value is
// saved in, restored from and compared with the parameter-values chunk.
struct TypedValue
{
    enum Kind
    {
        None,
        Float,
        Int32,
        Bool,
        Double,
        String
    } kind = None;
    float floatValue = 0.0f;
    int32_t intValue = 0;
    bool boolValue = false;
    double doubleValue = 0.0;
    AAX_CString stringValue;
};

TypedValue ReadTypedValue(const AAX_IParameter& parameter)
{
    TypedValue value;
    if (parameter.GetValueAsFloat(&value.floatValue))
        value.kind = TypedValue::Float;
    else if (parameter.GetValueAsInt32(&value.intValue))
        value.kind = TypedValue::Int32;
    else if (parameter.GetValueAsBool(&value.boolValue))
        value.kind = TypedValue::Bool;
    else if (parameter.GetValueAsDouble(&value.doubleValue))
        value.kind = TypedValue::Double;
    else if (parameter.GetValueAsString(&value.stringValue))
        value.kind = TypedValue::String;
    return value;
}

// Whether the chunk's entry for this parameter holds its current value; a missing entry does not.
bool ChunkHoldsValue(AAX_CChunkDataParser& parser, AAX_CParamID id, const TypedValue& value)
{
    double storedDouble = 0.0;
    int32_t storedInt = 0;
    AAX_CString storedString;
    switch (value.kind)
    {
        case TypedValue::Float:
            return parser.FindDouble(id, &storedDouble) && AAX_RealFromDouble<float>(storedDouble) == value.floatValue;
        case TypedValue::Int32: return parser.FindInt32(id, &storedInt) && storedInt == value.intValue;
        case TypedValue::Bool: return parser.FindInt32(id, &storedInt) && (storedInt != 0) == value.boolValue;
        case TypedValue::Double:
            return parser.FindDouble(id, &storedDouble)
                   && AAX_RealFromDouble<float>(storedDouble) == AAX_RealFromDouble<float>(value.doubleValue);
        case TypedValue::String: return parser.FindString(id, &storedString) && storedString == value.stringValue;
        case TypedValue::None: break;
    }
    return true;
}

// Answers AAX_ERROR_NULL_ARGUMENT in place of writing through a null pointer the host passed.
template <typename Out, typename Operation>
AAX_Result AnswerInto(Out* out, Operation&& operation)
{
    return out == nullptr ? AAX_ERROR_NULL_ARGUMENT : AAX_AnswerHost(operation);
}

// The parameter registered under an ID, or -20001; operation runs on it behind the host boundary.
template <typename Manager, typename Operation>
AAX_Result OnParameter(Manager& manager, AAX_CParamID id, Operation&& operation)
{
    return AAX_AnswerHost([&]() -> AAX_Result {
        auto* const parameter = manager.GetParameterByID(id);
        if (parameter == nullptr)
            return AAX_ERROR_INVALID_PARAMETER_ID;
        return operation(*parameter);
    });
}

// Writes what read gives of the parameter registered under id to out.
template <typename Out, typename Read>
AAX_Result ReadParameter(const AAX_CParameterManager& manager, AAX_CParamID id, Out* out, Read&& read)
{
    return AnswerInto(out, [&]() -> AAX_Result {
        return OnParameter(manager, id, [&](const AAX_IParameter& parameter) -> AAX_Result {
            *out = read(parameter);
            return AAX_SUCCESS;
        });
    });
}

// Runs change on the parameter registered under id.
template <typename Change>
AAX_Result ChangeParameter(AAX_CParameterManager& manager, AAX_CParamID id, Change&& change)
{
    return OnParameter(manager, id, [&](AAX_IParameter& parameter) -> AAX_Result {
        change(parameter);
        return AAX_SUCCESS;
    });
}

// Runs change on the parameter registered under id with value. A NaN is no value: the parameter refuses it
// and keeps its own, so the host hears a failure and nothing else happens.
template <typename Change>
AAX_Result ChangeParameterTo(AAX_CParameterManager& manager, AAX_CParamID id, double value, Change&& change)
{
    return OnParameter(manager, id, [&](AAX_IParameter& parameter) -> AAX_Result {
        if (std::isnan(value))
            return AAX_ERROR_INVALID_ARGUMENT;
        return change(parameter);
    });
}

// The current value (through the table) moved by delta and kept within 0..1; a NaN moves nothing.
AAX_Result MovedValue(const AAX_CEffectParameters& effect, AAX_CParamID id, double delta, double* moved)
{
    double current = 0.0;
    const AAX_Result result = effect.GetParameterNormalizedValue(id, &current);
    if (result != AAX_SUCCESS)
        return result;
    const double value = std::max(std::min(current + delta, 1.0), 0.0);
    if (value != value)
        return AAX_ERROR_INVALID_ARGUMENT;
    *moved = value;
    return AAX_SUCCESS;
}
} // namespace

AAX_CEffectParameters::AAX_CEffectParameters()
    : mNumPlugInChanges(0), mChunkSize(0), mNumChunkedParameters(0), mController(nullptr), mTransport(nullptr),
      mAutomationDelegate(nullptr)
{
}

AAX_CEffectParameters::~AAX_CEffectParameters()
{
    // The parameters unregister from the automation delegate as they go, so they go first.
    AAX_CEffectParameters::Uninitialize();
}

//==============================================================================
// Lifecycle and notifications

AAX_Result AAX_CEffectParameters::Initialize(IACFUnknown* iController)
{
    return AAX_AnswerHost([&]() -> AAX_Result {
        // A second initialisation starts afresh.
        AAX_CEffectParameters::Uninitialize();
        std::unique_ptr<AAX_IController> controller(new AAX_VController(iController));
        std::unique_ptr<AAX_IAutomationDelegate> automationDelegate(new AAX_VAutomationDelegate(iController));
        std::unique_ptr<AAX_ITransport> transport(new AAX_VTransport(iController));
        mController = controller.release();
        mAutomationDelegate = automationDelegate.release();
        mTransport = transport.release();

        mParameterManager.Initialize(mAutomationDelegate);
        mPacketDispatcher.Initialize(mController, this);
        const AAX_Result initResult = EffectInit();
        if (initResult != AAX_SUCCESS)
            return initResult;

        AAX_CString masterBypassID;
        GetMasterBypassParameter(&masterBypassID);
        FilterParameterIDOnSave(masterBypassID.Get());
        int32_t numParameters = 0;
        GetNumberOfParameters(&numParameters);
        if (numParameters > 0)
        {
            mNumChunkedParameters = numParameters - static_cast<int32_t>(mFilteredParameters.size());
            AAX_ASSERT_AT(128, mNumChunkedParameters >= 0);
        }
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::Uninitialize()
{
    // The dispatcher lets go of the controller before it is deleted: nothing is posted through it after this.
    mPacketDispatcher.Initialize(nullptr, nullptr);
    mParameterManager.RemoveAllParameters();
    delete mController;
    mController = nullptr;
    delete mAutomationDelegate;
    mAutomationDelegate = nullptr;
    delete mTransport;
    mTransport = nullptr;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::NotificationReceived(AAX_CTypeID inNotificationType, const void* inNotificationData,
                                                       uint32_t inNotificationDataSize)
{
    return AAX_AnswerHost([&]() -> AAX_Result {
        // The preview state is a 32-bit integer; anything shorter is no state at all.
        if (inNotificationType == AAX_eNotificationEvent_ASPreviewState && inNotificationData != nullptr
            && inNotificationDataSize >= sizeof(int32_t))
        {
            if (AAX_IParameter* const preview = mParameterManager.GetParameterByID(cPreviewID))
            {
                int32_t state = 0;
                std::memcpy(&state, inNotificationData, sizeof state);
                preview->SetValueWithBool(state != 0);
            }
        }
        return AAX_SUCCESS;
    });
}

//==============================================================================
// Parameters

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* oNumControls) const
{
    return AnswerInto(oNumControls, [&]() -> AAX_Result {
        *oNumControls = mParameterManager.NumParameters();
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter(AAX_IString* oIDString) const
{
    return AnswerInto(oIDString, [&]() -> AAX_Result {
        oIDString->Set(mParameterManager.GetParameterByID(cDefaultMasterBypassID) != nullptr ? cDefaultMasterBypassID
                                                                                             : "");
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable(AAX_CParamID iParameterID, AAX_CBoolean* oAutomatable) const
{
    if (oAutomatable == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    *oAutomatable = 0;
    return OnParameter(mParameterManager, iParameterID, [&](const AAX_IParameter& parameter) -> AAX_Result {
        *oAutomatable = parameter.Automatable() ? 1 : 0;
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps(AAX_CParamID iParameterID, int32_t* oNumSteps) const
{
    return AnswerInto(oNumSteps, [&]() -> AAX_Result {
        return OnParameter(mParameterManager, iParameterID, [&](const AAX_IParameter& parameter) -> AAX_Result {
            const uint32_t steps = parameter.GetNumberOfSteps();
            if (steps > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
                return AAX_ERROR_SIGNED_INT_OVERFLOW;
            *oNumSteps = static_cast<int32_t>(steps);
            return AAX_SUCCESS;
        });
    });
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID iParameterID, AAX_IString* oName) const
{
    return AnswerInto(oName, [&]() -> AAX_Result {
        const AAX_IParameter* const parameter = mParameterManager.GetParameterByID(iParameterID);
        oName->Set(parameter != nullptr ? parameter->Name().Get() : "");
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID iParameterID, AAX_IString* oName,
                                                           int32_t iNameLength) const
{
    if (oName == nullptr)
        return AAX_ERROR_INVALID_STRING_CONVERSION;
    return AAX_AnswerHost([&]() -> AAX_Result {
        const AAX_IParameter* const parameter = mParameterManager.GetParameterByID(iParameterID);
        if (parameter == nullptr)
        {
            oName->Set("");
            return AAX_SUCCESS;
        }
        const AAX_CString& shortened = parameter->ShortenedName(iNameLength);
        const std::string text = shortened.StdString().substr(0, kLongestNameOfLength);
        if (text.empty())
            return AAX_SUCCESS;

        // The longest line that fits; among lines of equal length the first.
        size_t chosenLength = 0;
        for (size_t start = 0; start < text.size();)
        {
            const size_t end = std::min(text.find('\n', start), text.size());
            const size_t length = end - start;
            if (length > chosenLength && static_cast<int64_t>(length) <= iNameLength)
            {
                oName->Set(text.substr(start, length).c_str());
                chosenLength = length;
            }
            start = end + 1;
        }
        if (chosenLength == 0)
        {
            if (iNameLength < 1)
                oName->Set("");
            else
                shortened.SubString(0, static_cast<uint32_t>(iNameLength), oName);
        }
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue(AAX_CParamID iParameterID, double* oValue) const
{
    return ReadParameter(mParameterManager, iParameterID, oValue,
                         [](const AAX_IParameter& parameter) { return parameter.GetNormalizedDefaultValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue(AAX_CParamID iParameterID, double iValue)
{
    return ChangeParameterTo(mParameterManager, iParameterID, iValue, [&](AAX_IParameter& parameter) {
        parameter.SetNormalizedDefaultValue(iValue);
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterType(AAX_CParamID iParameterID, AAX_EParameterType* oParameterType) const
{
    return ReadParameter(mParameterManager, iParameterID, oParameterType,
                         [](const AAX_IParameter& parameter) { return parameter.GetType(); });
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation(AAX_CParamID iParameterID,
                                                          AAX_EParameterOrientation* oParameterOrientation) const
{
    return ReadParameter(mParameterManager, iParameterID, oParameterOrientation,
                         [](const AAX_IParameter& parameter) { return parameter.GetOrientation(); });
}

AAX_Result AAX_CEffectParameters::GetParameter(AAX_CParamID iParameterID, AAX_IParameter** oParameter)
{
    return AnswerInto(oParameter, [&]() -> AAX_Result {
        *oParameter = mParameterManager.GetParameterByID(iParameterID);
        return *oParameter != nullptr ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID iParameterID, int32_t* oControlIndex) const
{
    return AnswerInto(oControlIndex, [&]() -> AAX_Result {
        *oControlIndex = mParameterManager.GetParameterIndex(iParameterID);
        return *oControlIndex >= 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t iControlIndex, AAX_IString* oParameterIDString) const
{
    return AnswerInto(oParameterIDString, [&]() -> AAX_Result {
        const AAX_IParameter* const parameter = mParameterManager.GetParameter(iControlIndex);
        oParameterIDString->Set(parameter != nullptr ? parameter->Identifier() : "");
        return parameter != nullptr ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
    });
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo(AAX_CParamID, int32_t, int32_t* oValue) const
{
    if (oValue != nullptr)
        *oValue = 0;
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetParameterValueFromString(AAX_CParamID iParameterID, double* oValue,
                                                              const AAX_IString& iValueString) const
{
    return AnswerInto(oValue, [&]() -> AAX_Result {
        return OnParameter(mParameterManager, iParameterID, [&](const AAX_IParameter& parameter) -> AAX_Result {
            double value = 0.0;
            if (!parameter.GetNormalizedValueFromString(AAX_CString(iValueString), &value))
                return AAX_ERROR_INVALID_STRING_CONVERSION;
            *oValue = value;
            return AAX_SUCCESS;
        });
    });
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue(AAX_CParamID iParameterID, double iValue,
                                                              AAX_IString* oValueString, int32_t iMaxLength) const
{
    return AnswerInto(oValueString, [&]() -> AAX_Result {
        return OnParameter(mParameterManager, iParameterID, [&](const AAX_IParameter& parameter) -> AAX_Result {
            AAX_CString text;
            if (!parameter.GetStringFromNormalizedValue(iValue, iMaxLength, text))
                return AAX_ERROR_INVALID_STRING_CONVERSION;
            *oValueString = text;
            return AAX_SUCCESS;
        });
    });
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID iParameterID, AAX_IString* oValueString,
                                                          int32_t iMaxLength) const
{
    return AnswerInto(oValueString, [&]() -> AAX_Result {
        return OnParameter(mParameterManager, iParameterID, [&](const AAX_IParameter& parameter) -> AAX_Result {
            AAX_CString text;
            parameter.GetValueString(iMaxLength, &text);
            *oValueString = text;
            return AAX_SUCCESS;
        });
    });
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID iParameterID, double* oValuePtr) const
{
    return ReadParameter(mParameterManager, iParameterID, oValuePtr,
                         [](const AAX_IParameter& parameter) { return parameter.GetNormalizedValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID iParameterID, double iValue)
{
    return ChangeParameterTo(mParameterManager, iParameterID, iValue, [&](AAX_IParameter& parameter) {
        parameter.SetNormalizedValue(iValue);
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative(AAX_CParamID iParameterID, double iValue)
{
    return AAX_AnswerHost([&]() -> AAX_Result {
        double value = 0.0;
        const AAX_Result result = MovedValue(*this, iParameterID, iValue, &value);
        return result != AAX_SUCCESS ? result : SetParameterNormalizedValue(iParameterID, value);
    });
}

AAX_Result AAX_CEffectParameters::TouchParameter(AAX_CParamID iParameterID)
{
    return ChangeParameter(mParameterManager, iParameterID, [](AAX_IParameter& parameter) { parameter.Touch(); });
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(AAX_CParamID iParameterID)
{
    return ChangeParameter(mParameterManager, iParameterID, [](AAX_IParameter& parameter) { parameter.Release(); });
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch(AAX_CParamID, AAX_CBoolean)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue(AAX_CParamID iParameterID, double iValue,
                                                                 AAX_EUpdateSource)
{
    return ChangeParameterTo(mParameterManager, iParameterID, iValue, [&](AAX_IParameter& parameter) {
        const double previous = parameter.GetNormalizedValue();
        parameter.UpdateNormalizedValue(iValue);
        // The packet is posted again even for an unchanged value; only a change counts.
        const AAX_Result result = mPacketDispatcher.SetDirty(iParameterID, true);
        if (!(previous == parameter.GetNormalizedValue()))
            ++mNumPlugInChanges;
        return result;
    });
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative(AAX_CParamID iParameterID, double iValue)
{
    return AAX_AnswerHost([&]() -> AAX_Result {
        double value = 0.0;
        const AAX_Result result = MovedValue(*this, iParameterID, iValue, &value);
        return result != AAX_SUCCESS
                   ? result
                   : UpdateParameterNormalizedValue(iParameterID, value, AAX_eUpdateSource_Unspecified);
    });
}

//==============================================================================
// Algorithm data

AAX_Result AAX_CEffectParameters::GenerateCoefficients()
{
    return AAX_AnswerHost([&]() -> AAX_Result { return mPacketDispatcher.Dispatch(); });
}

AAX_Result AAX_CEffectParameters::ResetFieldData(AAX_CFieldIndex, void* oData, uint32_t iDataSize) const
{
    if (oData == nullptr && iDataSize > 0)
        return AAX_ERROR_NULL_ARGUMENT;
    if (iDataSize > 0)
        std::memset(oData, 0, iDataSize);
    return AAX_SUCCESS;
}

//==============================================================================
// The parameter-values chunk

void AAX_CEffectParameters::FilterParameterIDOnSave(AAX_CParamID controlID)
{
    if (controlID != nullptr)
        mFilteredParameters.insert(controlID);
}

void AAX_CEffectParameters::BuildChunkData() const
{
    mChunkParser.Clear();
    int32_t numParameters = 0;
    GetNumberOfParameters(&numParameters);
    for (int32_t index = 0; index < numParameters; ++index)
    {
        const AAX_IParameter* const parameter = mParameterManager.GetParameter(index);
        AAX_ASSERT_AT(815, NULL != parameter);
        if (parameter == nullptr || mFilteredParameters.count(parameter->Identifier()) != 0)
            continue;
        const TypedValue value = ReadTypedValue(*parameter);
        switch (value.kind)
        {
            case TypedValue::Float: mChunkParser.AddDouble(parameter->Identifier(), value.floatValue); break;
            case TypedValue::Int32: mChunkParser.AddInt32(parameter->Identifier(), value.intValue); break;
            case TypedValue::Bool: mChunkParser.AddInt32(parameter->Identifier(), value.boolValue ? 1 : 0); break;
            case TypedValue::Double: mChunkParser.AddDouble(parameter->Identifier(), value.doubleValue); break;
            case TypedValue::String: mChunkParser.AddString(parameter->Identifier(), value.stringValue); break;
            case TypedValue::None: break;
        }
    }
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* oNumChunks) const
{
    return AnswerInto(oNumChunks, [&]() -> AAX_Result {
        *oNumChunks = 1;
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t iIndex, AAX_CTypeID* oChunkID) const
{
    return AnswerInto(oChunkID, [&]() -> AAX_Result {
        *oChunkID = iIndex == 0 ? kParameterValuesChunkID : 0;
        return iIndex == 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_CHUNK_INDEX;
    });
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID iChunkID, uint32_t* oSize) const
{
    return AnswerInto(oSize, [&]() -> AAX_Result {
        if (iChunkID != kParameterValuesChunkID)
        {
            *oSize = 0;
            return AAX_ERROR_INVALID_CHUNK_ID;
        }
        BuildChunkData();
        mChunkSize = mChunkParser.GetChunkDataSize();
        if (mChunkSize < 0)
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;
        *oSize = static_cast<uint32_t>(mChunkSize);
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID iChunkID, AAX_SPlugInChunk* oChunk) const
{
    if (iChunkID != kParameterValuesChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    return AnswerInto(oChunk, [&]() -> AAX_Result {
        BuildChunkData();
        // The host made room for the size reported last; values that changed the size since do not fit.
        if (mChunkParser.GetChunkDataSize() != mChunkSize || mChunkSize == 0)
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;
        oChunk->fVersion = mChunkParser.GetChunkVersion();
        std::memset(oChunk->fName, 0, sizeof oChunk->fName);
        std::memcpy(oChunk->fName, kParameterValuesChunkName, sizeof kParameterValuesChunkName);
        return mChunkParser.GetChunkData(oChunk);
    });
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID iChunkID, const AAX_SPlugInChunk* iChunk)
{
    if (iChunkID != kParameterValuesChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;
    if (iChunk == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    // Data without the marker is none of ours: refused, and every parameter keeps its value.
    if (!AAX_CChunkDataParser::IsWellFormed(iChunk))
        return AAX_ERROR_MALFORMED_CHUNK;
    return AAX_AnswerHost([&]() -> AAX_Result {
        mChunkParser.LoadChunk(iChunk);
        int32_t numParameters = 0;
        GetNumberOfParameters(&numParameters);
        for (int32_t index = 0; index < numParameters; ++index)
        {
            AAX_IParameter* const parameter = mParameterManager.GetParameter(index);
            if (parameter == nullptr || mFilteredParameters.count(parameter->Identifier()) != 0)
                continue;
            AAX_CParamID const id = parameter->Identifier();
            double storedDouble = 0.0;
            int32_t storedInt = 0;
            AAX_CString storedString;
            switch (ReadTypedValue(*parameter).kind)
            {
                case TypedValue::Float:
                    if (mChunkParser.FindDouble(id, &storedDouble))
                        parameter->SetValueWithFloat(AAX_RealFromDouble<float>(storedDouble));
                    break;
                case TypedValue::Int32:
                    if (mChunkParser.FindInt32(id, &storedInt))
                        parameter->SetValueWithInt32(storedInt);
                    break;
                case TypedValue::Bool:
                    if (mChunkParser.FindInt32(id, &storedInt))
                        parameter->SetValueWithBool(storedInt != 0);
                    break;
                case TypedValue::Double:
                    if (mChunkParser.FindDouble(id, &storedDouble))
                        parameter->SetValueWithDouble(storedDouble);
                    break;
                case TypedValue::String:
                    if (mChunkParser.FindString(id, &storedString))
                        parameter->SetValueWithString(storedString);
                    break;
                case TypedValue::None: break;
            }
        }
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SPlugInChunk* iChunkP, AAX_CBoolean* oIsEqual) const
{
    if (iChunkP == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    return AnswerInto(oIsEqual, [&]() -> AAX_Result {
        *oIsEqual = 1;
        if (iChunkP->fChunkID != kParameterValuesChunkID)
            return AAX_SUCCESS;
        *oIsEqual = 0;
        mChunkParser.LoadChunk(iChunkP);
        int32_t numParameters = 0;
        GetNumberOfParameters(&numParameters);
        for (int32_t index = 0; index < numParameters; ++index)
        {
            const AAX_IParameter* const parameter = mParameterManager.GetParameter(index);
            AAX_ASSERT_AT(667, NULL != parameter);
            if (parameter == nullptr || mFilteredParameters.count(parameter->Identifier()) != 0)
                continue;
            if (!ChunkHoldsValue(mChunkParser, parameter->Identifier(), ReadTypedValue(*parameter)))
                return AAX_SUCCESS;
        }
        *oIsEqual = 1;
        return AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges(int32_t* oNumChanges) const
{
    if (oNumChanges == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    if (mNumPlugInChanges >= 0)
        *oNumChanges = mNumPlugInChanges;
    return AAX_SUCCESS;
}

//==============================================================================
// What the base leaves to plug-ins

AAX_Result AAX_CEffectParameters::TimerWakeup()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCurveData(AAX_CTypeID, const float*, uint32_t, float*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCustomData(AAX_CTypeID, uint32_t, void*, uint32_t* oDataWritten) const
{
    if (oDataWritten != nullptr)
        *oDataWritten = 0;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetCustomData(AAX_CTypeID, uint32_t, const void*)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::DoMIDITransfers()
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::RenderAudio_Hybrid(AAX_SHybridRenderInfo*)
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdateMIDINodes(AAX_CFieldIndex, AAX_CMidiPacket&)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateControlMIDINodes(AAX_CTypeID, AAX_CMidiPacket&)
{
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetCurveDataMeterIds(AAX_CTypeID, uint32_t*, uint32_t*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetCurveDataDisplayRange(AAX_CTypeID, float*, float*, float*, float*) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t inTableType, int32_t inTablePageSize, IACFUnknown*,
                                                  IACFUnknown* ioPageTableUnknown) const
{
    return AAX_AnswerHost([&]() -> AAX_Result {
        AAX_VPageTable pageTable(ioPageTableUnknown);
        return pageTable.HasVersion1() ? UpdatePageTable(inTableType, inTablePageSize, pageTable) : AAX_SUCCESS;
    });
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t, int32_t, AAX_IPageTable&) const
{
    return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::EffectInit()
{
    return AAX_SUCCESS;
}

ACFRESULT AAX_CEffectParameters::InternalQueryInterface(const acfIID& riid, void** ppvObjOut)
{
    return AAX_IEffectParameters::InternalQueryInterface(riid, ppvObjOut);
}
