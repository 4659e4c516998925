// A plug-in as a host holds it from scanning to unloading: the bundle loaded, started (ACFStartup) and
// registered (ACFRegisterPlugin), with the description it gave kept in the host's collection. Instances
// are made from it (HostInstance) and must be gone before finish().
#pragma once

#include "HostBundle.h"
#include "HostCollection.h"
#include "HostContext.h"
#include "HostEffectDescriptor.h"
#include "HostError.h"
#include "HostObject.h"

#include <chrono>
#include <cstdint>
#include <string>

// "'elck'" for a four-character code of printable characters, the number otherwise.
std::string hostFourCharacterCode(int64_t code);
// "mono", "stereo", "5.1", ... for a stem format.
std::string hostStemFormatName(int64_t stemFormat);
// "2.4, revision 20204000" for what ACFGetSDKVersion gives: two numbers in one, the version above the revision.
std::string hostSdkVersionText(uint64_t versionAndRevision);

class HostPlugIn
{
public:
    // Loads, starts and registers. Throws HostError with the reason when a step fails (the bundle is then
    // shut down and unmapped again).
    HostPlugIn(HostEnvironment& environment, const std::string& bundlePath);
    // finish() if it has not run, without reporting.
    ~HostPlugIn();

    HostPlugIn(const HostPlugIn&) = delete;
    HostPlugIn& operator=(const HostPlugIn&) = delete;

    HostEnvironment& environment() const { return mEnvironment; }
    const HostBundle& bundle() const { return mBundle; }
    // The host context given to ACFStartup and ACFRegisterPlugin, until finish().
    HostContext& context() const { return *mContext; }
    const HostCollection& collection() const { return *mCollection; }
    // The bundle's one effect (this host runs bundles of one effect).
    const HostEffectDescriptor& effect() const { return *mCollection->effects().front().descriptor; }
    const std::string& effectID() const { return mCollection->effects().front().effectID; }
    uint64_t sdkVersion() const { return mSDKVersion; }

    // An object of the plug-in's effect made through the creation procedure registered under `procedure`,
    // asked for `interfaceID`: the one reference the host then holds. Throws HostError naming `what` ("its
    // effect", "its GUI") when there is no such procedure, nothing is made, or the object lacks the interface
    // (it is then ended).
    void* createObject(AAX_CProcPtrID procedure, const acfIID& interfaceID, const std::string& what) const;

    // What the plug-in described, as text for people: effect, names, category, creation procedures, and per
    // algorithm component its stem formats, context fields, procedures and properties.
    std::string description() const;

    // The host's end, in its order: the description released, ACFCanUnloadNow asked until it allows
    // unloading (for at most `patience`, while the plug-in's own threads finish), ACFShutdown, unmapped.
    // Throws HostError when the plug-in still holds objects: it is then shut down but left mapped.
    void finish(std::chrono::milliseconds patience = std::chrono::milliseconds(5000));

private:
    void shutDown(bool unmap);

    HostEnvironment& mEnvironment;
    HostBundle mBundle;
    HostRef<HostContext> mContext;
    IACFPluginDefinition* mDefinition = nullptr;
    HostRef<HostCollection> mCollection;
    uint64_t mSDKVersion = 0;
    bool mStarted = false;
};
