#include "PluginProcessor.h"
