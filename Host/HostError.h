// A failure of the host to load or run a plug-in, or of its input; the text is one line meant for people.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class HostError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** A result code as people read it: "-20026 (AAX_ERROR_MALFORMED_CHUNK)"; a code outside the result table
    is shown in hexadecimal beside it ("-2147418113 (0x8000FFFF)"). */
std::string hostResultText(int32_t result);
