#include "services/ProductAddresses.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

TEST(ProductAddresses, ServerAddressesFollowTheEnvironmentWithoutTrailingSlash)
{
    testsupport::TempEnvironment env;
    env.setEnv("CHANNELDECK_SERVER", "http://127.0.0.1:9/");
    EXPECT_EQ(productServer(), QStringLiteral("http://127.0.0.1:9"));
    env.setEnv("CHANNELDECK_SERVER", "");
    EXPECT_TRUE(productServer().startsWith(QStringLiteral("http")));
}

TEST(ProductAddresses, ServerAddressWithoutSchemeGetsHttp)
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
        EXPECT_EQ(productServer(), expected) << value.constData();
        EXPECT_EQ(videoSite(), expected) << value.constData();
    }
}
