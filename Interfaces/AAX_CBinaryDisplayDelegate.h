// JUCE's AAX client includes this header but makes no two-state delegate, and the library has none:
// its parameters use the linear taper and the number display.
#pragma once
