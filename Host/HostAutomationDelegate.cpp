#include "HostAutomationDelegate.h"

#include "AAX_IACFEffectParameters.h"
#include "AAX_UIDs.h"
#include "HostComponentRegistry.h"

namespace
{
const HostComponentRegistration
    registration({HostAutomationDelegate::kName,
                  false,
                  {},
                  {IID_IAAXAutomationDelegateV1},
                  [](HostEnvironment& environment) -> HostObject* { return new HostAutomationDelegate(environment); }});

std::string idText(AAX_CParamID parameterID)
{
    return parameterID != nullptr ? parameterID : "";
}
} // namespace

HostAutomationDelegate::HostAutomationDelegate(HostEnvironment& environment)
    : HostObject(environment, kName), mFacet(*this)
{
}

std::set<std::string> HostAutomationDelegate::registeredParameters() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRegistered;
}

std::set<std::string> HostAutomationDelegate::touchedParameters() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTouched;
}

std::vector<std::pair<std::string, double>> HostAutomationDelegate::pendingRequests() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

AAX_Result HostAutomationDelegate::confirmRequests(AAX_IACFEffectParameters& effect)
{
    std::vector<std::pair<std::string, double>> requests;
    {
        // Not held while the effect runs: it calls back into this delegate.
        std::lock_guard<std::mutex> lock(mMutex);
        requests.swap(mRequests);
    }
    AAX_Result firstFailure = 0;
    for (const auto& request : requests)
    {
        const AAX_Result result =
            effect.UpdateParameterNormalizedValue(request.first.c_str(), request.second, AAX_eUpdateSource_Parameter);
        if (firstFailure == 0)
            firstFailure = result;
    }
    return firstFailure;
}

void* HostAutomationDelegate::findInterface(const acfIID& interfaceID)
{
    if (interfaceID == IID_IAAXAutomationDelegateV1)
        return static_cast<AAX_IACFAutomationDelegate*>(&mFacet);
    return nullptr;
}

template <typename Record>
AAX_Result HostAutomationDelegate::Facet::callAndRecord(int method, AAX_CParamID parameterID, Record record)
{
    const AAX_Result result = call(method, {hostArg(parameterID)});
    if (result == 0)
    {
        std::lock_guard<std::mutex> lock(mDelegate.mMutex);
        record();
    }
    return result;
}

AAX_Result HostAutomationDelegate::Facet::RegisterParameter(AAX_CParamID parameterID)
{
    return callAndRecord(3, parameterID, [this, parameterID] { mDelegate.mRegistered.insert(idText(parameterID)); });
}

AAX_Result HostAutomationDelegate::Facet::UnregisterParameter(AAX_CParamID parameterID)
{
    return callAndRecord(4, parameterID, [this, parameterID] {
        mDelegate.mRegistered.erase(idText(parameterID));
        mDelegate.mTouched.erase(idText(parameterID));
    });
}

AAX_Result HostAutomationDelegate::Facet::PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const
{
    const AAX_Result result = call(5, {hostArg(parameterID), hostArg(normalizedValue)});
    if (result == 0)
    {
        std::lock_guard<std::mutex> lock(mDelegate.mMutex);
        mDelegate.mRequests.emplace_back(idText(parameterID), normalizedValue);
    }
    return result;
}

AAX_Result HostAutomationDelegate::Facet::PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const
{
    return call(6, {hostArg(parameterID), hostArg(normalizedValue)});
}

AAX_Result HostAutomationDelegate::Facet::PostTouchRequest(AAX_CParamID parameterID)
{
    return callAndRecord(7, parameterID, [this, parameterID] { mDelegate.mTouched.insert(idText(parameterID)); });
}

AAX_Result HostAutomationDelegate::Facet::PostReleaseRequest(AAX_CParamID parameterID)
{
    return callAndRecord(8, parameterID, [this, parameterID] { mDelegate.mTouched.erase(idText(parameterID)); });
}

AAX_Result HostAutomationDelegate::Facet::GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched)
{
    const AAX_Result result = call(9, {hostArg(parameterID), hostArg(static_cast<const void*>(touched))});
    if (result == 0 && touched != nullptr)
    {
        std::lock_guard<std::mutex> lock(mDelegate.mMutex);
        *touched = mDelegate.mTouched.count(idText(parameterID)) != 0 ? 1 : 0;
    }
    return result;
}
