#include "HostObject.h"

#include "ACF/acfuids.h"
#include "HostIdentifiers.h"

HostObject::HostObject(HostEnvironment& environment, std::string componentName)
    : mEnvironment(environment), mComponentName(std::move(componentName)), mIdentity(*this, "IACFUnknown")
{
    mEnvironment.registerObject(this);
}

HostObject::~HostObject()
{
    mEnvironment.unregisterObject(this);
}

acfUInt32 HostObject::addReference()
{
    return mReferences.fetch_add(1) + 1;
}

acfUInt32 HostObject::releaseReference()
{
    const acfUInt32 remaining = mReferences.fetch_sub(1) - 1;
    if (remaining == 0)
        delete this;
    return remaining;
}

ACFRESULT HostObject::queryInterface(const acfIID& interfaceID, void** out)
{
    if (out == nullptr)
        return ACF_E_NOINTERFACE;
    *out = nullptr;

    const HostConfiguration& configuration = mEnvironment.configuration();
    if (configuration.isRefused(interfaceID))
        return ACF_E_NOINTERFACE;
    if (configuration.answersEmpty(interfaceID))
        return ACF_OK;

    void* const facet = interfaceID == IID_IACFUnknown ? static_cast<void*>(&mIdentity) : findInterface(interfaceID);
    if (facet == nullptr)
        return delegateQuery(interfaceID, out);
    addReference();
    *out = facet;
    return ACF_OK;
}

ACFRESULT HostObject::delegateQuery(const acfIID&, void**)
{
    return ACF_E_NOINTERFACE;
}

ACFRESULT HostObject::receivedQueryInterface(const char* interfaceName, const acfIID& interfaceID, void** out)
{
    mEnvironment.log().add({mComponentName, interfaceName, 0, {hostIdentifierName(interfaceID)}});
    return queryInterface(interfaceID, out);
}

acfUInt32 HostObject::receivedAddRef(const char* interfaceName)
{
    mEnvironment.log().add({mComponentName, interfaceName, 1, {}});
    return addReference();
}

acfUInt32 HostObject::receivedRelease(const char* interfaceName)
{
    // Logged first: the object may be gone afterwards.
    mEnvironment.log().add({mComponentName, interfaceName, 2, {}});
    return releaseReference();
}

AAX_Result HostObject::receivedCall(const char* interfaceName, int method, std::vector<std::string> arguments)
{
    mEnvironment.log().add({mComponentName, interfaceName, method, std::move(arguments)});
    return mEnvironment.configuration().resultFor(mComponentName, method);
}
