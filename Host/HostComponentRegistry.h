// The kinds of host component the stand-in can make. Each component's source file registers its kind with a
// static HostComponentRegistration, so adding a component needs no change to any other file.
#pragma once

#include "ACF/acfuid.h"

#include <functional>
#include <string>
#include <vector>

class HostEnvironment;
class HostObject;

struct HostComponentType
{
    std::string name;
    // Made by IACFComponentFactory::CreateComponent (method 3) when asked for componentID.
    bool createdByFactory = false;
    _acfUID componentID{};
    // Interfaces the host's context IACFUnknown (HostContext) answers with its one instance of this kind
    // (e.g. the automation delegate, the controller). Empty: not offered by the context.
    std::vector<_acfUID> contextInterfaces;
    // Creates an instance with a reference count of 0.
    std::function<HostObject*(HostEnvironment&)> create;
};

class HostComponentRegistry
{
public:
    static void add(HostComponentType type);
    static const HostComponentType* findByComponentID(const _acfUID& componentID);
    static const HostComponentType* findByContextInterface(const _acfUID& interfaceID);
    static const HostComponentType* findByName(const std::string& name);
};

struct HostComponentRegistration
{
    explicit HostComponentRegistration(HostComponentType type) { HostComponentRegistry::add(std::move(type)); }
};
