#include "ParameterValueGuard.h"

#include <cmath>

ParameterValueGuard::~ParameterValueGuard()
{
    for (auto& each : watched)
        each->parameter->removeListener(this);
}

void ParameterValueGuard::watch(juce::AudioProcessorParameter& parameter)
{
    auto each = std::make_unique<Watched>();
    each->parameter = &parameter;
    each->lastUsable.store(parameter.getValue());
    watched.push_back(std::move(each));
    parameter.addListener(this);
}

// Runs on whichever thread set the value; takes no lock and allocates nothing.
void ParameterValueGuard::parameterValueChanged(int parameterIndex, float)
{
    for (auto& each : watched)
    {
        if (each->parameter->getParameterIndex() != parameterIndex)
            continue;

        const float stored = each->parameter->getValue();
        if (stored >= 0.0f && stored <= 1.0f)
            each->lastUsable.store(stored);
        else
            each->parameter->setValue(std::isnan(stored) ? each->lastUsable.load() : juce::jlimit(0.0f, 1.0f, stored));
    }
}
