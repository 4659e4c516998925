// Names of identifiers for the call log and for failure messages.
#pragma once

#include "ACF/acfuid.h"

#include <string>

// "IID_IAAXHostServicesV1" etc. for every known identifier; the textual form
// XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX for any other.
std::string hostIdentifierName(const _acfUID& identifier);
std::string hostIdentifierText(const _acfUID& identifier);
