#include "HostError.h"

#include "AAX_Errors.h"

#include <cstdio>

std::string hostResultText(int32_t result)
{
    std::string name = AAX::AsStringResult(result);
    if (name == "<unknown error code>")
    {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(result));
        name = hex;
    }
    return std::to_string(result) + " (" + name + ")";
}
