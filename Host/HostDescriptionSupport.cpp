#include "HostDescriptionSupport.h"

#include <cstdio>

std::string hostAddressArg(const void* pointer)
{
    if (pointer == nullptr)
        return "<null>";
    char text[32];
    std::snprintf(text, sizeof text, "@%p", pointer);
    return text;
}
