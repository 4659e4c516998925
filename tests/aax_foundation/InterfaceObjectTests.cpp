// Interface objects: reference counting, identity and the live-object count of CACFUnknown.
#include "ACF/CACFUnknown.h"
#include "ACF/acfuids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class TestObject : public CACFUnknown
{
public:
    ~TestObject() override { events.push_back("destructor, live " + std::to_string(GetActiveObjectCount())); }
    void FinalRelease() override { events.push_back("FinalRelease, live " + std::to_string(GetActiveObjectCount())); }
    static inline std::vector<std::string> events;
};

// The object as the host holds it: its IACFUnknown identity, with one reference taken.
IACFUnknown* Identity(CACFUnknown* object)
{
    void* identity = nullptr;
    EXPECT_EQ(object->InternalQueryInterface(IID_IACFUnknown, &identity), ACF_OK);
    return static_cast<IACFUnknown*>(identity);
}

TEST(InterfaceObject, CountsFromZeroAndTheLastReleaseDestroysItOnce)
{
    TestObject::events.clear();
    const int32_t before = CACFUnknown::GetActiveObjectCount();
    auto* const object = new TestObject;
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);
    EXPECT_EQ(object->InternalAddRef(), 1u);
    EXPECT_EQ(object->InternalAddRef(), 2u);
    EXPECT_EQ(object->InternalRelease(), 1u);
    EXPECT_EQ(object->InternalRelease(), 0u);
    const std::string live = std::to_string(before + 1);
    EXPECT_EQ(TestObject::events, (std::vector<std::string>{"FinalRelease, live " + live, "destructor, live " + live}));
    EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(InterfaceObject, IdentityIsTheInnerUnknownAndOnlyAnswersTakeAReference)
{
    auto* const object = new TestObject;
    IACFUnknown* const identity = Identity(object);
    EXPECT_EQ(Identity(object), identity);
    EXPECT_NE(static_cast<void*>(identity), static_cast<void*>(object));
    EXPECT_EQ(identity->AddRef(), 3u); // through the identity, the same count
    EXPECT_EQ(object->InitializeInstance(nullptr), ACF_OK);
    // Identifiers differing from IACFUnknown's in a single byte are refused, and take no reference.
    for (size_t byte = 0; byte < sizeof(_acfUID); ++byte)
    {
        _acfUID nearMiss = IID_IACFUnknown;
        reinterpret_cast<unsigned char*>(&nearMiss)[byte] ^= 0x01;
        void* out = &out;
        EXPECT_EQ(identity->QueryInterface(nearMiss, &out), ACFRESULT(0x80000004));
        EXPECT_EQ(out, nullptr);
    }
    for (acfUInt32 remaining : {2u, 1u, 0u})
        EXPECT_EQ(identity->Release(), remaining);
}
} // namespace
