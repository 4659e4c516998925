#include "HostCallLog.h"

#include "HostIdentifiers.h"

#include <cstdio>

bool HostCall::operator==(const HostCall& other) const
{
    return component == other.component && interfaceName == other.interfaceName && method == other.method
           && arguments == other.arguments;
}

std::ostream& operator<<(std::ostream& stream, const HostCall& call)
{
    stream << call.component << "::" << call.interfaceName << " method " << call.method << " (";
    for (size_t i = 0; i < call.arguments.size(); ++i)
        stream << (i == 0 ? "" : ", ") << '"' << call.arguments[i] << '"';
    return stream << ")";
}

void PrintTo(const HostCall& call, std::ostream* stream)
{
    *stream << call;
}

std::string hostArg(const char* text)
{
    return text != nullptr ? std::string(text) : std::string("<null>");
}

std::string hostArg(int32_t value)
{
    return std::to_string(value);
}

std::string hostArg(uint32_t value)
{
    return std::to_string(value);
}

std::string hostArg(int64_t value)
{
    return std::to_string(value);
}

std::string hostArg(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string hostArg(const void* pointer)
{
    return pointer != nullptr ? "<pointer>" : "<null>";
}

std::string hostArg(const _acfUID& identifier)
{
    return hostIdentifierName(identifier);
}

void HostCallLog::add(HostCall call)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mCalls.push_back(std::move(call));
}

void HostCallLog::clear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mCalls.clear();
}

std::vector<HostCall> HostCallLog::all() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCalls;
}

std::vector<HostCall> HostCallLog::methodCalls() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<HostCall> result;
    for (const HostCall& call : mCalls)
        if (call.method >= 3)
            result.push_back(call);
    return result;
}

std::vector<HostCall> HostCallLog::callsTo(const std::string& component) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<HostCall> result;
    for (const HostCall& call : mCalls)
        if (call.component == component)
            result.push_back(call);
    return result;
}

size_t HostCallLog::size() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCalls.size();
}
