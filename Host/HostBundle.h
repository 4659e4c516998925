// A plug-in's shared object loaded the way the host loads a bundle (every symbol resolved at once, nothing
// shared with other bundles), with the exported entry points the host calls.
#pragma once

#include "ACF/acfbaseapi.h"
#include "ACF/acfbasetypes.h"
#include "ACF/acfuid.h"

#include <cstdint>
#include <string>

class IACFComponentDefinition;

class HostBundle
{
public:
    using WithHost = int32_t (*)(IACFUnknown*);
    using RegisterPlugin = int32_t (*)(IACFUnknown*, IACFPluginDefinition**);
    using RegisterComponent = int32_t (*)(IACFUnknown*, acfUInt32, IACFComponentDefinition**);
    using GetClassFactory = int32_t (*)(IACFUnknown*, const acfCLSID&, const acfIID&, void**);
    using GetSDKVersion = int32_t (*)(uint64_t*);

    // path: a bundle folder ("Kelvane.aaxplugin", whose shared object is binaryInBundle(path)) or a shared
    // object itself.
    explicit HostBundle(const std::string& path);
    ~HostBundle();

    HostBundle(const HostBundle&) = delete;
    HostBundle& operator=(const HostBundle&) = delete;

    // The shared object inside a bundle folder: Contents/<machine>-linux/<folder name without extension>.so.
    static std::string binaryInBundle(const std::string& bundleFolder);

    const std::string& binaryPath() const { return mBinaryPath; }
    bool isLoaded() const { return mHandle != nullptr; }
    // Why loading failed, as one line (empty when it did not).
    const std::string& error() const { return mError; }
    // Whether all seven entry points below were found.
    bool hasEntryPoints() const;
    // The address of an exported symbol, null when the bundle does not export it.
    void* symbol(const char* name) const;

    // Unloads the bundle; the result of dlclose (0 on success). The destructor does it if nobody did.
    int unload();
    // Leaves the shared object mapped for the rest of the process (its code may still run).
    void keepLoaded();

    WithHost startup = nullptr;
    WithHost shutdown = nullptr;
    WithHost canUnloadNow = nullptr;
    RegisterPlugin registerPlugin = nullptr;
    RegisterComponent registerComponent = nullptr;
    GetClassFactory getClassFactory = nullptr;
    GetSDKVersion getSDKVersion = nullptr;

private:
    void forgetEntryPoints();

    std::string mBinaryPath;
    void* mHandle = nullptr;
    std::string mError;
};
