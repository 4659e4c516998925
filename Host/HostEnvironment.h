// One stand-in host: its configuration, its call log and the registry of its live objects. Every host
// object belongs to one environment, which must outlive it.
#pragma once

#include "AAX.h"
#include "ACF/acfuid.h"
#include "HostCallLog.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class HostObject;

// What the host offers and answers. Set it up before the plug-in calls in; it is read without a lock.
class HostConfiguration
{
public:
    // A refused interface is answered with 0x80000004 and a null pointer, by QueryInterface as well as by
    // CreateComponent: this is how a host that lacks an interface version is played.
    void refuseInterface(const _acfUID& interfaceID);
    void offerInterface(const _acfUID& interfaceID);
    bool isRefused(const _acfUID& interfaceID) const;

    // An interface answered with 0 (success) but a null pointer: a misbehaving host.
    void answerEmpty(const _acfUID& interfaceID);
    bool answersEmpty(const _acfUID& interfaceID) const;

    // The result a component's method returns (default 0). For methods that create or hand out objects an
    // injected failure also hands out nothing.
    void injectResult(const std::string& component, int method, AAX_Result result);
    AAX_Result resultFor(const std::string& component, int method) const;

private:
    std::vector<_acfUID> mRefused;
    std::vector<_acfUID> mEmpty;
    std::map<std::pair<std::string, int>, AAX_Result> mResults;
};

class HostEnvironment
{
public:
    HostEnvironment() = default;
    // Reports every object still alive on stderr and aborts: a leak of host objects is a failure.
    ~HostEnvironment();

    HostEnvironment(const HostEnvironment&) = delete;
    HostEnvironment& operator=(const HostEnvironment&) = delete;

    HostConfiguration& configuration() { return mConfiguration; }
    const HostConfiguration& configuration() const { return mConfiguration; }
    HostCallLog& log() { return mLog; }
    const HostCallLog& log() const { return mLog; }

    // "<component> (references: n)" for every host object alive; empty when nothing leaked.
    std::vector<std::string> liveObjects() const;
    size_t liveObjectCount() const;

    // The live objects of one class, in creation order (e.g. to inspect what the plug-in had created). The
    // pointers are only safe to use while no other thread releases host objects.
    template <class T>
    std::vector<T*> objectsOfType() const
    {
        std::vector<T*> result;
        for (HostObject* object : snapshot())
            if (T* typed = dynamic_cast<T*>(object))
                result.push_back(typed);
        return result;
    }

private:
    friend class HostObject;
    void registerObject(HostObject* object);
    void unregisterObject(HostObject* object);
    std::vector<HostObject*> snapshot() const;

    HostConfiguration mConfiguration;
    HostCallLog mLog;
    mutable std::mutex mObjectsMutex;
    std::vector<HostObject*> mObjects;
};
