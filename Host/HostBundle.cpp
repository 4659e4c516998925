#include "HostBundle.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/utsname.h>

namespace
{
bool isFolder(const std::string& path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string machineName()
{
    struct utsname names
    {
    };
    return ::uname(&names) == 0 ? names.machine : "unknown";
}
} // namespace

std::string HostBundle::binaryInBundle(const std::string& bundleFolder)
{
    std::string folder = bundleFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    // The shared object is named after the bundle itself, not after a link to it under another name.
    std::string named = folder;
    struct stat status
    {
    };
    char resolved[PATH_MAX];
    if (::lstat(folder.c_str(), &status) == 0 && S_ISLNK(status.st_mode) && ::realpath(folder.c_str(), resolved))
        named = resolved;
    const size_t slash = named.find_last_of('/');
    std::string name = slash == std::string::npos ? named : named.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return folder + "/Contents/" + machineName() + "-linux/" + name + ".so";
}

HostBundle::HostBundle(const std::string& path)
    : mBinaryPath(isFolder(path) ? binaryInBundle(path)
                  // dlopen takes a name without a slash for a library to look for on its search path; a host
                  // loads the file it was given.
                  : path.find('/') == std::string::npos ? "./" + path
                                                        : path)
{
    mHandle = dlopen(mBinaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mHandle == nullptr)
    {
        const char* const reason = dlerror();
        mError = reason != nullptr ? reason : "cannot load " + mBinaryPath;
        return;
    }
    startup = reinterpret_cast<WithHost>(symbol("ACFStartup"));
    shutdown = reinterpret_cast<WithHost>(symbol("ACFShutdown"));
    canUnloadNow = reinterpret_cast<WithHost>(symbol("ACFCanUnloadNow"));
    registerPlugin = reinterpret_cast<RegisterPlugin>(symbol("ACFRegisterPlugin"));
    registerComponent = reinterpret_cast<RegisterComponent>(symbol("ACFRegisterComponent"));
    getClassFactory = reinterpret_cast<GetClassFactory>(symbol("ACFGetClassFactory"));
    getSDKVersion = reinterpret_cast<GetSDKVersion>(symbol("ACFGetSDKVersion"));
}

HostBundle::~HostBundle()
{
    unload();
}

bool HostBundle::hasEntryPoints() const
{
    return startup && shutdown && canUnloadNow && registerPlugin && registerComponent && getClassFactory
           && getSDKVersion;
}

void* HostBundle::symbol(const char* name) const
{
    return mHandle != nullptr ? dlsym(mHandle, name) : nullptr;
}

int HostBundle::unload()
{
    void* const handle = mHandle;
    forgetEntryPoints();
    return handle != nullptr ? dlclose(handle) : 0;
}

void HostBundle::keepLoaded()
{
    forgetEntryPoints();
}

void HostBundle::forgetEntryPoints()
{
    mHandle = nullptr;
    startup = shutdown = canUnloadNow = nullptr;
    registerPlugin = nullptr;
    registerComponent = nullptr;
    getClassFactory = nullptr;
    getSDKVersion = nullptr;
}
