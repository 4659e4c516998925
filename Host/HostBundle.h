// A plug-in's shared object loaded the way the host loads a bundle (every symbol resolved at once, nothing
// shared with other bundles), with the exported entry points the host calls.
#pragma once

#include "ACF/acfbaseapi.h"

#include <cstdint>
#include <string>

class HostBundle
{
public:
	using WithHost = int32_t (*)(IACFUnknown*);
	using RegisterPlugin = int32_t (*)(IACFUnknown*, IACFPluginDefinition**);

	explicit HostBundle(const std::string& path);
	~HostBundle();

	HostBundle(const HostBundle&) = delete;
	HostBundle& operator=(const HostBundle&) = delete;

	bool isLoaded() const { return mHandle != nullptr; }
	// Why loading failed (empty when it did not).
	const std::string& error() const { return mError; }
	// Whether every entry point below was found.
	bool hasEntryPoints() const { return startup && shutdown && canUnloadNow && registerPlugin; }
	// The address of an exported symbol, null when the bundle does not export it.
	void* symbol(const char* name) const;

	// Unloads the bundle; the result of dlclose (0 on success). The destructor does it if nobody did.
	int unload();

	WithHost startup = nullptr;
	WithHost shutdown = nullptr;
	WithHost canUnloadNow = nullptr;
	RegisterPlugin registerPlugin = nullptr;

private:
	void* mHandle = nullptr;
	std::string mError;
};
