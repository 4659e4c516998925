#include "HostPlugIn.h"

#include "HostDescriptionSupport.h"

#include <sys/stat.h>

#include <thread>
#include <utility>

namespace
{
bool exists(const std::string& path, bool folder)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && (folder ? S_ISDIR(status.st_mode) : S_ISREG(status.st_mode));
}

// The path itself, once it names a bundle folder with its shared object or a file.
const std::string& existingBundle(const std::string& path)
{
    if (exists(path, true))
    {
        if (!exists(HostBundle::binaryInBundle(path), false))
            throw HostError("'" + path + "' is not a plug-in bundle: " + HostBundle::binaryInBundle(path)
                            + " is missing");
    }
    else if (!exists(path, false))
        throw HostError("no plug-in bundle at '" + path + "'");
    return path;
}
} // namespace

HostPlugIn::HostPlugIn(HostEnvironment& environment, const std::string& bundlePath)
    : mEnvironment(environment), mBundle(existingBundle(bundlePath)), mContext(makeHostObject<HostContext>(environment))
{
    if (!mBundle.isLoaded())
        throw HostError("'" + mBundle.binaryPath() + "' could not be loaded: " + mBundle.error());
    if (!mBundle.hasEntryPoints())
        throw HostError("'" + mBundle.binaryPath() + "' is not an AAX plug-in: it lacks the ACF entry points");
    HostBundle& entry = mBundle;
    try
    {
        entry.getSDKVersion(&mSDKVersion);
        const ACFRESULT started = entry.startup(mContext->unknown());
        mStarted = true;
        if (started != 0)
            throw HostError("'" + mBundle.binaryPath() + "' failed to start (ACFStartup: " + hostResultText(started)
                            + ")");

        const ACFRESULT registered = entry.registerPlugin(mContext->unknown(), &mDefinition);
        if (registered != 0 || mDefinition == nullptr)
            throw HostError("'" + mBundle.binaryPath()
                            + "' failed to register (ACFRegisterPlugin: " + hostResultText(registered) + ")");
        mCollection = HostRef<HostCollection>(hostObjectBehind<HostCollection>(environment, mDefinition));
        if (!mCollection)
            throw HostError("'" + mBundle.binaryPath() + "' registered without describing itself to this host");
        if (mCollection->effects().empty())
            throw HostError("'" + mBundle.binaryPath() + "' registered no effect");
    }
    catch (...)
    {
        shutDown(true);
        throw;
    }
}

HostPlugIn::~HostPlugIn()
{
    try
    {
        finish();
    }
    catch (const HostError&)
    {
    }
}

void* HostPlugIn::createObject(AAX_CProcPtrID procedure, const acfIID& interfaceID, const std::string& what) const
{
    using CreateProcedure = IACFUnknown* (*)();
    auto* const create = reinterpret_cast<CreateProcedure>(effect().procPtr(procedure));
    if (create == nullptr)
        throw HostError("the plug-in registered no creation procedure for " + what);
    IACFUnknown* const object = create();
    if (object == nullptr)
        throw HostError("the plug-in's object for " + what + " could not be created");
    void* face = nullptr;
    if (object->QueryInterface(interfaceID, &face) != 0 || face == nullptr)
    {
        // Its first reference, taken and dropped, ends it.
        object->AddRef();
        object->Release();
        throw HostError("the plug-in's object for " + what + " lacks the interface a host asks for");
    }
    return face;
}

void HostPlugIn::finish(std::chrono::milliseconds patience)
{
    if (!mStarted)
        return;
    mCollection.reset();
    if (IACFPluginDefinition* const definition = std::exchange(mDefinition, nullptr))
        definition->Release();

    // The plug-in may still finish work of its own (a background request); a host asks again a little later.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    ACFRESULT objectsAlive = mBundle.canUnloadNow(mContext->unknown());
    while (objectsAlive != 0 && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        objectsAlive = mBundle.canUnloadNow(mContext->unknown());
    }
    shutDown(objectsAlive == 0);
    if (objectsAlive != 0)
        throw HostError("'" + mBundle.binaryPath() + "' still holds " + std::to_string(objectsAlive)
                        + " objects; it stays loaded (ACFCanUnloadNow)");
}

void HostPlugIn::shutDown(bool unmap)
{
    if (mStarted)
        mBundle.shutdown(mContext->unknown());
    mStarted = false;
    mCollection.reset();
    if (IACFPluginDefinition* const definition = std::exchange(mDefinition, nullptr))
        definition->Release();
    mContext.reset();
    if (unmap)
        mBundle.unload();
    else
        mBundle.keepLoaded();
}
