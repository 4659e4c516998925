// The host's automation delegate (IID_IAAXAutomationDelegateV1), offered through the host context. Logs
// every call, keeps the registered and touched parameters and queues the values the plug-in asks for; a
// call whose injected result is not 0 changes nothing. Like a host, it confirms queued values later through
// the effect's UpdateParameterNormalizedValue.
#pragma once

#include "AAX_IACFAutomationDelegate.h"
#include "HostObject.h"

#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

class AAX_IACFEffectParameters;

class HostAutomationDelegate : public HostObject
{
public:
    static constexpr const char* kName = "AutomationDelegate";

    explicit HostAutomationDelegate(HostEnvironment& environment);

    std::set<std::string> registeredParameters() const;
    std::set<std::string> touchedParameters() const;

    // Values asked for with PostSetValueRequest and not yet confirmed, in request order.
    std::vector<std::pair<std::string, double>> pendingRequests() const;
    // Confirms and empties the queue, in request order, the way a host answers a request. Returns the
    // effect's first result that is not 0, or 0.
    AAX_Result confirmRequests(AAX_IACFEffectParameters& effect);

protected:
    void* findInterface(const acfIID& interfaceID) override;

private:
    class Facet final : public HostFacet<AAX_IACFAutomationDelegate>
    {
    public:
        Facet(HostAutomationDelegate& owner) : HostFacet(owner, "IAAXAutomationDelegateV1"), mDelegate(owner) {}
        AAX_Result RegisterParameter(AAX_CParamID parameterID) override;
        AAX_Result UnregisterParameter(AAX_CParamID parameterID) override;
        AAX_Result PostSetValueRequest(AAX_CParamID parameterID, double normalizedValue) const override;
        AAX_Result PostCurrentValue(AAX_CParamID parameterID, double normalizedValue) const override;
        AAX_Result PostTouchRequest(AAX_CParamID parameterID) override;
        AAX_Result PostReleaseRequest(AAX_CParamID parameterID) override;
        AAX_Result GetTouchState(AAX_CParamID parameterID, AAX_CBoolean* touched) override;

    private:
        // Logs the call; only where the host's answer is 0 does `record` change the delegate's sets.
        template <typename Record>
        AAX_Result callAndRecord(int method, AAX_CParamID parameterID, Record record);

        HostAutomationDelegate& mDelegate;
    };

    mutable std::mutex mMutex;
    std::set<std::string> mRegistered;
    std::set<std::string> mTouched;
    std::vector<std::pair<std::string, double>> mRequests;
    Facet mFacet;
};
