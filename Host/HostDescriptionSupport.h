// Shared helpers of the host's description components (collection, effect and component descriptors,
// property maps, description host, feature information).
//
// Reference convention of this host: an object handed back through an IACFUnknown** out argument
// (description host method 3, feature information method 4) carries one reference, which the receiver
// releases -- the same rule as QueryInterface and CreateComponent.
//
// The description is kept as plain data that tests and the host's own instance creation read back. The
// host keeps host-internal references (HostRef) to the descriptors and maps the plug-in hands it, so the
// whole description lives as long as the collection, which lives as long as its plug-in definition.
#pragma once

#include "HostObject.h"

#include <string>

// Exact address of a pointer argument for the log ("<null>" or "@0x..."), so that tests can check that a
// pointer arrived unchanged.
std::string hostAddressArg(const void* pointer);

template <class Function>
std::string hostFunctionArg(Function* function)
{
    return hostAddressArg(reinterpret_cast<const void*>(function));
}

// The host object of type T whose interface the plug-in passed back (null when unknown or null).
template <class T>
T* hostObjectBehind(const HostEnvironment& environment, const IACFUnknown* passed)
{
    if (passed == nullptr)
        return nullptr;
    for (T* object : environment.objectsOfType<T>())
        if (object->hasInterface(passed))
            return object;
    return nullptr;
}
