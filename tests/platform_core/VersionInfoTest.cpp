#include "platform/core/VersionInfo.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

TEST(VersionInfo, CompiledInValuesCanBeReplacedAndRestored)
{
    const platform::VersionInfo built = platform::versionInfo();
    EXPECT_EQ(built.productName, QStringLiteral("ChannelDeck"));
    EXPECT_FALSE(built.companyName.isEmpty());

    platform::setVersionInfo({QStringLiteral("P"), QStringLiteral("C"), QString(), 2, 3});
    EXPECT_EQ(platform::versionInfo().productName, QStringLiteral("P"));
    EXPECT_TRUE(platform::versionInfo().comments.isEmpty());
    platform::resetVersionInfo();
    EXPECT_EQ(platform::versionInfo().productName, built.productName);
}
