// Every call the host stand-in receives from the plug-in, in order: component, interface, method number
// (QueryInterface 0, AddRef 1, Release 2, then the interface's own methods) and the arguments as text.
#pragma once

#include "ACF/acfuid.h"

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

struct HostCall
{
    std::string component;     // e.g. "HostServices"
    std::string interfaceName; // the interface version the call came through, e.g. "IAAXHostServicesV1"
    int method = 0;
    std::vector<std::string> arguments;

    bool operator==(const HostCall& other) const;
    bool operator!=(const HostCall& other) const { return !(*this == other); }
};

std::ostream& operator<<(std::ostream& stream, const HostCall& call);
// Lets GoogleTest print calls in failure messages.
void PrintTo(const HostCall& call, std::ostream* stream);

// Arguments as they appear in the log.
std::string hostArg(const char* text);          // the text itself, "<null>" for a null pointer
std::string hostArg(int32_t value);             // signed decimal
std::string hostArg(uint32_t value);            // unsigned decimal
std::string hostArg(int64_t value);             // signed decimal
std::string hostArg(double value);              // shortest form that reads back exactly ("%.17g")
std::string hostArg(const void* pointer);       // "<null>" or "<pointer>"
std::string hostArg(const _acfUID& identifier); // the identifier's name (see HostIdentifiers.h)

// Thread-safe.
class HostCallLog
{
public:
    void add(HostCall call);
    void clear();

    std::vector<HostCall> all() const;
    // Calls of the interfaces' own methods (number 3 and above): no QueryInterface, AddRef or Release.
    std::vector<HostCall> methodCalls() const;
    std::vector<HostCall> callsTo(const std::string& component) const;
    size_t size() const;

private:
    mutable std::mutex mMutex;
    std::vector<HostCall> mCalls;
};
