#include "HostEnvironment.h"

#include "HostObject.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void HostConfiguration::refuseInterface(const _acfUID& interfaceID)
{
    if (!isRefused(interfaceID))
        mRefused.push_back(interfaceID);
}

void HostConfiguration::offerInterface(const _acfUID& interfaceID)
{
    mRefused.erase(std::remove(mRefused.begin(), mRefused.end(), interfaceID), mRefused.end());
    mEmpty.erase(std::remove(mEmpty.begin(), mEmpty.end(), interfaceID), mEmpty.end());
}

bool HostConfiguration::isRefused(const _acfUID& interfaceID) const
{
    return std::find(mRefused.begin(), mRefused.end(), interfaceID) != mRefused.end();
}

void HostConfiguration::answerEmpty(const _acfUID& interfaceID)
{
    if (!answersEmpty(interfaceID))
        mEmpty.push_back(interfaceID);
}

bool HostConfiguration::answersEmpty(const _acfUID& interfaceID) const
{
    return std::find(mEmpty.begin(), mEmpty.end(), interfaceID) != mEmpty.end();
}

void HostConfiguration::injectResult(const std::string& component, int method, AAX_Result result)
{
    mResults[{component, method}] = result;
}

AAX_Result HostConfiguration::resultFor(const std::string& component, int method) const
{
    const auto found = mResults.find({component, method});
    return found != mResults.end() ? found->second : 0;
}

HostEnvironment::~HostEnvironment()
{
    const std::vector<std::string> leaked = liveObjects();
    if (leaked.empty())
        return;
    std::fprintf(stderr, "Host objects still alive when the host environment ends:\n");
    for (const std::string& object : leaked)
        std::fprintf(stderr, "  %s\n", object.c_str());
    std::abort();
}

std::vector<std::string> HostEnvironment::liveObjects() const
{
    // Read under the lock: an object being released on another thread stays registered, with its name and
    // count intact, until its destructor can take the lock.
    std::lock_guard<std::mutex> lock(mObjectsMutex);
    std::vector<std::string> result;
    for (HostObject* object : mObjects)
        result.push_back(object->componentName() + " (references: " + std::to_string(object->referenceCount()) + ")");
    return result;
}

size_t HostEnvironment::liveObjectCount() const
{
    std::lock_guard<std::mutex> lock(mObjectsMutex);
    return mObjects.size();
}

void HostEnvironment::registerObject(HostObject* object)
{
    std::lock_guard<std::mutex> lock(mObjectsMutex);
    mObjects.push_back(object);
}

void HostEnvironment::unregisterObject(HostObject* object)
{
    std::lock_guard<std::mutex> lock(mObjectsMutex);
    mObjects.erase(std::remove(mObjects.begin(), mObjects.end(), object), mObjects.end());
}

std::vector<HostObject*> HostEnvironment::snapshot() const
{
    std::lock_guard<std::mutex> lock(mObjectsMutex);
    return mObjects;
}
