// A plug-in bundle loaded into the host process: the shared object inside the bundle folder, opened with
// dlopen, and its seven exported entry points. The host reaches the plug-in through nothing else.
#pragma once

#include "ACF/acfbaseapi.h"
#include "ACF/acfbasetypes.h"
#include "ACF/acfuid.h"

#include <cstdint>
#include <stdexcept>
#include <string>

class IACFComponentDefinition;

// A failure of the host to load or run a plug-in; the text is one line meant for the user.
class HostError : public std::runtime_error
{
public:
	using std::runtime_error::runtime_error;
};

struct HostEntryPoints
{
	ACFRESULT (*registerPlugin)(IACFUnknown* host, IACFPluginDefinition** definition) = nullptr;
	ACFRESULT (*registerComponent)(IACFUnknown* host, acfUInt32 index, IACFComponentDefinition** definition) = nullptr;
	ACFRESULT (*getClassFactory)(IACFUnknown* host, const acfCLSID& classID, const acfIID& interfaceID,
	                             void** factory) = nullptr;
	ACFRESULT (*canUnloadNow)(IACFUnknown* host) = nullptr;
	ACFRESULT (*startup)(IACFUnknown* host) = nullptr;
	ACFRESULT (*shutdown)(IACFUnknown* host) = nullptr;
	ACFRESULT (*getSDKVersion)(uint64_t* version) = nullptr;
};

class HostBundle
{
public:
	// bundlePath: a bundle folder ("Kelvane.aaxplugin") or the shared object itself. Throws HostError when
	// there is no such file, it cannot be loaded, or an entry point is missing.
	explicit HostBundle(const std::string& bundlePath);
	// Unmaps the shared object unless unload() already did, or keepLoaded() asked not to.
	~HostBundle();

	HostBundle(const HostBundle&) = delete;
	HostBundle& operator=(const HostBundle&) = delete;

	// The shared object inside a bundle folder: Contents/<machine>-linux/<folder name without extension>.so.
	static std::string binaryInBundle(const std::string& bundleFolder);

	const std::string& binaryPath() const { return mBinaryPath; }
	const HostEntryPoints& entryPoints() const { return mEntryPoints; }

	// Unmaps the shared object now; true when dlclose succeeded.
	bool unload();
	// The bundle's code must stay mapped for the rest of the process (it still has objects alive).
	void keepLoaded() { mHandle = nullptr; }

private:
	std::string mBinaryPath;
	void* mHandle = nullptr;
	HostEntryPoints mEntryPoints;
};
