// How the library's proxies reach the host's objects.
#pragma once

#include "AAX.h"
#include "AAX_Errors.h"
#include "ACFPtr.h"
#include "acfbaseapi.h"

#include <utility>

// The host's component factory, or an empty holder where there is no host or it offers no factory.
// A host that answers yes but hands back nothing is broken: that throws ACF_E_POINTER, so that no proxy is
// left half made.
ACFPtr<IACFComponentFactory> AAX_AcquireComponentFactory(IACFUnknown* inHost);

// One call through an interface a proxy holds: the host's answer unchanged, or inMissing (calling
// nothing) where the host did not provide that interface.
template <class Result, class Interface, class Method, class... Args>
Result AAX_CallHostOr(Result inMissing, const ACFPtr<Interface>& inInterface, Method inMethod, Args&&... inArgs)
{
    if (!inInterface)
        return inMissing;
    return (inInterface.get()->*inMethod)(std::forward<Args>(inArgs)...);
}

// The same, answering AAX_ERROR_NULL_OBJECT where the interface is missing.
template <class Interface, class Method, class... Args>
AAX_Result AAX_CallHost(const ACFPtr<Interface>& inInterface, Method inMethod, Args&&... inArgs)
{
    return AAX_CallHostOr<AAX_Result>(AAX_ERROR_NULL_OBJECT, inInterface, inMethod, std::forward<Args>(inArgs)...);
}

// The same, answering AAX_ERROR_UNIMPLEMENTED where the interface is missing (as a rule, a later version).
template <class Interface, class Method, class... Args>
AAX_Result AAX_CallHostOrUnimplemented(const ACFPtr<Interface>& inInterface, Method inMethod, Args&&... inArgs)
{
    return AAX_CallHostOr<AAX_Result>(AAX_ERROR_UNIMPLEMENTED, inInterface, inMethod, std::forward<Args>(inArgs)...);
}
