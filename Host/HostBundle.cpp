#include "HostBundle.h"

#include <dlfcn.h>

HostBundle::HostBundle(const std::string& path) : mHandle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
	if (mHandle == nullptr)
	{
		const char* const reason = dlerror();
		mError = reason != nullptr ? reason : "cannot load " + path;
		return;
	}
	startup = reinterpret_cast<WithHost>(symbol("ACFStartup"));
	shutdown = reinterpret_cast<WithHost>(symbol("ACFShutdown"));
	canUnloadNow = reinterpret_cast<WithHost>(symbol("ACFCanUnloadNow"));
	registerPlugin = reinterpret_cast<RegisterPlugin>(symbol("ACFRegisterPlugin"));
}

HostBundle::~HostBundle()
{
	unload();
}

void* HostBundle::symbol(const char* name) const
{
	return mHandle != nullptr ? dlsym(mHandle, name) : nullptr;
}

int HostBundle::unload()
{
	void* const handle = mHandle;
	mHandle = nullptr;
	startup = shutdown = canUnloadNow = nullptr;
	registerPlugin = nullptr;
	return handle != nullptr ? dlclose(handle) : 0;
}
