// Property-map proxies: pointer properties kept locally for older hosts, the stem-format rule,
// duplication, and which host interface a map stands for.

#include "RegistrationTestSupport.h"

#include "AAX_UIDs.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "HostPropertyMap.h"

#include <memory>

namespace
{
const char kValueA[] = "a";
const char kValueB[] = "b";

AAX_EProperty P(int32_t number)
{
	return static_cast<AAX_EProperty>(number);
}

class PropertyMapWithoutVersion3 : public DescriptionTest
{
protected:
	void SetUp() override
	{
		DescriptionTest::SetUp();
		host.configuration().refuseInterface(IID_IAAXPropertyMapV3);
		map.reset(AAX_VPropertyMap::Create(context->unknown()));
		ASSERT_NE(map, nullptr);
	}
	void TearDown() override
	{
		map.reset();
		DescriptionTest::TearDown();
	}
	std::unique_ptr<AAX_IPropertyMap> map;
};

TEST_F(PropertyMapWithoutVersion3, KeepsTheProcedurePropertiesItself)
{
	host.log().clear();
	EXPECT_EQ(map->AddPointerProperty(P(41), static_cast<const void*>(kValueA)), 0);
	const void* value = nullptr;
	EXPECT_NE(map->GetPointerProperty(P(41), &value), 0);
	EXPECT_EQ(value, kValueA);

	EXPECT_EQ(map->AddPointerProperty(P(41), kValueB), 0); // the text form, replacing the earlier value
	EXPECT_NE(map->GetPointerProperty(P(41), &value), 0);
	EXPECT_EQ(value, kValueB);

	EXPECT_EQ(map->AddPointerProperty(P(36), static_cast<const void*>(kValueA)), 0);
	EXPECT_EQ(map->AddPointerProperty(P(42), static_cast<const void*>(kValueA)), 0);
	EXPECT_EQ(host.log().all(), std::vector<HostCall>()); // never sent to the host
}

TEST_F(PropertyMapWithoutVersion3, RefusesOtherPointerProperties)
{
	EXPECT_EQ(map->AddPointerProperty(P(43), static_cast<const void*>(kValueA)), AAX_ERROR_UNIMPLEMENTED);
	EXPECT_EQ(map->AddPointerProperty(P(35), static_cast<const void*>(kValueA)), AAX_ERROR_UNIMPLEMENTED);
	const void* value = kValueB;
	EXPECT_EQ(map->GetPointerProperty(P(43), &value), 0);
	EXPECT_EQ(value, kValueB); // untouched
	EXPECT_EQ(map->GetPointerProperty(P(41), nullptr), 0);
}

TEST_F(PropertyMapWithoutVersion3, RemovingLeavesTheLocalPointersAlone)
{
	map->AddPointerProperty(P(37), static_cast<const void*>(kValueA));
	EXPECT_EQ(map->RemoveProperty(P(37)), 0);
	const void* value = nullptr;
	EXPECT_NE(map->GetPointerProperty(P(37), &value), 0);
	EXPECT_EQ(value, kValueA);
}

TEST(PointerPropertiesUsedByAddProcessProc, AreTheSevenProcedureProperties)
{
	const std::set<AAX_EProperty>& properties = AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc();
	EXPECT_EQ(properties, (std::set<AAX_EProperty> { P(36), P(37), P(38), P(39), P(40), P(41), P(42) }));
	EXPECT_EQ(&properties, &AAX_VComponentDescriptor::PointerPropertiesUsedByAddProcessProc());
}

// The stem-format rule: which values a map without a description host sends on.
struct StemFormatCase
{
	const char* name;
	int32_t property;
	uint32_t value;
	bool reachesHost;
};

void PrintTo(const StemFormatCase& stemCase, std::ostream* stream)
{
	*stream << stemCase.name;
}

const StemFormatCase kStemFormatCases[] = {
	{ "InputFirstRefusedValue", 51, 0x000D0000u, false },
	{ "OutputFirstRefusedValue", 52, 0x000D0000u, false },
	{ "InputHighValue", 51, 0x7FFFFFFFu, false },
	{ "OutputNegativeValue", 52, 0x80000000u, false },
	{ "InputLastAcceptedValue", 51, 0x000CFFFFu, true },
	{ "InputZero", 51, 0u, true },
	{ "OutputNone", 52, 0xFFFF0000u, true },
	{ "OutputAny", 52, 0xFF9C0000u, true },
	{ "InputNone", 51, 0xFFFF0000u, true },
	{ "OtherPropertyHighValue", 53, 0x000D0000u, true },
	{ "PropertyBelowHighValue", 50, 0x000D0000u, true },
};

class StemFormatRule : public DescriptionTest, public ::testing::WithParamInterface<StemFormatCase>
{
};

TEST_P(StemFormatRule, WithoutADescriptionHost)
{
	const StemFormatCase& stemCase = GetParam();
	host.configuration().refuseInterface(IID_IAAXDescriptionHostV1);
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	host.log().clear();

	const AAX_Result result = map->AddProperty(P(stemCase.property), static_cast<AAX_CPropertyValue>(stemCase.value));
	EXPECT_EQ(result, stemCase.reachesHost ? 0 : AAX_ERROR_PROPERTY_UNDEFINED);
	EXPECT_EQ(MethodCallsTo(host, "PropertyMap").size(), stemCase.reachesHost ? 1u : 0u);
}

TEST_P(StemFormatRule, WithADescriptionHostEveryValueReachesTheHost)
{
	const StemFormatCase& stemCase = GetParam();
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	host.log().clear();

	EXPECT_EQ(map->AddProperty(P(stemCase.property), static_cast<AAX_CPropertyValue>(stemCase.value)), 0);
	EXPECT_EQ(MethodCallsTo(host, "PropertyMap"),
	          (std::vector<HostCall> { { "PropertyMap", "IAAXPropertyMapV1", 4,
	                                     { std::to_string(stemCase.property),
	                                       std::to_string(static_cast<int32_t>(stemCase.value)) } } }));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, StemFormatRule, ::testing::ValuesIn(kStemFormatCases),
                         [](const ::testing::TestParamInfo<StemFormatCase>& info) { return std::string(info.param.name); });

using DuplicatePropertyMap = DescriptionTest;

TEST_F(DuplicatePropertyMap, CopiesTenToFourHundredOneAndPrefersIntegers)
{
	AAX_VComponentDescriptor component(context->unknown());
	AAX_IPropertyMap* const source = component.NewPropertyMap();
	for (const int32_t number : { 9, 10, 200, 401, 402 })
		ASSERT_EQ(source->AddProperty(P(number), number * 3), 0);
	for (const int32_t number : { 8, 11, 200, 400, 403 })
		ASSERT_EQ(source->AddPointerProperty(P(number), static_cast<const void*>(kValueA)), 0);

	AAX_IPropertyMap* const copy = component.DuplicatePropertyMap(source);
	ASSERT_NE(copy, nullptr);
	ASSERT_NE(copy, source);
	const HostPropertyMap* const hostCopy = hostObjectBehind<HostPropertyMap>(host, copy->GetIUnknown());
	ASSERT_NE(hostCopy, nullptr);
	EXPECT_EQ(hostCopy->properties(),
	          (std::map<AAX_EProperty, AAX_CPropertyValue> { { P(10), 30 }, { P(200), 600 }, { P(401), 1203 } }));
	EXPECT_EQ(hostCopy->pointerProperties(),
	          (std::map<AAX_EProperty, const void*> { { P(11), kValueA }, { P(400), kValueA } }));
}

TEST_F(DuplicatePropertyMap, CopiesLocallyKeptPointersIntoTheCopysOwnStore)
{
	host.configuration().refuseInterface(IID_IAAXPropertyMapV3);
	AAX_VComponentDescriptor component(context->unknown());
	AAX_IPropertyMap* const source = component.NewPropertyMap();
	source->AddPointerProperty(P(38), static_cast<const void*>(kValueB));
	AAX_IPropertyMap* const copy = component.DuplicatePropertyMap(source);
	ASSERT_NE(copy, nullptr);
	const void* value = nullptr;
	EXPECT_NE(copy->GetPointerProperty(P(38), &value), 0);
	EXPECT_EQ(value, kValueB);
}

TEST_F(DuplicatePropertyMap, NothingWithoutAHostMapOrASource)
{
	AAX_VComponentDescriptor component(context->unknown());
	AAX_IPropertyMap* const source = component.NewPropertyMap();
	EXPECT_EQ(component.DuplicatePropertyMap(nullptr), nullptr);

	AAX_VComponentDescriptor detached(nullptr);
	EXPECT_EQ(detached.DuplicatePropertyMap(source), nullptr);
}

using PropertyMapProxy = DescriptionTest;

TEST_F(PropertyMapProxy, StandsForTheNewestHostVersion)
{
	host.configuration().refuseInterface(IID_IAAXPropertyMapV3);
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	HostPropertyMap* const hostMap = host.objectsOfType<HostPropertyMap>().front();
	void* version2 = nullptr;
	ASSERT_EQ(hostMap->queryInterface(IID_IAAXPropertyMapV2, &version2), 0);
	EXPECT_EQ(map->GetIUnknown(), static_cast<IACFUnknown*>(static_cast<AAX_IACFPropertyMap_V2*>(version2)));
	hostMap->releaseReference();
}

TEST_F(PropertyMapProxy, AnswersReachTheCallersOutArguments)
{
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Create(context->unknown()));
	const AAX_SPlugInIdentifierTriad triads[] = { { 'Manu', 'Prod', 'Plg1' }, { 'Manu', 'Prod', 'Plg2' } };
	ASSERT_EQ(map->AddPropertyWithIDArray(P(21), triads, 2), 0);
	ASSERT_EQ(map->AddProperty(P(20), -5), 0);
	ASSERT_EQ(map->AddPointerProperty(P(30), static_cast<const void*>(kValueA)), 0);

