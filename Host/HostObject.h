// Base of every host component of the stand-in: a reference count that really frees the object, the
// host's answers to QueryInterface (applying the configuration), and the call log entries.
//
// A component hands out "facets": one small object per interface version it offers (HostFacet), all
// sharing the component's reference count. Because each version has a facet of its own, the log shows
// which version a call came through.
#pragma once

#include "AAX.h"
#include "ACF/acfunknown.h"
#include "HostEnvironment.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

class HostObject;

// A host method's answer through an out pointer: written only where the result is 0 and the caller gave
// room for it. Returns the result.
template <class Out, class Value>
AAX_Result hostAnswer(AAX_Result result, Out* out, const Value& answer)
{
    if (result == 0 && out != nullptr)
        *out = answer;
    return result;
}

// Implements the three IACFUnknown methods of Interface for the owning component and logs them under
// interfaceName. Derived facets implement the interface's own methods and log them through call().
template <class Interface>
class HostFacet : public Interface
{
public:
    HostFacet(HostObject& owner, const char* interfaceName) : mOwner(owner), mInterfaceName(interfaceName) {}
    virtual ~HostFacet() = default;

    HostFacet(const HostFacet&) = delete;
    HostFacet& operator=(const HostFacet&) = delete;

    ACFRESULT QueryInterface(const acfIID& interfaceID, void** out) override;
    acfUInt32 AddRef() override;
    acfUInt32 Release() override;

    const char* interfaceName() const { return mInterfaceName; }

protected:
    // Logs a call of method number `method` with its arguments and returns the injected result.
    AAX_Result call(int method, std::vector<std::string> arguments) const;
    // The same for a method that answers through an out pointer: the answer is written only where the
    // result is 0 and the caller gave room for it.
    template <class Out, class Value>
    AAX_Result callAndAnswer(int method, std::vector<std::string> arguments, Out* out, const Value& answer) const
    {
        return hostAnswer(call(method, std::move(arguments)), out, answer);
    }

    HostObject& mOwner;
    const char* const mInterfaceName;
};

class HostObject
{
public:
    HostObject(HostEnvironment& environment, std::string componentName);
    virtual ~HostObject();

    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    HostEnvironment& environment() const { return mEnvironment; }
    const std::string& componentName() const { return mComponentName; }
    acfUInt32 referenceCount() const { return mReferences.load(); }

    // Host-internal reference counting (not logged). The release that reaches 0 deletes the object.
    acfUInt32 addReference();
    acfUInt32 releaseReference();

    // Host-internal query (not logged): refused and empty-answered interfaces as configured, IID_IACFUnknown
    // with the object's identity, then findInterface, then delegateQuery.
    ACFRESULT queryInterface(const acfIID& interfaceID, void** out);

    // The object's IACFUnknown identity.
    IACFUnknown* unknown() { return &mIdentity; }

    // Entry points of the facets: these log.
    ACFRESULT receivedQueryInterface(const char* interfaceName, const acfIID& interfaceID, void** out);
    acfUInt32 receivedAddRef(const char* interfaceName);
    acfUInt32 receivedRelease(const char* interfaceName);
    AAX_Result receivedCall(const char* interfaceName, int method, std::vector<std::string> arguments);

protected:
    // The facet of this object that answers interfaceID, already cast to that interface's pointer type and
    // then to void*; null when this object has none.
    virtual void* findInterface(const acfIID& interfaceID) = 0;
    // Interfaces this object answers by asking other objects (the host context); default: none.
    virtual ACFRESULT delegateQuery(const acfIID& interfaceID, void** out);

private:
    HostEnvironment& mEnvironment;
    const std::string mComponentName;
    std::atomic<acfUInt32> mReferences{0};
    HostFacet<IACFUnknown> mIdentity;
};

// Owns one host-internal reference to a host object (the way tests and host objects hold each other).
template <class T>
class HostRef
{
public:
    HostRef() = default;
    explicit HostRef(T* object) : mObject(object)
    {
        if (mObject != nullptr)
            mObject->addReference();
    }
    HostRef(const HostRef& other) : HostRef(other.mObject) {}
    HostRef(HostRef&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
    ~HostRef() { reset(); }

    HostRef& operator=(HostRef other) noexcept
    {
        std::swap(mObject, other.mObject);
        return *this;
    }

    void reset()
    {
        if (T* const object = std::exchange(mObject, nullptr))
            object->releaseReference();
    }

    T* get() const { return mObject; }
    T* operator->() const { return mObject; }
    T& operator*() const { return *mObject; }
    explicit operator bool() const { return mObject != nullptr; }

private:
    T* mObject = nullptr;
};

// Creates a host object and holds the first reference.
template <class T, class... Args>
HostRef<T> makeHostObject(HostEnvironment& environment, Args&&... args)
{
    return HostRef<T>(new T(environment, std::forward<Args>(args)...));
}

template <class Interface>
ACFRESULT HostFacet<Interface>::QueryInterface(const acfIID& interfaceID, void** out)
{
    return mOwner.receivedQueryInterface(mInterfaceName, interfaceID, out);
}

template <class Interface>
acfUInt32 HostFacet<Interface>::AddRef()
{
    return mOwner.receivedAddRef(mInterfaceName);
}

template <class Interface>
acfUInt32 HostFacet<Interface>::Release()
{
    return mOwner.receivedRelease(mInterfaceName);
}

template <class Interface>
AAX_Result HostFacet<Interface>::call(int method, std::vector<std::string> arguments) const
{
    return mOwner.receivedCall(mInterfaceName, method, std::move(arguments));
}
