// Geometry exchanged with the host's view container: sizes are (vertical, horizontal) in points.
#pragma once

#include "AAX.h"

struct AAX_Point
{
    float vert = 0.0f;
    float horz = 0.0f;
};

struct AAX_Rect
{
    float top = 0.0f;
    float left = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};
