// The host calls its interfaces by method number, and the plug-in's client calls the library's
// description interfaces through their tables: both orders are fixed. These checks pin every slot.

#include "AAX_IACFCollection.h"
#include "AAX_IACFComponentDescriptor.h"
#include "AAX_IACFDescriptionHost.h"
#include "AAX_IACFEffectDescriptor.h"
#include "AAX_IACFFeatureInfo.h"
#include "AAX_IACFPropertyMap.h"
#include "AAX_ICollection.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IDescriptionHost.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_IFeatureInfo.h"
#include "AAX_IPropertyMap.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#if !defined(__GXX_ABI_VERSION)
#error "These checks read Itanium C++ ABI pointers to member functions"
#endif

namespace
{
// Under the Itanium C++ ABI a pointer to a virtual member function holds 1 + the byte offset of its entry
// in the table of functions.
template <typename MemberFunction>
long Slot(MemberFunction function)
{
	static_assert(sizeof(MemberFunction) == 2 * sizeof(void*), "not a pointer to member function");
	std::ptrdiff_t encoded = 0;
	std::memcpy(&encoded, &function, sizeof encoded);
	if ((encoded & 1) == 0)
		return -1;
	return static_cast<long>((encoded - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

// The plug-in's interfaces begin with their virtual destructor, which takes two entries.
constexpr long kFirstOperation = 2;

TEST(HostMethodNumbers, Collection)
{
	using C = AAX_IACFCollection;
	EXPECT_EQ(Slot(&C::QueryInterface), 0);
	EXPECT_EQ(Slot(&C::Release), 2);
	EXPECT_EQ(Slot(&C::ReservedMethod3), 3);
	EXPECT_EQ(Slot(&C::ReservedMethod6), 6);
	EXPECT_EQ(Slot(&C::AddEffect), 7);
	EXPECT_EQ(Slot(&C::SetManufacturerName), 8);
	EXPECT_EQ(Slot(&C::AddPackageName), 9);
	EXPECT_EQ(Slot(&C::SetPackageVersion), 10);
	EXPECT_EQ(Slot(&C::SetProperties), 11);
}

TEST(HostMethodNumbers, EffectDescriptor)
{
	using E = AAX_IACFEffectDescriptor_V2;
	EXPECT_EQ(Slot(&E::AddComponent), 3);
	EXPECT_EQ(Slot(&E::AddName), 4);
	EXPECT_EQ(Slot(&E::AddCategory), 5);
	EXPECT_EQ(Slot(&E::AddCategoryBypassParameter), 6);
	EXPECT_EQ(Slot(&E::AddProcPtr), 7);
	EXPECT_EQ(Slot(&E::SetProperties), 8);
	EXPECT_EQ(Slot(&E::AddResourceInfo), 9);
	EXPECT_EQ(Slot(&E::AddMeterDescription), 10);
	EXPECT_EQ(Slot(&E::AddControlMIDINode), 11);
}

TEST(HostMethodNumbers, ComponentDescriptor)
{
	using D = AAX_IACFComponentDescriptor_V3;
	EXPECT_EQ(Slot(&D::Clear), 3);
	EXPECT_EQ(Slot(&D::AddReservedField), 4);
	EXPECT_EQ(Slot(&D::AddAudioIn), 5);
	EXPECT_EQ(Slot(&D::AddAudioOut), 6);
	EXPECT_EQ(Slot(&D::AddAudioBufferLength), 7);
	EXPECT_EQ(Slot(&D::AddSampleRate), 8);
	EXPECT_EQ(Slot(&D::AddClock), 9);
	EXPECT_EQ(Slot(&D::AddSideChainIn), 10);
	EXPECT_EQ(Slot(&D::AddDataInPort), 11);
	EXPECT_EQ(Slot(&D::AddAuxOutputStem), 12);
	EXPECT_EQ(Slot(&D::AddPrivateData), 13);
	EXPECT_EQ(Slot(&D::AddDmaInstance), 14);
	EXPECT_EQ(Slot(&D::AddMIDINode), 15);
	EXPECT_EQ(Slot(&D::AddProcessProc_Native), 16);
	EXPECT_EQ(Slot(&D::AddProcessProc_TI), 17);
	EXPECT_EQ(Slot(&D::AddMeters), 18);
	EXPECT_EQ(Slot(&D::AddTemporaryData), 19);
	EXPECT_EQ(Slot(&D::AddProcessProc), 20);
}

TEST(HostMethodNumbers, PropertyMap)
{
	using M = AAX_IACFPropertyMap_V3;
	EXPECT_EQ(Slot(&M::GetProperty), 3);
	EXPECT_EQ(Slot(&M::AddProperty), 4);
	EXPECT_EQ(Slot(&M::RemoveProperty), 5);
	EXPECT_EQ(Slot(&M::AddPropertyWithIDArray), 6);
	EXPECT_EQ(Slot(&M::GetPropertyWithIDArray), 7);
	EXPECT_EQ(Slot(&M::GetPointerProperty), 8);
	EXPECT_EQ(Slot(&M::AddPointerProperty), 9);
}

TEST(HostMethodNumbers, DescriptionHostAndFeatureInfo)
{
	EXPECT_EQ(Slot(&AAX_IACFDescriptionHost::AcquireFeatureProperties), 3);
	EXPECT_EQ(Slot(&AAX_IACFFeatureInfo::SupportLevel), 3);
	EXPECT_EQ(Slot(&AAX_IACFFeatureInfo::AcquireProperties), 4);
}

TEST(LibrarySlotOrder, Collection)
{
	using C = AAX_ICollection;
	EXPECT_EQ(Slot(&C::NewDescriptor), kFirstOperation + 0);
	EXPECT_EQ(Slot(&C::AddEffect), kFirstOperation + 1);
	EXPECT_EQ(Slot(&C::SetManufacturerName), kFirstOperation + 2);
	EXPECT_EQ(Slot(&C::AddPackageName), kFirstOperation + 3);
	EXPECT_EQ(Slot(&C::SetPackageVersion), kFirstOperation + 4);
	EXPECT_EQ(Slot(&C::NewPropertyMap), kFirstOperation + 5);
	EXPECT_EQ(Slot(&C::SetProperties), kFirstOperation + 6);
	EXPECT_EQ(Slot(static_cast<AAX_IDescriptionHost* (C::*)()>(&C::DescriptionHost)), kFirstOperation + 7);
	EXPECT_EQ(Slot(static_cast<const AAX_IDescriptionHost* (C::*)() const>(&C::DescriptionHost)), kFirstOperation + 8);
	EXPECT_EQ(Slot(&C::HostDefinition), kFirstOperation + 9);
}

TEST(LibrarySlotOrder, EffectDescriptor)
{
	using E = AAX_IEffectDescriptor;
	EXPECT_EQ(Slot(&E::NewComponentDescriptor), kFirstOperation + 0);
	EXPECT_EQ(Slot(&E::AddComponent), kFirstOperation + 1);
	EXPECT_EQ(Slot(&E::AddName), kFirstOperation + 2);
	EXPECT_EQ(Slot(&E::AddCategory), kFirstOperation + 3);
	EXPECT_EQ(Slot(&E::AddCategoryBypassParameter), kFirstOperation + 4);
	EXPECT_EQ(Slot(&E::AddProcPtr), kFirstOperation + 5);
	EXPECT_EQ(Slot(&E::NewPropertyMap), kFirstOperation + 6);
	EXPECT_EQ(Slot(&E::SetProperties), kFirstOperation + 7);
	EXPECT_EQ(Slot(&E::AddResourceInfo), kFirstOperation + 8);
	EXPECT_EQ(Slot(&E::AddMeterDescription), kFirstOperation + 9);
	EXPECT_EQ(Slot(&E::AddControlMIDINode), kFirstOperation + 10);
}

TEST(LibrarySlotOrder, ComponentDescriptor)
{
	using D = AAX_IComponentDescriptor;
	using NativeProc = AAX_Result (D::*)(AAX_CProcessProc, AAX_IPropertyMap*, AAX_CInstanceInitProc,
	                                     AAX_CBackgroundProc, uint32_t*);
	EXPECT_EQ(Slot(&D::Clear), kFirstOperation + 0);
	EXPECT_EQ(Slot(&D::AddAudioIn), kFirstOperation + 1);
	EXPECT_EQ(Slot(&D::AddAudioOut), kFirstOperation + 2);
	EXPECT_EQ(Slot(&D::AddAudioBufferLength), kFirstOperation + 3);
	EXPECT_EQ(Slot(&D::AddSampleRate), kFirstOperation + 4);
	EXPECT_EQ(Slot(&D::AddClock), kFirstOperation + 5);
	EXPECT_EQ(Slot(&D::AddSideChainIn), kFirstOperation + 6);
	EXPECT_EQ(Slot(&D::AddDataInPort), kFirstOperation + 7);
	EXPECT_EQ(Slot(&D::AddAuxOutputStem), kFirstOperation + 8);
	EXPECT_EQ(Slot(&D::AddPrivateData), kFirstOperation + 9);
	EXPECT_EQ(Slot(&D::AddTemporaryData), kFirstOperation + 10);
	EXPECT_EQ(Slot(&D::AddDmaInstance), kFirstOperation + 11);
	EXPECT_EQ(Slot(&D::AddMeters), kFirstOperation + 12);
	EXPECT_EQ(Slot(&D::AddMIDINode), kFirstOperation + 13);
	EXPECT_EQ(Slot(&D::AddReservedField), kFirstOperation + 14);
	EXPECT_EQ(Slot(&D::NewPropertyMap), kFirstOperation + 15);
	EXPECT_EQ(Slot(&D::DuplicatePropertyMap), kFirstOperation + 16);
	EXPECT_EQ(Slot(static_cast<NativeProc>(&D::AddProcessProc_Native)), kFirstOperation + 17);
	EXPECT_EQ(Slot(&D::AddProcessProc_TI), kFirstOperation + 18);
	EXPECT_EQ(Slot(&D::AddProcessProc), kFirstOperation + 19);
}

TEST(LibrarySlotOrder, PropertyMap)
{
	using M = AAX_IPropertyMap;
	EXPECT_EQ(Slot(&M::GetProperty), kFirstOperation + 0);
	EXPECT_EQ(Slot(&M::GetPointerProperty), kFirstOperation + 1);
	EXPECT_EQ(Slot(&M::AddProperty), kFirstOperation + 2);
	EXPECT_EQ(Slot(static_cast<AAX_Result (M::*)(AAX_EProperty, const void*)>(&M::AddPointerProperty)), kFirstOperation + 3);
	EXPECT_EQ(Slot(static_cast<AAX_Result (M::*)(AAX_EProperty, const char*)>(&M::AddPointerProperty)), kFirstOperation + 4);
	EXPECT_EQ(Slot(&M::RemoveProperty), kFirstOperation + 5);
	EXPECT_EQ(Slot(&M::AddPropertyWithIDArray), kFirstOperation + 6);
	EXPECT_EQ(Slot(&M::GetPropertyWithIDArray), kFirstOperation + 7);
	EXPECT_EQ(Slot(&M::GetIUnknown), kFirstOperation + 8);
}

TEST(LibrarySlotOrder, DescriptionHostAndFeatureInfo)
{
	EXPECT_EQ(Slot(&AAX_IDescriptionHost::AcquireFeatureProperties), kFirstOperation + 0);
	EXPECT_EQ(Slot(&AAX_IFeatureInfo::SupportLevel), kFirstOperation + 0);
	EXPECT_EQ(Slot(&AAX_IFeatureInfo::AcquireProperties), kFirstOperation + 1);
	EXPECT_EQ(Slot(&AAX_IFeatureInfo::ID), kFirstOperation + 2);
}
} // namespace
