// JUCE's AAX client linked with the library, the engine and the window loads with every symbol resolved
// and describes the plug-in to the host stand-in through its exported entry points.

#include "HostCollection.h"
#include "HostTestSupport.h"
#include "acfbaseapi.h"

#include <dlfcn.h>

namespace
{
class LinkedClient : public HostTest
{
};

TEST_F(LinkedClient, LoadsAndRegistersThePlugIn)
{
	void* const module = dlopen(KELVANE_AAX_LINK_CHECK_PATH, RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(module, nullptr) << dlerror();
	using WithHost = int32_t (*)(IACFUnknown*);
	using Register = int32_t (*)(IACFUnknown*, IACFPluginDefinition**);
	auto* const startup = reinterpret_cast<WithHost>(dlsym(module, "ACFStartup"));
	auto* const shutdown = reinterpret_cast<WithHost>(dlsym(module, "ACFShutdown"));
	auto* const registerPlugin = reinterpret_cast<Register>(dlsym(module, "ACFRegisterPlugin"));
	ASSERT_TRUE(startup && shutdown && registerPlugin);
	{
		HostRef<HostContext> context = makeContext();
		EXPECT_EQ(startup(context->unknown()), 0);
		IACFPluginDefinition* definition = nullptr;
		EXPECT_EQ(registerPlugin(context->unknown(), &definition), 0);
		ASSERT_NE(definition, nullptr);
		const std::vector<HostCollection*> collections = host.objectsOfType<HostCollection>();
		ASSERT_EQ(collections.size(), 1u);
		ASSERT_EQ(collections[0]->effects().size(), 1u);
		EXPECT_EQ(collections[0]->effects()[0].effectID, "com.zelvo-audio.kelvane");
		definition->Release();
		EXPECT_EQ(shutdown(nullptr), 0);
	}
	EXPECT_EQ(dlclose(module), 0);
}
} // namespace
