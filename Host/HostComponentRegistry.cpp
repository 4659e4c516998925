#include "HostComponentRegistry.h"

#include <algorithm>
#include <deque>

namespace
{
// Filled during static initialisation, read-only afterwards. A deque keeps pointers to entries valid.
std::deque<HostComponentType>& registeredTypes()
{
    static std::deque<HostComponentType> types;
    return types;
}
} // namespace

void HostComponentRegistry::add(HostComponentType type)
{
    registeredTypes().push_back(std::move(type));
}

const HostComponentType* HostComponentRegistry::findByComponentID(const _acfUID& componentID)
{
    for (const HostComponentType& type : registeredTypes())
        if (type.createdByFactory && type.componentID == componentID)
            return &type;
    return nullptr;
}

const HostComponentType* HostComponentRegistry::findByContextInterface(const _acfUID& interfaceID)
{
    for (const HostComponentType& type : registeredTypes())
        if (std::find(type.contextInterfaces.begin(), type.contextInterfaces.end(), interfaceID)
            != type.contextInterfaces.end())
            return &type;
    return nullptr;
}

const HostComponentType* HostComponentRegistry::findByName(const std::string& name)
{
    for (const HostComponentType& type : registeredTypes())
        if (type.name == name)
            return &type;
    return nullptr;
}
