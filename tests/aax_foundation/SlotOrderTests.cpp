// Positions of the virtual functions of the foundation's interfaces in their tables of functions. The host
// calls the host-facing tables by method number and hands AAX_IString objects across, so these positions are
// the contract, not an implementation detail.
#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFHostServices.h"
#include "AAX_IAutomationDelegate.h"
#include "AAX_IHostServices.h"
#include "AAX_IString.h"
#include "ACF/CACFUnknown.h"
#include "ACF/acfbaseapi.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#if !defined(__GXX_ABI_VERSION)
#error "These checks read Itanium C++ ABI pointers to member functions"
#endif

namespace
{
// Under the Itanium C++ ABI a pointer to a virtual member function holds 1 + the byte offset of its entry in
// the table of functions; a virtual destructor takes two entries.
template <typename MemberFunctionPointer>
long slotOf(MemberFunctionPointer function)
{
	static_assert(sizeof(MemberFunctionPointer) == 2 * sizeof(void*), "not a pointer to member function");
	std::ptrdiff_t encoded = 0;
	std::memcpy(&encoded, &function, sizeof encoded);
	if ((encoded & 1) == 0)
		return -1; // not virtual
	return static_cast<long>((encoded - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

TEST(HostTableSlots, UnknownMethodsAreZeroToTwo)
{
	EXPECT_EQ(slotOf(&IACFUnknown::QueryInterface), 0);
	EXPECT_EQ(slotOf(&IACFUnknown::AddRef), 1);
	EXPECT_EQ(slotOf(&IACFUnknown::Release), 2);
	EXPECT_EQ(slotOf(&CACFUnknown::PrivateUnknown::QueryInterface), 0);
	EXPECT_EQ(slotOf(&CACFUnknown::PrivateUnknown::AddRef), 1);
	EXPECT_EQ(slotOf(&CACFUnknown::PrivateUnknown::Release), 2);
}

TEST(HostTableSlots, ComponentFactoryCreatesThroughMethodThree)
{
	EXPECT_EQ(slotOf(&IACFComponentFactory::CreateComponent), 3);
}

TEST(HostTableSlots, HostServicesVersionsExtendEachOther)
{
	EXPECT_EQ(slotOf(&AAX_IACFHostServices::Trace), 4);
	EXPECT_EQ(slotOf(&AAX_IACFHostServices_V2::Trace), 4);
	EXPECT_EQ(slotOf(&AAX_IACFHostServices_V2::StackTrace), 5);
	EXPECT_EQ(slotOf(&AAX_IACFHostServices_V3::Trace), 4);
	EXPECT_EQ(slotOf(&AAX_IACFHostServices_V3::StackTrace), 5);
	EXPECT_EQ(slotOf(&AAX_IACFHostServices_V3::HandleAssertFailure), 6);
}

TEST(HostTableSlots, AutomationDelegateMethodsThreeToNine)
{
	using D = AAX_IACFAutomationDelegate;
	EXPECT_EQ(slotOf(&D::RegisterParameter), 3);
	EXPECT_EQ(slotOf(&D::UnregisterParameter), 4);
	EXPECT_EQ(slotOf(&D::PostSetValueRequest), 5);
	EXPECT_EQ(slotOf(&D::PostCurrentValue), 6);
	EXPECT_EQ(slotOf(&D::PostTouchRequest), 7);
	EXPECT_EQ(slotOf(&D::PostReleaseRequest), 8);
	EXPECT_EQ(slotOf(&D::GetTouchState), 9);
}

// The library's own interfaces: the destructor first (two entries), then each operation in its place.
TEST(LibraryTableSlots, StringInterface)
{
	EXPECT_EQ(slotOf(&AAX_IString::Length), 2);
	EXPECT_EQ(slotOf(&AAX_IString::MaxLength), 3);
	EXPECT_EQ(slotOf(&AAX_IString::Get), 4);
	EXPECT_EQ(slotOf(&AAX_IString::Set), 5);
	EXPECT_EQ(slotOf(static_cast<AAX_IString& (AAX_IString::*)(const AAX_IString&)>(&AAX_IString::operator=)), 6);
	EXPECT_EQ(slotOf(static_cast<AAX_IString& (AAX_IString::*)(const char*)>(&AAX_IString::operator=)), 7);
}

TEST(LibraryTableSlots, HostServicesInterface)
{
	EXPECT_EQ(slotOf(&AAX_IHostServices::HandleAssertFailure), 2);
	EXPECT_EQ(slotOf(&AAX_IHostServices::Trace), 3);
	EXPECT_EQ(slotOf(&AAX_IHostServices::StackTrace), 4);
}

TEST(LibraryTableSlots, AutomationDelegateInterface)
{
	using D = AAX_IAutomationDelegate;
	EXPECT_EQ(slotOf(&D::RegisterParameter), 2);
	EXPECT_EQ(slotOf(&D::UnregisterParameter), 3);
	EXPECT_EQ(slotOf(&D::PostSetValueRequest), 4);
	EXPECT_EQ(slotOf(&D::PostCurrentValue), 5);
	EXPECT_EQ(slotOf(&D::PostTouchRequest), 6);
	EXPECT_EQ(slotOf(&D::PostReleaseRequest), 7);
	EXPECT_EQ(slotOf(&D::GetTouchState), 8);
}

TEST(LibraryTableSlots, InterfaceObjectBase)
{
	EXPECT_EQ(slotOf(&CACFUnknown::InitializeInstance), 2);
	EXPECT_EQ(slotOf(&CACFUnknown::FinalRelease), 3);
	EXPECT_EQ(slotOf(&CACFUnknown::ReclaimMemory), 4);
	EXPECT_EQ(slotOf(&CACFUnknown::InternalQueryInterface), 5);
	EXPECT_EQ(slotOf(&CACFUnknown::InternalAddRef), 6);
	EXPECT_EQ(slotOf(&CACFUnknown::InternalRelease), 7);
}
} // namespace
