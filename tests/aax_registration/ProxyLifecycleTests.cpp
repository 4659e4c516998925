// What each description proxy asks of the host while it is built and what it gives back when it is
// destroyed, call by call: every interface version is asked for once, in a fixed order, and every
// reference is released again, newest version first and the host's own IACFUnknown last.

#include "RegistrationTestSupport.h"

#include "AAX_IFeatureInfo.h"
#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VDescriptionHost.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "HostPropertyMap.h"

#include <memory>
#include <optional>

namespace
{
using Calls = std::vector<HostCall>;

// The host's records of the calls, written as the host logs them: component, the interface the call came
// through, method number (0 QueryInterface with the identifier asked for, 1 AddRef, 2 Release).
HostCall Query(const char* component, const char* interfaceName, const char* identifier)
{
	return { component, interfaceName, 0, { identifier } };
}
HostCall AddRef(const char* component, const char* interfaceName)
{
	return { component, interfaceName, 1, {} };
}
HostCall Release(const char* component, const char* interfaceName)
{
	return { component, interfaceName, 2, {} };
}
HostCall Create(const char* componentID, const char* interfaceID)
{
	return { "ComponentFactory", "IACFComponentFactory", 3, { componentID, "<null>", interfaceID } };
}

const HostCall kHostAddRef = AddRef("HostContext", "IACFUnknown");
const HostCall kHostRelease = Release("HostContext", "IACFUnknown");
const HostCall kFactoryQuery = Query("HostContext", "IACFUnknown", "IID_IACFComponentFactory");
const HostCall kFactoryRelease = Release("ComponentFactory", "IACFComponentFactory");

class ProxyLifecycle : public DescriptionTest
{
protected:
	// The log since the last call, then cleared.
	Calls take()
	{
		Calls calls = host.log().all();
		host.log().clear();
		return calls;
	}
};

TEST_F(ProxyLifecycle, Collection)
{
	std::optional<AAX_VCollection> collection;
	host.log().clear();
	collection.emplace(context->unknown());
	EXPECT_EQ(take(), (Calls { kHostAddRef,
	                           Query("HostContext", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("HostContext", "IACFUnknown", "IID_IACFDefinition"),
	                           kFactoryQuery,
	                           Create("AAXCompID_AAXCollection", "IID_IAAXCollectionV1"),
	                           kFactoryRelease }));

	collection.reset();
	EXPECT_EQ(take(), (Calls { Release("Definition", "IACFDefinition"),
	                           Release("DescriptionHost", "IAAXDescriptionHostV1"),
	                           Release("Collection", "IAAXCollectionV1"),
	                           kHostRelease }));
}

TEST_F(ProxyLifecycle, CollectionWithoutAFactoryAsksNothingMore)
{
	host.configuration().refuseInterface(IID_IACFComponentFactory);
	host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
	host.configuration().refuseInterface(IID_IACFDefinition);
	std::optional<AAX_VCollection> collection;
	host.log().clear();
	collection.emplace(context->unknown());
	EXPECT_EQ(take(), (Calls { kHostAddRef,
	                           Query("HostContext", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("HostContext", "IACFUnknown", "IID_IACFDefinition"),
	                           kFactoryQuery }));
	collection.reset();
	EXPECT_EQ(take(), (Calls { kHostRelease }));
}

TEST_F(ProxyLifecycle, EffectDescriptor)
{
	std::optional<AAX_VEffectDescriptor> effect;
	host.log().clear();
	effect.emplace(context->unknown());
	// The factory is given back before version 2 is asked for.
	EXPECT_EQ(take(), (Calls { kHostAddRef,
	                           kFactoryQuery,
	                           Create("AAXCompID_AAXEffectDescriptor", "IID_IAAXEffectDescriptorV1"),
	                           kFactoryRelease,
	                           Query("EffectDescriptor", "IAAXEffectDescriptorV1", "IID_IAAXEffectDescriptorV2") }));

	effect.reset();
	EXPECT_EQ(take(), (Calls { Release("EffectDescriptor", "IAAXEffectDescriptorV2"),
	                           Release("EffectDescriptor", "IAAXEffectDescriptorV1"),
	                           kHostRelease }));
}

TEST_F(ProxyLifecycle, ComponentDescriptor)
{
	std::optional<AAX_VComponentDescriptor> component;
	host.log().clear();
	component.emplace(context->unknown());
	EXPECT_EQ(take(), (Calls { kHostAddRef,
	                           kFactoryQuery,
	                           Create("AAXCompID_AAXComponentDescriptor", "IID_IAAXComponentDescriptorV1"),
	                           Query("ComponentDescriptor", "IAAXComponentDescriptorV1", "IID_IAAXComponentDescriptorV2"),
	                           Query("ComponentDescriptor", "IAAXComponentDescriptorV1", "IID_IAAXComponentDescriptorV3"),
	                           kFactoryRelease }));

	component.reset();
	EXPECT_EQ(take(), (Calls { Release("ComponentDescriptor", "IAAXComponentDescriptorV3"),
	                           Release("ComponentDescriptor", "IAAXComponentDescriptorV2"),
	                           Release("ComponentDescriptor", "IAAXComponentDescriptorV1"),
	                           kHostRelease }));
}

TEST_F(ProxyLifecycle, ComponentDescriptorWithoutVersionOneAsksForNoLaterVersion)
{
	host.configuration().refuseInterface(IID_IAAXComponentDescriptorV1);
	std::optional<AAX_VComponentDescriptor> component;
	host.log().clear();
	component.emplace(context->unknown());
	EXPECT_EQ(take(), (Calls { kHostAddRef, kFactoryQuery,
	                           Create("AAXCompID_AAXComponentDescriptor", "IID_IAAXComponentDescriptorV1"),
	                           kFactoryRelease }));
	component.reset();
	EXPECT_EQ(take(), (Calls { kHostRelease }));
}

TEST_F(ProxyLifecycle, PropertyMapMadeByTheFactoryFindsTheDescriptionHostOnTheHost)
{
	host.log().clear();
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	ASSERT_NE(map, nullptr);
	EXPECT_EQ(take(), (Calls { kFactoryQuery,
	                           Create("AAXCompID_AAXPropertyMap", "IID_IAAXPropertyMapV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXPropertyMapV2"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXPropertyMapV3"),
	                           Query("HostContext", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           kFactoryRelease }));

	map.reset();
	EXPECT_EQ(take(), (Calls { Release("DescriptionHost", "IAAXDescriptionHostV1"),
	                           Release("PropertyMap", "IAAXPropertyMapV3"),
	                           Release("PropertyMap", "IAAXPropertyMapV2"),
	                           Release("PropertyMap", "IAAXPropertyMapV1") }));
}

TEST_F(ProxyLifecycle, PropertyMapLooksForADescriptionHostOnHostFactoryAndEachVersion)
{
	host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
	host.log().clear();
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	ASSERT_NE(map, nullptr);
	EXPECT_EQ(take(), (Calls { kFactoryQuery,
	                           Create("AAXCompID_AAXPropertyMap", "IID_IAAXPropertyMapV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXPropertyMapV2"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXPropertyMapV3"),
	                           Query("HostContext", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("ComponentFactory", "IACFComponentFactory", "IID_IAAXDescriptionHostV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV2", "IID_IAAXDescriptionHostV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV3", "IID_IAAXDescriptionHostV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXDescriptionHostV1"),
	                           kFactoryRelease }));
	map.reset();
	EXPECT_EQ(take(), (Calls { Release("PropertyMap", "IAAXPropertyMapV3"),
	                           Release("PropertyMap", "IAAXPropertyMapV2"),
	                           Release("PropertyMap", "IAAXPropertyMapV1") }));
}

TEST_F(ProxyLifecycle, PropertyMapSkipsMissingVersionsInItsSearch)
{
	host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
	host.configuration().refuseInterface(IID_IAAXPropertyMapV2);
	host.configuration().refuseInterface(IID_IAAXPropertyMapV3);
	host.log().clear();
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	ASSERT_NE(map, nullptr);
	EXPECT_EQ(take(), (Calls { kFactoryQuery,
	                           Create("AAXCompID_AAXPropertyMap", "IID_IAAXPropertyMapV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXPropertyMapV2"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXPropertyMapV3"),
	                           Query("HostContext", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("ComponentFactory", "IACFComponentFactory", "IID_IAAXDescriptionHostV1"),
	                           Query("PropertyMap", "IAAXPropertyMapV1", "IID_IAAXDescriptionHostV1"),
	                           kFactoryRelease }));
	map.reset();
	EXPECT_EQ(take(), (Calls { Release("PropertyMap", "IAAXPropertyMapV1") }));
}

TEST_F(ProxyLifecycle, AcquiredPropertyMapAsksTheMapForEachVersionAndADescriptionHost)
{
	HostRef<HostPropertyMap> hostMap = makeHostObject<HostPropertyMap>(host);
	host.log().clear();
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Acquire(hostMap->unknown()));
	ASSERT_NE(map, nullptr);
	// The map stands in for the host here, so a map without a description host is asked twice.
	EXPECT_EQ(take(), (Calls { Query("PropertyMap", "IACFUnknown", "IID_IAAXPropertyMapV1"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXPropertyMapV2"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXPropertyMapV3"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXDescriptionHostV1") }));
	map.reset();
	EXPECT_EQ(take(), (Calls { Release("PropertyMap", "IAAXPropertyMapV3"),
	                           Release("PropertyMap", "IAAXPropertyMapV2"),
	                           Release("PropertyMap", "IAAXPropertyMapV1") }));
}

TEST_F(ProxyLifecycle, DescriptionHostKeepsNoReferenceToTheHostItself)
{
	std::optional<AAX_VDescriptionHost> descriptionHost;
	host.log().clear();
	descriptionHost.emplace(context->unknown());
	EXPECT_EQ(take(), (Calls { Query("HostContext", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("HostContext", "IACFUnknown", "IID_IACFDefinition") }));
	descriptionHost.reset();
	EXPECT_EQ(take(), (Calls { Release("Definition", "IACFDefinition"),
	                           Release("DescriptionHost", "IAAXDescriptionHostV1") }));
}

TEST_F(ProxyLifecycle, FeatureAndItsPropertiesKeepOnlyTheirOwnReferences)
{
	AAX_VDescriptionHost descriptionHost(context->unknown());
	host.log().clear();
	std::unique_ptr<AAX_IFeatureInfo> feature(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	ASSERT_NE(feature, nullptr);
	// The host's reference on the object it handed back is given back once the proxy holds its own.
	EXPECT_EQ(take(), (Calls { { "DescriptionHost", "IAAXDescriptionHostV1", 3, { "AAXATTR_ClientFeature_StemFormat", "<pointer>" } },
	                           Query("FeatureInfo", "IACFUnknown", "IID_IAAXFeatureInfoV1"),
	                           Release("FeatureInfo", "IACFUnknown") }));

	std::unique_ptr<AAX_IPropertyMap> properties(feature->AcquireProperties());
	ASSERT_NE(properties, nullptr);
	EXPECT_EQ(take(), (Calls { { "FeatureInfo", "IAAXFeatureInfoV1", 4, { "<pointer>" } },
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXPropertyMapV1"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXPropertyMapV2"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXPropertyMapV3"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Query("PropertyMap", "IACFUnknown", "IID_IAAXDescriptionHostV1"),
	                           Release("PropertyMap", "IACFUnknown") }));

	properties.reset();
	feature.reset();
	EXPECT_EQ(take(), (Calls { Release("PropertyMap", "IAAXPropertyMapV3"),
	                           Release("PropertyMap", "IAAXPropertyMapV2"),
	                           Release("PropertyMap", "IAAXPropertyMapV1"),
	                           Release("FeatureInfo", "IAAXFeatureInfoV1") }));
}

TEST_F(ProxyLifecycle, CollectionDeletesItsDescriptorsBeforeItsMapsAndReleasesItselfLast)
{
	std::optional<AAX_VCollection> collection;
	collection.emplace(context->unknown());
	collection->NewDescriptor();
	collection->NewPropertyMap();
	host.log().clear();
	collection.reset();
	EXPECT_EQ(take(), (Calls { Release("EffectDescriptor", "IAAXEffectDescriptorV2"),
	                           Release("EffectDescriptor", "IAAXEffectDescriptorV1"),
	                           kHostRelease,
	                           Release("DescriptionHost", "IAAXDescriptionHostV1"),
	                           Release("PropertyMap", "IAAXPropertyMapV3"),
	                           Release("PropertyMap", "IAAXPropertyMapV2"),
	                           Release("PropertyMap", "IAAXPropertyMapV1"),
	                           Release("Definition", "IACFDefinition"),
	                           Release("DescriptionHost", "IAAXDescriptionHostV1"),
	                           Release("Collection", "IAAXCollectionV1"),
	                           kHostRelease }));
}

TEST_F(ProxyLifecycle, EffectDescriptorDeletesItsComponentsBeforeItsMaps)
{
	std::optional<AAX_VEffectDescriptor> effect;
	effect.emplace(context->unknown());
	effect->NewComponentDescriptor();
	effect->NewPropertyMap();
	host.log().clear();
	effect.reset();
	EXPECT_EQ(take(), (Calls { Release("ComponentDescriptor", "IAAXComponentDescriptorV3"),
	                           Release("ComponentDescriptor", "IAAXComponentDescriptorV2"),
	                           Release("ComponentDescriptor", "IAAXComponentDescriptorV1"),
	                           kHostRelease,
	                           Release("DescriptionHost", "IAAXDescriptionHostV1"),
	                           Release("PropertyMap", "IAAXPropertyMapV3"),
	                           Release("PropertyMap", "IAAXPropertyMapV2"),
	                           Release("PropertyMap", "IAAXPropertyMapV1"),
	                           Release("EffectDescriptor", "IAAXEffectDescriptorV2"),
	                           Release("EffectDescriptor", "IAAXEffectDescriptorV1"),
	                           kHostRelease }));
}
} // namespace
