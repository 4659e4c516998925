#include "HostBundle.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/utsname.h>

namespace
{
bool isFolder(const std::string& path)
{
	struct stat status {};
	return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFile(const std::string& path)
{
	struct stat status {};
	return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string machineName()
{
	struct utsname names {};
	return ::uname(&names) == 0 ? names.machine : "unknown";
}

template <typename Function>
void resolve(void* handle, const std::string& path, const char* name, Function& function)
{
	void* const symbol = ::dlsym(handle, name);
	if (symbol == nullptr)
		throw HostError("'" + path + "' is not an AAX plug-in: it has no entry point " + name);
	function = reinterpret_cast<Function>(symbol);
}
} // namespace

std::string HostBundle::binaryInBundle(const std::string& bundleFolder)
{
	std::string folder = bundleFolder;
	while (folder.size() > 1 && folder.back() == '/')
		folder.pop_back();
	const size_t slash = folder.find_last_of('/');
	std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
	const size_t dot = name.find_last_of('.');
	if (dot != std::string::npos && dot > 0)
		name.erase(dot);
	return folder + "/Contents/" + machineName() + "-linux/" + name + ".so";
}

HostBundle::HostBundle(const std::string& bundlePath)
{
	if (isFolder(bundlePath))
	{
		mBinaryPath = binaryInBundle(bundlePath);
		if (!isFile(mBinaryPath))
			throw HostError("'" + bundlePath + "' is not a plug-in bundle: " + mBinaryPath + " is missing");
	}
	else if (isFile(bundlePath))
		mBinaryPath = bundlePath;
	else
		throw HostError("no plug-in bundle at '" + bundlePath + "'");

	// The plug-in's symbols stay private to it, as in a host that loads many bundles.
	mHandle = ::dlopen(mBinaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
	if (mHandle == nullptr)
	{
		const char* const reason = ::dlerror();
		throw HostError("'" + mBinaryPath + "' could not be loaded: " + (reason != nullptr ? reason : "unknown reason"));
	}

	try
	{
		resolve(mHandle, mBinaryPath, "ACFRegisterPlugin", mEntryPoints.registerPlugin);
		resolve(mHandle, mBinaryPath, "ACFRegisterComponent", mEntryPoints.registerComponent);
		resolve(mHandle, mBinaryPath, "ACFGetClassFactory", mEntryPoints.getClassFactory);
		resolve(mHandle, mBinaryPath, "ACFCanUnloadNow", mEntryPoints.canUnloadNow);
		resolve(mHandle, mBinaryPath, "ACFStartup", mEntryPoints.startup);
		resolve(mHandle, mBinaryPath, "ACFShutdown", mEntryPoints.shutdown);
		resolve(mHandle, mBinaryPath, "ACFGetSDKVersion", mEntryPoints.getSDKVersion);
	}
	catch (...)
	{
		unload();
		throw;
	}
}

HostBundle::~HostBundle()
{
	unload();
}

bool HostBundle::unload()
{
	mEntryPoints = {};
	void* const handle = mHandle;
	mHandle = nullptr;
	return handle == nullptr || ::dlclose(handle) == 0;
}
