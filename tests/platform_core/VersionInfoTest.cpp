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

TEST(VersionInfo, ServerAddressesFollowTheEnvironmentWithoutTrailingSlash)
{
    testsupport::TempEnvironment env;
    env.setEnv("CHANNELDECK_SERVER", "http://127.0.0.1:9/");
    EXPECT_EQ(platform::productServer(), QStringLiteral("http://127.0.0.1:9"));
    env.setEnv("CHANNELDECK_SERVER", "");
    EXPECT_TRUE(platform::productServer().startsWith(QStringLiteral("http")));
}

TEST(VersionInfo, ServerAddressWithoutSchemeGetsHttp)
{
    testsupport::TempEnvironment env;
    const QList<QPair<QByteArray, QString>> cases = {
        {"127.0.0.1:8080/", QStringLiteral("http://127.0.0.1:8080")},
        {"deck.example.org", QStringLiteral("http://deck.example.org")},
        {"localhost:80/base", QStringLiteral("http://localhost:80/base")},
        {"https://deck.example.org", QStringLiteral("https://deck.example.org")},
        {"HTTP://deck.example.org", QStringLiteral("HTTP://deck.example.org")},
    };
    for (const auto &[value, expected] : cases) {
        env.setEnv("CHANNELDECK_SERVER", value);
        env.setEnv("CHANNELDECK_VIDEO_SITE", value);
        EXPECT_EQ(platform::productServer(), expected) << value.constData();
        EXPECT_EQ(platform::videoSite(), expected) << value.constData();
    }
}
