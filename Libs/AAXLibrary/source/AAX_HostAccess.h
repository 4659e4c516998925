// How the library's proxies reach the host's objects.
#pragma once

#include "ACFPtr.h"
#include "acfbaseapi.h"

// The host's component factory, or an empty holder where there is no host or it offers no factory.
// A host that answers yes but hands back nothing is broken: that throws ACF_E_POINTER, so that no proxy is
// left half made.
ACFPtr<IACFComponentFactory> AAX_AcquireComponentFactory(IACFUnknown* inHost);
