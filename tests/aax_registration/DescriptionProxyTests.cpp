// Construction, ownership and lookups of the collection, effect-descriptor, description-host and
// feature-information proxies.

#include "RegistrationTestSupport.h"

#include "AAX_IEffectDescriptor.h"
#include "AAX_IPropertyMap.h"
#include "AAX_UIDs.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VDescriptionHost.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VFeatureInfo.h"
#include "HostComponentDescriptor.h"
#include "HostDefinition.h"
#include "HostDescriptionHost.h"
#include "HostEffectDescriptor.h"
#include "HostFeatureInfo.h"
#include "HostPropertyMap.h"

#include <cstring>
#include <memory>

namespace
{
template <class T>
size_t LiveCount(const HostEnvironment& host)
{
	return host.objectsOfType<T>().size();
}

using CollectionProxy = DescriptionTest;

TEST_F(CollectionProxy, WithoutAComponentFactoryEveryCallSaysNullObject)
{
	host.configuration().refuseInterface(IID_IACFComponentFactory);
	AAX_VCollection collection(context->unknown());

	EXPECT_EQ(collection.GetIUnknown(), nullptr);
	AAX_IEffectDescriptor* const descriptor = collection.NewDescriptor();
	ASSERT_NE(descriptor, nullptr); // a proxy without a host object
	EXPECT_EQ(collection.AddEffect("id", descriptor), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(collection.SetManufacturerName("Maker"), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(collection.AddPackageName("Package"), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(collection.SetPackageVersion(1), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(collection.SetProperties(nullptr), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(collection.NewPropertyMap(), nullptr);
	EXPECT_EQ(descriptor->AddName("Name"), AAX_ERROR_NULL_OBJECT);
}

TEST_F(CollectionProxy, ANullHostLeavesEveryCallUnanswered)
{
	AAX_VCollection collection(nullptr);
	EXPECT_EQ(collection.GetIUnknown(), nullptr);
	EXPECT_EQ(collection.DescriptionHost(), nullptr);
	EXPECT_EQ(collection.HostDefinition(), nullptr);
	EXPECT_EQ(collection.SetManufacturerName("Maker"), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(collection.NewPropertyMap(), nullptr);
}

TEST_F(CollectionProxy, RefusesANullEffectWithoutCallingTheHost)
{
	AAX_VCollection collection(context->unknown());
	host.log().clear();
	EXPECT_EQ(collection.AddEffect("id", nullptr), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(host.log().all(), std::vector<HostCall>());
}

// A descriptor the collection did not make has no host object to pass on.
class ForeignDescriptor : public AAX_IEffectDescriptor
{
public:
	AAX_IComponentDescriptor* NewComponentDescriptor() override { return nullptr; }
	AAX_Result AddComponent(AAX_IComponentDescriptor*) override { return 0; }
	AAX_Result AddName(const char*) override { return 0; }
	AAX_Result AddCategory(uint32_t) override { return 0; }
	AAX_Result AddCategoryBypassParameter(uint32_t, AAX_CParamID) override { return 0; }
	AAX_Result AddProcPtr(void*, AAX_CProcPtrID) override { return 0; }
	AAX_IPropertyMap* NewPropertyMap() override { return nullptr; }
	AAX_Result SetProperties(AAX_IPropertyMap*) override { return 0; }
	AAX_Result AddResourceInfo(AAX_EResourceType, const char*) override { return 0; }
	AAX_Result AddMeterDescription(AAX_CTypeID, const char*, AAX_IPropertyMap*) override { return 0; }
	AAX_Result AddControlMIDINode(AAX_CTypeID, AAX_EMIDINodeType, const char*, uint32_t) override { return 0; }
};

TEST_F(CollectionProxy, RefusesADescriptorItDidNotMake)
{
	AAX_VCollection collection(context->unknown());
	ForeignDescriptor foreign;
	host.log().clear();
	EXPECT_EQ(collection.AddEffect("id", &foreign), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(host.log().all(), std::vector<HostCall>());
}

TEST_F(CollectionProxy, OwnsEverythingItsDescriptorsMade)
{
	{
		AAX_VCollection collection(context->unknown());
		for (int i = 0; i < 3; ++i)
		{
			AAX_IEffectDescriptor* const descriptor = collection.NewDescriptor();
			ASSERT_NE(descriptor, nullptr);
			AAX_IComponentDescriptor* const component = descriptor->NewComponentDescriptor();
			ASSERT_NE(component, nullptr);
			ASSERT_NE(component->NewPropertyMap(), nullptr);
			ASSERT_NE(descriptor->NewPropertyMap(), nullptr);
		}
		ASSERT_NE(collection.NewPropertyMap(), nullptr);
		EXPECT_EQ(LiveCount<HostEffectDescriptor>(host), 3u);
		EXPECT_EQ(LiveCount<HostComponentDescriptor>(host), 3u);
		EXPECT_EQ(LiveCount<HostPropertyMap>(host), 7u);
	}
	EXPECT_EQ(LiveCount<HostEffectDescriptor>(host), 0u);
	EXPECT_EQ(LiveCount<HostComponentDescriptor>(host), 0u);
	EXPECT_EQ(LiveCount<HostPropertyMap>(host), 0u);
	EXPECT_EQ(context->referenceCount(), 1u); // every proxy's reference to the host is back
}

TEST_F(CollectionProxy, DescriptionHostAndDefinitionWhenTheHostOffersThem)
{
	AAX_VCollection collection(context->unknown());
	ASSERT_NE(collection.DescriptionHost(), nullptr);
	const AAX_VCollection& constCollection = collection;
	EXPECT_EQ(constCollection.DescriptionHost(), collection.DescriptionHost());
	auto* const definition = context->component<HostDefinition>(HostDefinition::kName);
	EXPECT_TRUE(definition->hasInterface(collection.HostDefinition()));
}

TEST_F(CollectionProxy, NoDescriptionHostAndNoDefinitionWhenTheHostLacksThem)
{
	host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
	host.configuration().refuseInterface(IID_IACFDefinition);
	AAX_VCollection collection(context->unknown());
	EXPECT_EQ(collection.DescriptionHost(), nullptr);
	EXPECT_EQ(static_cast<const AAX_VCollection&>(collection).DescriptionHost(), nullptr);
	EXPECT_EQ(collection.HostDefinition(), nullptr);
}

TEST_F(CollectionProxy, DescriptionHostAndDefinitionAreFoundIndependently)
{
	host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
	{
		AAX_VCollection collection(context->unknown());
		EXPECT_EQ(collection.DescriptionHost(), nullptr);
		EXPECT_NE(collection.HostDefinition(), nullptr);
	}
	host.configuration().offerInterface(IID_IAAXDescriptionHostV1);
	host.configuration().refuseInterface(IID_IACFDefinition);
	AAX_VCollection collection(context->unknown());
	EXPECT_NE(collection.DescriptionHost(), nullptr);
	EXPECT_EQ(collection.HostDefinition(), nullptr);
}

TEST_F(CollectionProxy, AFactoryThatAnswersNothingMakesTheProxiesThrow)
{
	host.configuration().answerEmpty(IID_IACFComponentFactory);
	EXPECT_THROW(AAX_VCollection collection(context->unknown()), ACFRESULT);
	EXPECT_THROW(AAX_VEffectDescriptor effect(context->unknown()), ACFRESULT);
	EXPECT_THROW(AAX_VComponentDescriptor component(context->unknown()), ACFRESULT);
	try
	{
		AAX_VCollection collection(context->unknown());
	}
	catch (ACFRESULT thrown)
	{
		EXPECT_EQ(thrown, static_cast<ACFRESULT>(0x80000005));
	}
	EXPECT_EQ(context->referenceCount(), 1u); // released again while unwinding
}

TEST_F(CollectionProxy, AFactoryThatFailsLaterLeavesNothingHalfMade)
{
	{
		AAX_VCollection collection(context->unknown());
		AAX_IEffectDescriptor* const effect = collection.NewDescriptor();
		ASSERT_NE(effect, nullptr);
		host.configuration().answerEmpty(IID_IACFComponentFactory);

		EXPECT_THROW(collection.NewDescriptor(), ACFRESULT);
		EXPECT_THROW(effect->NewComponentDescriptor(), ACFRESULT);
		// A map made without a factory is a map without host interfaces, not a failure.
		AAX_IPropertyMap* const map = collection.NewPropertyMap();
		ASSERT_NE(map, nullptr);
		EXPECT_EQ(map->GetIUnknown(), nullptr);
	}
	// Whatever the failed constructions had taken is given back; the collection deleted only what it made.
	EXPECT_EQ(context->referenceCount(), 1u);
	EXPECT_EQ(LiveCount<HostEffectDescriptor>(host), 0u);
}

using EffectDescriptorProxy = DescriptionTest;

TEST_F(EffectDescriptorProxy, PassesANullComponentOnAsNull)
{
	AAX_VEffectDescriptor effect(context->unknown());
	host.log().clear();
	effect.AddComponent(nullptr);
	EXPECT_EQ(MethodCallsTo(host, "EffectDescriptor"),
	          (std::vector<HostCall> { { "EffectDescriptor", "IAAXEffectDescriptorV1", 3, { "<null>" } } }));
}

TEST_F(EffectDescriptorProxy, AddsTheComponentItMadeToTheHostDescriptor)
{
	AAX_VEffectDescriptor effect(context->unknown());
	AAX_IComponentDescriptor* const component = effect.NewComponentDescriptor();
	ASSERT_EQ(effect.AddComponent(component), 0);
	auto* const hostEffect = hostObjectBehind<HostEffectDescriptor>(host, effect.GetIUnknown());
	ASSERT_NE(hostEffect, nullptr);
	ASSERT_EQ(hostEffect->components().size(), 1u);
	EXPECT_TRUE(hostEffect->components()[0]->hasInterface(static_cast<AAX_VComponentDescriptor*>(component)->GetIUnknown()));
}

using FeatureInfoProxy = DescriptionTest;

TEST_F(FeatureInfoProxy, WrapsTheHostFeatureAndItsProperties)
{
	AAX_VDescriptionHost descriptionHost(context->unknown());
	std::unique_ptr<AAX_IFeatureInfo> feature(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	ASSERT_NE(feature, nullptr);
	EXPECT_EQ(std::memcmp(&feature->ID(), &AAXATTR_ClientFeature_StemFormat, sizeof(_acfUID)), 0);
	AAX_ESupportLevel level {};
	EXPECT_EQ(feature->SupportLevel(level), 0);
	EXPECT_EQ(level, AAX_eSupportLevel_ByProperty);

	std::unique_ptr<AAX_IPropertyMap> formats(feature->AcquireProperties());
	ASSERT_NE(formats, nullptr);
	AAX_CPropertyValue mono = 0;
	EXPECT_NE(formats->GetProperty(static_cast<AAX_EProperty>(AAX_eStemFormat_Mono), &mono), 0);
	EXPECT_EQ(mono, AAX_eSupportLevel_Supported);
	// The proxies hold the only references: the host's reference on what it handed back was released.
	EXPECT_EQ(hostObjectBehind<HostPropertyMap>(host, formats->GetIUnknown())->referenceCount(), 3u); // V1, V2, V3
	EXPECT_EQ(host.objectsOfType<HostFeatureInfo>().front()->referenceCount(), 1u);
}

TEST_F(FeatureInfoProxy, NothingWhenTheHostFailsOrKnowsNoSuchFeature)
{
	AAX_VDescriptionHost descriptionHost(context->unknown());
	const _acfUID unknownFeature = { 0x12345678, 1, 2, { 3, 4, 5, 6, 7, 8, 9, 10 } };
	EXPECT_EQ(descriptionHost.AcquireFeatureProperties(unknownFeature), nullptr);

	host.configuration().injectResult(HostDescriptionHost::kName, 3, AAX_ERROR_UNIMPLEMENTED);
	EXPECT_EQ(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat), nullptr);
	EXPECT_EQ(LiveCount<HostFeatureInfo>(host), 0u);
}

TEST_F(FeatureInfoProxy, NoPropertiesWhenTheHostFailsOrHasNone)
{
	context->component<HostDescriptionHost>(HostDescriptionHost::kName)
	    ->setFeature(AAXATTR_ClientFeature_StemFormat, { AAX_eSupportLevel_Supported, std::nullopt });
	AAX_VDescriptionHost descriptionHost(context->unknown());
	std::unique_ptr<AAX_IFeatureInfo> feature(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	ASSERT_NE(feature, nullptr);
	EXPECT_EQ(feature->AcquireProperties(), nullptr);

	context->component<HostDescriptionHost>(HostDescriptionHost::kName)
	    ->setFeature(AAXATTR_ClientFeature_StemFormat, { AAX_eSupportLevel_ByProperty, std::map<AAX_EProperty, AAX_CPropertyValue> {} });
	std::unique_ptr<AAX_IFeatureInfo> second(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	ASSERT_NE(second, nullptr);
	host.configuration().injectResult(HostFeatureInfo::kName, 4, AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(second->AcquireProperties(), nullptr);
	EXPECT_EQ(LiveCount<HostPropertyMap>(host), 0u);
}

TEST_F(FeatureInfoProxy, AFeatureObjectWithoutTheInterfaceAnswersNullObject)
{
	host.configuration().refuseInterface(IID_IAAXFeatureInfoV1);
	AAX_VDescriptionHost descriptionHost(context->unknown());
	std::unique_ptr<AAX_IFeatureInfo> feature(descriptionHost.AcquireFeatureProperties(AAXATTR_ClientFeature_StemFormat));
	ASSERT_NE(feature, nullptr);
	AAX_ESupportLevel level = AAX_eSupportLevel_Disabled;
	EXPECT_EQ(feature->SupportLevel(level), AAX_ERROR_NULL_OBJECT);
	EXPECT_EQ(level, AAX_eSupportLevel_Disabled);
	EXPECT_EQ(feature->AcquireProperties(), nullptr);
}
} // namespace
