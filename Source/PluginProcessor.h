#pragma once
#include <juce_audio_processors/juce_audio_processors.h>
