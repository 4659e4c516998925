// How the host's listing words the numbers a plug-in gives.
#include "HostPlugIn.h"

#include <gtest/gtest.h>

namespace
{
TEST(DescriptionText, SdkVersionSaysTheVersionAndTheRevisionApart)
{
    EXPECT_EQ(hostSdkVersionText(0x00000204013449E0ull), "2.4, revision 20204000");
    EXPECT_EQ(hostSdkVersionText(0x000002030132B3A0ull), "2.3, revision 20100000");
    EXPECT_EQ(hostSdkVersionText(0x0000000000000000ull), "0.0, revision 0");
    // A version past two bytes is no major and minor this host knows: shown as it came.
    EXPECT_EQ(hostSdkVersionText(0x0001020400000001ull), "0x10204, revision 1");
}
} // namespace
