#include "qt/desktop_platform.h"

#include "support/test_platform.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <stdexcept>

namespace quenarch::qt {
namespace {

TEST(DesktopPlatformTest, BundlesTheDesktopServices)
{
    const test::TempDir folder;
    folder.write("win.ini", "[intl]\nsTime=.\n");
    const Platform platform = desktopPlatform({"IBM437", folder.path()});
    ASSERT_TRUE(platform.registry && platform.ini && platform.locale && platform.codec && platform.icons && platform.display);
    EXPECT_EQ(platform.ini->readString("intl", "sTime", "win.ini"), ".");
    EXPECT_EQ(platform.codec->decode("\x81"), "ü");
    EXPECT_GT(platform.display->colorDepth(), 0);
    EXPECT_EQ(platform.locale->conventions().shortDatePattern, QLocale::system().dateFormat(QLocale::ShortFormat).toStdString());
}

TEST(DesktopPlatformTest, AnUnknownEncodingIsNamedInTheError)
{
    try {
        desktopPlatform({"klingon-1", {}});
        FAIL() << "no exception";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find("klingon-1"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace quenarch::qt
