// CACFUnknown (reference counting, identity, live-object count), ACFPtr and identifier comparison.
#include "ACF/ACFPtr.h"
#include "ACF/CACFUnknown.h"
#include "ACF/acfuids.h"
#include "AAX_UIDs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// An interface of our own, to play the host-facing interface of an interface object.
ACF_DEFINE_UID(IID_TestInterface, 0x11223344, 0x5566, 0x7788, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00);

class ITestInterface : public IACFUnknown
{
public:
	virtual int32_t Value() = 0;

protected:
	~ITestInterface() = default;
};

// Built the way the effect-parameters and GUI objects are: host-facing interface first, CACFUnknown second.
class TestObject : public ITestInterface, public CACFUnknown
{
public:
	explicit TestObject(std::vector<std::string>* events) : mEvents(events) {}
	~TestObject() override
	{
		if (mEvents != nullptr)
			mEvents->push_back("destructor");
	}

	ACF_DELEGATE_UNKNOWN_TO_OUTER

	int32_t Value() override { return 42; }

	ACFRESULT InternalQueryInterface(const acfIID& interfaceID, void** out) override
	{
		if (out != nullptr && interfaceID == IID_TestInterface)
		{
			*out = static_cast<ITestInterface*>(this);
			static_cast<ITestInterface*>(this)->AddRef();
			return ACF_OK;
		}
		return CACFUnknown::InternalQueryInterface(interfaceID, out);
	}

	void FinalRelease() override
	{
		liveAtFinalRelease = GetActiveObjectCount();
		if (mEvents != nullptr)
			mEvents->push_back("FinalRelease");
	}

	static inline int32_t liveAtFinalRelease = -1;

private:
	std::vector<std::string>* mEvents;
};

