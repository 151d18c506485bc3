#include "quenarch/freedesktop/environment.h"

#include <gtest/gtest.h>

namespace quenarch::freedesktop {
namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(EnvironmentTest, DataFoldersComeFromTheXdgVariablesOrTheirDefaults)
{
    Environment environment;
    EXPECT_EQ(dataFolders(environment), (Paths{"/.local/share", "/usr/local/share", "/usr/share"}));
    environment.home = "/home/ann/";
    EXPECT_EQ(dataFolders(environment), (Paths{"/home/ann/.local/share", "/usr/local/share", "/usr/share"}));
    // Relative folders are dropped, the others cleaned and listed once.
    environment.xdgDataHome = "/data/home";
    environment.xdgDataDirs = "/opt/share/:relative/share::/usr//share:/opt/share:/usr/./share/../share";
    EXPECT_EQ(dataFolders(environment), (Paths{"/data/home", "/opt/share", "/usr/share"}));
}

TEST(EnvironmentTest, ConfigurationAndHomeFolders)
{
    Environment environment;
    EXPECT_EQ(homeFolder(environment), "/");
    environment.home = "/home//ann/";
    EXPECT_EQ(homeFolder(environment), "/home/ann");
    EXPECT_EQ(configFolder(environment), "/home/ann/.config");
    environment.xdgConfigHome = "/etc/ann";
    EXPECT_EQ(configFolder(environment), "/etc/ann");
}

} // namespace
} // namespace quenarch::freedesktop
