// Small helpers for native plug-in code.
#pragma once

#include "AAX.h"
#include "AAX_Enums.h"

#include <cstring>

namespace AAX
{
// Parameter IDs are equal when their texts match byte for byte; a null ID equals nothing.
inline bool IsParameterIDEqual(AAX_CParamID first, AAX_CParamID second)
{
    return first != nullptr && second != nullptr && std::strcmp(first, second) == 0;
}

// Number of samples of a block length given as a power of two (AAX_eAudioBufferLength_...).
inline int32_t AudioBufferLengthInSamples(AAX_EAudioBufferLength length)
{
    return length < 0 ? 0 : (int32_t(1) << length);
}
} // namespace AAX