	const AAX_SPlugInIdentifierTriad* readTriads = nullptr;
	uint32_t count = 0;
	EXPECT_NE(map->GetPropertyWithIDArray(P(21), &readTriads, &count), 0);
	ASSERT_EQ(count, 2u);
	ASSERT_NE(readTriads, nullptr);
	EXPECT_EQ(readTriads[1].mPlugInID, static_cast<AAX_CTypeID>('Plg2'));
	AAX_CPropertyValue value = 0;
	EXPECT_NE(map->GetProperty(P(20), &value), 0);
	EXPECT_EQ(value, -5);
	const void* pointer = nullptr;
	EXPECT_NE(map->GetPointerProperty(P(30), &pointer), 0);
	EXPECT_EQ(pointer, kValueA);

	// The text form goes the same way as the pointer form.
	EXPECT_EQ(map->AddPointerProperty(P(31), kValueB), 0);
	EXPECT_EQ(hostObjectBehind<HostPropertyMap>(host, map->GetIUnknown())->pointerProperty(P(31)), kValueB);
}

TEST_F(PropertyMapProxy, NoMapWithoutHostOrFactory)
{
	EXPECT_EQ(AAX_VPropertyMap::Create(nullptr), nullptr);
	host.configuration().refuseInterface(IID_IACFComponentFactory);
	EXPECT_EQ(AAX_VPropertyMap::Create(context->unknown()), nullptr);
}

