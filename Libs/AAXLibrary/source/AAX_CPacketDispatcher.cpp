#include "AAX_CPacketDispatcher.h"

#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IParameter.h"

#include <cmath>
#include <memory>

namespace
{
// The algorithm reads a packet's bits: any non-zero pattern, -0.0 and NaN included, would count as set.
template <typename Real>
Real ZeroForNoValue(Real value)
{
    return std::isnan(value) || value == Real(0) ? Real(0) : value;
}

// Marks the packets whose generation or post failed in one dispatch dirty again when the dispatch ends,
// however it ends, so that the next dispatch retries them.
class FailedPackets
{
public:
    explicit FailedPackets(size_t capacity) { mPackets.reserve(capacity); }
    ~FailedPackets()
    {
        for (AAX_CPacket* const packet : mPackets)
            packet->SetDirty(true);
    }
    // Each packet is added at most once per dispatch, so this never grows beyond what was reserved.
    void Add(AAX_CPacket* packet) { mPackets.push_back(packet); }
    void RemoveLast() { mPackets.pop_back(); }

private:
    std::vector<AAX_CPacket*> mPackets;
};
} // namespace

AAX_CPacketDispatcher::AAX_CPacketDispatcher() : mPlugIn(nullptr), mEffectParameters(nullptr) {}

AAX_CPacketDispatcher::~AAX_CPacketDispatcher()
{
    AAX_StLock_Guard guard(mLockGuard);
    for (const auto& port : mPacketsHolder)
        delete port.second;
    for (const auto& registration : mPacketsHandlers)
        delete registration.second.second;
    mPacketsHolder.clear();
    mPacketsHandlers.clear();
}

void AAX_CPacketDispatcher::Initialize(AAX_IController* iPlugIn, AAX_IEffectParameters* iEffectParameters)
{
    // A dispatch running on another thread ends with the controller it started with before that one goes.
    AAX_StLock_Guard guard(mLockGuard);
    mPlugIn = iPlugIn;
    mEffectParameters = iEffectParameters;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID paramID, AAX_CFieldIndex portID,
                                                 const AAX_IPacketHandler* inHandler)
{
    if (paramID == nullptr || inHandler == nullptr)
        return AAX_ERROR_NULL_ARGUMENT;
    AAX_StLock_Guard guard(mLockGuard);

    AAX_CPacket* packet = nullptr;
    if (portID >= 0)
    {
        auto port = mPacketsHolder.find(portID);
        if (port == mPacketsHolder.end())
        {
            std::unique_ptr<AAX_CPacket> created(new AAX_CPacket(portID));
            port = mPacketsHolder.emplace(portID, created.get()).first;
            created.release();
        }
        packet = port->second;
    }
    std::unique_ptr<AAX_IPacketHandler> handler(inHandler->Clone());
    mPacketsHandlers.emplace(paramID, THandlerEntry(packet, handler.get()));
    handler.release();
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::SetDirty(AAX_CParamID paramID, bool iDirty)
{
    if (paramID == nullptr)
        return AAX_SUCCESS;
    AAX_StLock_Guard guard(mLockGuard);
    const auto registrations = mPacketsHandlers.equal_range(paramID);
    for (auto registration = registrations.first; registration != registrations.second; ++registration)
        if (AAX_CPacket* const packet = registration->second.first)
            packet->SetDirty(iDirty);
    return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::Dispatch()
{
    AAX_StLock_Guard guard(mLockGuard);
    // Without a controller (before the effect's Initialize, after its Uninitialize) nothing can be posted, and
    // no handler runs on what is left of the effect; the packets stay dirty for the next controller.
    if (mPlugIn == nullptr)
        return AAX_ERROR_NULL_OBJECT;
    AAX_Result result = AAX_SUCCESS;
    FailedPackets failed(mPacketsHolder.size());

    for (const auto& registration : mPacketsHandlers)
    {
        AAX_CPacket* const packet = registration.second.first;
        if (packet == nullptr || !packet->IsDirty())
            continue;

        // Clean while it is being handled, so that a packet shared by several registrations is generated and
        // posted once per dispatch; a failure leaves it dirty for the next one.
        packet->SetDirty(false);
        failed.Add(packet);
        AAX_Result packetResult = registration.second.second->Call(registration.first.c_str(), *packet);
        // Checked again: a handler may have torn the effect down on this thread.
        if (packetResult == AAX_SUCCESS)
            packetResult = mPlugIn != nullptr
                               ? mPlugIn->PostPacket(packet->GetID(), packet->GetData(), packet->GetSize())
                               : AAX_ERROR_NULL_OBJECT;
        if (packetResult == AAX_SUCCESS)
            failed.RemoveLast();
        else if (result == AAX_SUCCESS)
            result = packetResult;
    }
    return result;
}

AAX_Result AAX_CPacketDispatcher::GenerateSingleValuePacket(AAX_CParamID iParam, AAX_CPacket& ioPacket)
{
    AAX_IParameter* parameter = nullptr;
    if (mEffectParameters == nullptr || mEffectParameters->GetParameter(iParam, &parameter) != AAX_SUCCESS
        || parameter == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    bool boolValue = false;
    float floatValue = 0.0f;
    int32_t intValue = 0;
    double doubleValue = 0.0;
    if (parameter->GetValueAsBool(&boolValue))
        *ioPacket.GetPtr<uint32_t>() = boolValue ? 1u : 0u;
    else if (parameter->GetValueAsFloat(&floatValue))
        *ioPacket.GetPtr<float>() = ZeroForNoValue(floatValue);
    else if (parameter->GetValueAsInt32(&intValue))
        *ioPacket.GetPtr<int32_t>() = intValue;
    else if (parameter->GetValueAsDouble(&doubleValue))
        *ioPacket.GetPtr<double>() = ZeroForNoValue(doubleValue);
    else
        return AAX_ERROR_NULL_OBJECT;
    return AAX_SUCCESS;
}
