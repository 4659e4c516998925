#include "HostString.h"

AAX_IString& HostString::operator=(const AAX_IString& other)
{
    Set(other.Get());
    return *this;
}

AAX_IString& HostString::operator=(const char* text)
{
    Set(text);
    return *this;
}
