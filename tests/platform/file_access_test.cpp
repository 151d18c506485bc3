#include "quenarch/platform/file_access.h"

#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace quenarch {
namespace {

namespace fs = std::filesystem;

// Only regular files open; nothing else is read or waited for: a FIFO without a writer would
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
        std::errc refusal;
    } cases[] = {
        {"a.zip", {}},
        {"link.zip", {}},
        {"folder.zip", std::errc::is_a_directory},
        {"fifo.zip", std::errc::not_supported},
        {"zero.zip", std::errc::not_supported},
        {"dangling.zip", std::errc::no_such_file_or_directory},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code error;
        const std::unique_ptr<RandomAccessFile> opened = openRegularFile(temp.path() / c.name, error);
        EXPECT_EQ(error, c.refusal == std::errc{} ? std::error_code{} : std::make_error_code(c.refusal));
        EXPECT_EQ(opened ? opened->size() : 0u, c.refusal == std::errc{} ? 4u : 0u);
    }
}

} // namespace
} // namespace quenarch