TEST_F(PropertyMapProxy, AnEmptyFactoryAnswerGivesAMapWithoutHostInterfaces)
{
	AAX_VPropertyMap map;
	map.InitWithFactory(nullptr, context->unknown());
	EXPECT_EQ(map.GetIUnknown(), nullptr);
	AAX_CPropertyValue value = 0;
	EXPECT_EQ(map.GetProperty(P(20), &value), 0);
	EXPECT_EQ(map.AddProperty(P(20), 1), AAX_ERROR_NULL_OBJECT);
	// The stem-format rule is applied before the missing map is noticed.
	EXPECT_EQ(map.AddProperty(P(51), 0x000D0000), AAX_ERROR_PROPERTY_UNDEFINED);
}

TEST_F(PropertyMapProxy, AcquireWrapsAHostMapAndTakesItsOwnReferences)
{
	HostRef<HostPropertyMap> hostMap = makeHostObject<HostPropertyMap>(host);
	hostMap->setProperty(P(77), 5);
	std::unique_ptr<AAX_IPropertyMap> map(AAX_VPropertyMap::Acquire(hostMap->unknown()));
	ASSERT_NE(map, nullptr);
	EXPECT_EQ(hostMap->referenceCount(), 4u); // ours and V1, V2, V3 of the proxy
	AAX_CPropertyValue value = 0;
	EXPECT_NE(map->GetProperty(P(77), &value), 0);
	EXPECT_EQ(value, 5);
	map.reset();
	EXPECT_EQ(hostMap->referenceCount(), 1u);

	std::unique_ptr<AAX_IPropertyMap> empty(AAX_VPropertyMap::Acquire(nullptr));
	ASSERT_NE(empty, nullptr);
	EXPECT_EQ(empty->GetIUnknown(), nullptr);
}
} // namespace
