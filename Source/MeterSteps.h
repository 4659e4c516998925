#pragma once

// Meter step 1..11 for the peak magnitude of one processed output channel: 1 for silence or a peak below
// -48 dB, 11 for +2.9 dB or more (0, "switched off", is the processor's to write).
double meterStepForPeak(double peak) noexcept;
