#include "quenarch/platform/file_access.h"

#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

namespace quenarch {
namespace {

namespace fs = std::filesystem;

// Only regular files open; nothing else is read or waited for. A FIFO without a writer would
// block an ordinary open for ever, and a device would stream without end.
TEST(FileAccessTest, OpensRegularFilesAndLinksToThemAndRefusesEverythingElse)
{
    const test::TempDir temp;
    const fs::path file = temp.write("a.zip", "PK\x05\x06");
    ASSERT_EQ(::mkfifo((temp.path() / "fifo.zip").c_str(), 0600), 0);
    fs::create_directories(temp.path() / "folder.zip");
    fs::create_symlink(file, temp.path() / "link.zip");
    fs::create_symlink("/dev/zero", temp.path() / "zero.zip");
    fs::create_symlink(temp.path() / "gone", temp.path() / "dangling.zip");
    const struct {
        std::string name;
        std::error_code expected;
    } cases[] = {
        {"a.zip", {}},
        {"link.zip", {}},
        {"folder.zip", std::make_error_code(std::errc::is_a_directory)},
        {"fifo.zip", std::make_error_code(std::errc::not_supported)},
        {"zero.zip", std::make_error_code(std::errc::not_supported)},
        {"dangling.zip", std::make_error_code(std::errc::no_such_file_or_directory)},
        {"missing.zip", std::make_error_code(std::errc::no_such_file_or_directory)},
        {"/dev/null", std::make_error_code(std::errc::not_supported)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code error = std::make_error_code(std::errc::io_error);
        const std::unique_ptr<RandomAccessFile> opened = openRegularFile(c.name.starts_with('/') ? fs::path(c.name) : temp.path() / c.name, error);
        EXPECT_EQ(error, c.expected);
        EXPECT_EQ(opened != nullptr, !c.expected);
        if (opened) {
            EXPECT_EQ(opened->size(), 4u);
        }
    }
}

TEST(FileAccessTest, AFileTheUserMayNotReadIsRefused)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root reads whatever the permissions say";
    const test::TempDir temp;
    const fs::path file = temp.write("locked.zip", "PK");
    fs::permissions(file, fs::perms::none);
    std::error_code error;
    EXPECT_EQ(openRegularFile(file, error), nullptr);
    EXPECT_EQ(error, std::make_error_code(std::errc::permission_denied));
}

TEST(FileAccessTest, AFileThatShrinksAfterItWasOpenedReadsShort)
{
    const test::TempDir temp;
    const fs::path path = temp.write("shrinking.zip", std::string(100000, 'x'));
    std::error_code error;
    const std::unique_ptr<RandomAccessFile> file = openRegularFile(path, error);
    ASSERT_TRUE(file);
    fs::resize_file(path, 10);
    std::array<std::uint8_t, 100> buffer{};
    EXPECT_EQ(file->readAt(0, buffer), 10u);
    EXPECT_EQ(file->readAt(50000, buffer), 0u);
    EXPECT_EQ(file->size(), 100000u); // as it was when opened
}

} // namespace
} // namespace quenarch
