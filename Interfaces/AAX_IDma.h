#pragma once

// Direct memory access as an algorithm context field. Only the mode is needed to describe such a field;
// the host interprets it.
class AAX_IDma
{
public:
    enum EMode
    {
        eMode_Error = 0,
        eMode_Burst = 1,
        eMode_Gather = 2,
        eMode_Scatter = 3
    };

    virtual ~AAX_IDma() = default;
};
