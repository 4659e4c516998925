// A failure of the host to load or run a plug-in, or of its input; the text is one line meant for people.
#pragma once

#include <stdexcept>

class HostError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