TEST(InterfaceObject, CountsReferencesFromZero)
{
	const int32_t before = CACFUnknown::GetActiveObjectCount();
	auto* object = new TestObject(nullptr);
	EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);

	ITestInterface* asInterface = object;
	EXPECT_EQ(asInterface->AddRef(), 1u);
	EXPECT_EQ(asInterface->AddRef(), 2u);
	EXPECT_EQ(asInterface->Release(), 1u);
	EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);
	EXPECT_EQ(asInterface->Release(), 0u);
	EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(InterfaceObject, LastReleaseRunsFinalReleaseThenDestructorOnce)
{
	std::vector<std::string> events;
	const int32_t before = CACFUnknown::GetActiveObjectCount();
	ITestInterface* object = new TestObject(&events);
	object->AddRef();
	object->AddRef();
	object->Release();
	EXPECT_TRUE(events.empty());
	object->Release();
	EXPECT_EQ(events, (std::vector<std::string> { "FinalRelease", "destructor" }));
	// The live count falls only when the object is destroyed, after FinalRelease.
	EXPECT_EQ(TestObject::liveAtFinalRelease, before + 1);
	EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(InterfaceObject, UnknownIdentityIsTheInnerUnknown)
{
	ITestInterface* object = new TestObject(nullptr);
	object->AddRef();

	void* first = nullptr;
	void* second = nullptr;
	ASSERT_EQ(object->QueryInterface(IID_IACFUnknown, &first), ACF_OK);
	ASSERT_EQ(object->QueryInterface(IID_IACFUnknown, &second), ACF_OK);
	EXPECT_EQ(first, second);
	EXPECT_NE(first, static_cast<void*>(object));

	// The identity counts on the same object: two references taken, one of ours.
	auto* identity = static_cast<IACFUnknown*>(first);
	EXPECT_EQ(identity->AddRef(), 4u);
	EXPECT_EQ(identity->Release(), 3u);

	// Asking the identity gives the object's own interfaces.
	void* viaIdentity = nullptr;
	ASSERT_EQ(identity->QueryInterface(IID_TestInterface, &viaIdentity), ACF_OK);
	EXPECT_EQ(viaIdentity, static_cast<void*>(object));
	EXPECT_EQ(static_cast<ITestInterface*>(viaIdentity)->Value(), 42);

	EXPECT_EQ(object->Release(), 3u);
	EXPECT_EQ(identity->Release(), 2u);
	EXPECT_EQ(identity->Release(), 1u);
	EXPECT_EQ(object->Release(), 0u);
}

TEST(InterfaceObject, RefusesIdentifiersDifferingInOneByte)
{
	ITestInterface* object = new TestObject(nullptr);
	object->AddRef();

	std::vector<_acfUID> nearMisses;
	for (const _acfUID& answered : { IID_IACFUnknown, IID_TestInterface })
		for (size_t byte = 0; byte < sizeof(_acfUID); ++byte)
		{
			_acfUID changed = answered;
			reinterpret_cast<unsigned char*>(&changed)[byte] ^= 0x01;
			nearMisses.push_back(changed);
		}
	nearMisses.push_back(IID_IAAXEffectParametersV1);
	nearMisses.push_back(IID_IACFComponentFactory);

	for (const _acfUID& identifier : nearMisses)
	{
		void* out = reinterpret_cast<void*>(0x1234);
		EXPECT_EQ(object->QueryInterface(identifier, &out), static_cast<ACFRESULT>(0x80000004));
		EXPECT_EQ(out, nullptr);
	}
	// The count did not move.
	EXPECT_EQ(object->AddRef(), 2u);
	object->Release();
	EXPECT_EQ(object->Release(), 0u);
}

TEST(InterfaceObject, NullOutArgumentIsRefused)
{
	ITestInterface* object = new TestObject(nullptr);
	object->AddRef();
	EXPECT_EQ(object->QueryInterface(IID_IACFUnknown, nullptr), static_cast<ACFRESULT>(0x80000004));
	EXPECT_EQ(object->Release(), 0u);
}

TEST(InterfaceObject, InitializeInstanceAnswersZero)
{
	TestObject* object = new TestObject(nullptr);
	static_cast<ITestInterface*>(object)->AddRef();
	EXPECT_EQ(object->InitializeInstance(nullptr), ACF_OK);
	EXPECT_EQ(object->InitializeInstance(static_cast<ITestInterface*>(object)), ACF_OK);
	static_cast<ITestInterface*>(object)->Release();
}

// A stand-in for a host interface that only counts.
class CountingUnknown : public IACFUnknown
{
public:
	ACFRESULT QueryInterface(const acfIID& interfaceID, void** out) override
	{
		if (interfaceID != IID_IACFUnknown)
		{
			*out = nullptr;
			return ACF_E_NOINTERFACE;
		}
		*out = this;
		AddRef();
		return ACF_OK;
	}
	acfUInt32 AddRef() override { return ++count; }
	acfUInt32 Release() override
	{
		++releases;
		return --count;
	}

	acfUInt32 count = 0;
	int releases = 0;
};

TEST(InterfaceHolder, RawPointerTakesAReferenceAndDestructionReleasesIt)
{
	CountingUnknown host;
	{
		ACFPtr<IACFUnknown> holder(&host);
		EXPECT_EQ(host.count, 1u);
		ACFPtr<IACFUnknown> copy(holder);
		EXPECT_EQ(host.count, 2u);
	}
	EXPECT_EQ(host.count, 0u);
	EXPECT_EQ(host.releases, 2);
}

TEST(InterfaceHolder, RefillingReleasesTheOldReferenceFirst)
{
	CountingUnknown first;
	CountingUnknown second;
	ACFPtr<IACFUnknown> holder;
	ASSERT_EQ(first.QueryInterface(IID_IACFUnknown, holder.outArgument()), ACF_OK);
	EXPECT_EQ(holder.get(), &first);
	EXPECT_EQ(first.count, 1u);

	// Using the holder as out argument again drops the reference before the new one is written.
	void** slot = holder.outArgument();
	EXPECT_EQ(first.count, 0u);
	EXPECT_EQ(*slot, nullptr);
	ASSERT_EQ(second.QueryInterface(IID_IACFUnknown, slot), ACF_OK);
	EXPECT_EQ(holder.get(), &second);
	EXPECT_EQ(second.count, 1u);

	// A refused query leaves the holder empty, and nothing was kept of the earlier reference.
	ASSERT_EQ(second.QueryInterface(IID_IACFComponentFactory, holder.outArgument()), ACF_E_NOINTERFACE);
	EXPECT_TRUE(holder.isNull());
	EXPECT_EQ(second.count, 0u);
}

TEST(InterfaceHolder, EmptyHolderCallsNothing)
{
	CountingUnknown host;
	{
		ACFPtr<IACFUnknown> empty;
		ACFPtr<IACFUnknown> reset(&host);
		reset.reset();
		EXPECT_EQ(host.releases, 1);
		reset.reset();
	}
	EXPECT_EQ(host.releases, 1);
}

TEST(InterfaceHolder, CallingThroughAnEmptyHolderThrowsTheInteger)
{
	ACFPtr<IACFUnknown> empty;
	try
	{
		empty->AddRef();
		FAIL() << "no exception";
	}
	catch (ACFRESULT thrown)
	{
		EXPECT_EQ(static_cast<uint32_t>(thrown), 0x80000005u);
	}
}

TEST(InterfaceHolder, AssignmentTransfersAndMoveDoesNotCount)
{
	CountingUnknown a;
	CountingUnknown b;
	ACFPtr<IACFUnknown> holder(&a);
	holder = &b;
	EXPECT_EQ(a.count, 0u);
	EXPECT_EQ(b.count, 1u);
	holder = holder.get(); // assigning what it holds keeps the one reference
	EXPECT_EQ(b.count, 1u);

	ACFPtr<IACFUnknown> moved(std::move(holder));
	EXPECT_EQ(b.count, 1u);
	EXPECT_TRUE(holder.isNull());

	IACFUnknown* detached = moved.detach();
	EXPECT_EQ(b.count, 1u);
	moved.attach(detached);
	EXPECT_EQ(b.count, 1u);
	moved.reset();
	EXPECT_EQ(b.count, 0u);
}

TEST(Identifiers, EqualOnlyWhenAllSixteenBytesAgree)
{
	const _acfUID base = IID_IAAXHostServicesV1;
	EXPECT_TRUE(base == IID_IAAXHostServicesV1);
	for (size_t byte = 0; byte < sizeof(_acfUID); ++byte)
	{
		_acfUID changed = base;
		reinterpret_cast<unsigned char*>(&changed)[byte] ^= 0x80;
		EXPECT_FALSE(changed == base) << byte;
		EXPECT_TRUE(changed != base) << byte;
	}
}

TEST(Identifiers, LayoutIsTheSixteenBytesInFieldOrder)
{
	static_assert(sizeof(_acfUID) == 16);
	// 96D42C2D-EBBC-41EF-B0AB-9991A0ED0CCA, integers in the processor's (little-endian) order.
	const unsigned char expected[16] = { 0x2D, 0x2C, 0xD4, 0x96, 0xBC, 0xEB, 0xEF, 0x41,
		                                 0xB0, 0xAB, 0x99, 0x91, 0xA0, 0xED, 0x0C, 0xCA };
	EXPECT_EQ(std::memcmp(&IID_IAAXHostServicesV1, expected, 16), 0);
}

TEST(Identifiers, AllTableIdentifiersAreDistinct)
{
	const _acfUID all[] = {
		IID_IACFUnknown, IID_IACFDefinition, IID_IACFPluginDefinition, IID_IACFComponentFactory,
		AAXCompID_HostServices, IID_IAAXHostServicesV1, IID_IAAXHostServicesV2, IID_IAAXHostServicesV3,
		AAXCompID_AAXCollection, IID_IAAXCollectionV1, AAXCompID_AAXEffectDescriptor, IID_IAAXEffectDescriptorV1,
		IID_IAAXEffectDescriptorV2, AAXCompID_AAXComponentDescriptor, IID_IAAXComponentDescriptorV1,
		IID_IAAXComponentDescriptorV2, IID_IAAXComponentDescriptorV3, AAXCompID_AAXPropertyMap,
		IID_IAAXPropertyMapV1, IID_IAAXPropertyMapV2, IID_IAAXPropertyMapV3, IID_IAAXDescriptionHostV1,
		IID_IAAXFeatureInfoV1, AAXATTR_ClientFeature_StemFormat, IID_IAAXAutomationDelegateV1, IID_IAAXControllerV1,
		IID_IAAXControllerV2, IID_IAAXControllerV3, IID_IAAXPageTableController, IID_IAAXPageTableControllerV2,
		AAXCompID_PageTable, IID_IAAXPageTableV1, IID_IAAXPageTableV2, IID_IAAXViewContainerV1,
		IID_IAAXViewContainerV2, IID_IAAXTransportV1, IID_IAAXTransportV2, IID_IAAXTransportV3,
		IID_IAAXEffectParametersV1, IID_IAAXEffectParametersV2, IID_IAAXEffectParametersV3,
		IID_IAAXEffectParametersV4, IID_IAAXEffectGUIV1,
	};
	static_assert(sizeof(all) / sizeof(all[0]) == 43);
	for (size_t i = 0; i < 43; ++i)
		for (size_t j = i + 1; j < 43; ++j)
			EXPECT_TRUE(all[i] != all[j]) << i << " " << j;
}
} // namespace
