// The host stand-in's leak check, which every library test rests on: a host object still referenced when
// the host goes away ends the program and is named.
#include "HostServices.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

namespace
{
TEST(HostStandInDeathTest, LeakedHostObjectsEndTheProgram)
{
    EXPECT_DEATH(
        {
            HostEnvironment environment;
            (new HostServices(environment))->addReference();
        },
        "HostServices \\(references: 1\\)");
}
} // namespace
