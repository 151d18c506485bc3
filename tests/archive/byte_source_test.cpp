#include "quenarch/archive/byte_source.h"

#include "quenarch/platform/memory_file.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quenarch {
namespace {

// Records the length of every read the source asks the file for.
class CountingFile final : public RandomAccessFile {
public:
    explicit CountingFile(std::string_view bytes) : file_(bytes) {}
    std::uint64_t size() const override { return file_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        reads.push_back(buffer.size());
        return file_.readAt(offset, buffer);
    }
    std::vector<std::size_t> reads;

private:
    MemoryFile file_;
};

std::string numbered(std::size_t length)
{
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

// The old source mapped the file: touching a page beyond the new end killed the process.
TEST(ByteSourceTest, AFileTruncatedBetweenTwoReadsEndsEarlyWithoutASignal)
{
    const test::TempDir temp;
    const std::filesystem::path path = temp.write("big.zip", numbered(3 << 20));
    std::error_code error;
    const std::unique_ptr<RandomAccessFile> file = openRegularFile(path, error);
    ASSERT_TRUE(file);
    ByteSource source(*file);
    ASSERT_TRUE(source.read(0, 100));
    std::filesystem::resize_file(path, 1000);
    EXPECT_FALSE(source.read(2 << 20, 100));
    EXPECT_FALSE(source.read(900, 200));
    const std::optional<Bytes> kept = source.read(500, 100);
    ASSERT_TRUE(kept);
    EXPECT_EQ((*kept)[0], static_cast<std::uint8_t>(500 * 7 % 251));
}

TEST(ByteSourceTest, RunsAreReadInLargeChunksAndJumpsInSmallOnes)
{
    const std::string bytes = numbered(6 << 20);
    CountingFile file(bytes);
    ByteSource source(file);
    const auto readAndCheck = [&](std::uint64_t offset, std::size_t length) {
        const std::optional<Bytes> got = source.read(offset, length);
        ASSERT_TRUE(got);
        ASSERT_EQ(got->size(), length);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(got->data()), length), bytes.substr(offset, length));
    };
    readAndCheck(0, 46);                                     // the first read: a small chunk
    readAndCheck(40, 46);                                    // inside the window: no read
    readAndCheck(ByteSource::jumpChunkLength - 10, 46);      // on from the window's end: a large chunk
    readAndCheck(ByteSource::jumpChunkLength + 1000, 46);    // inside the large window: no read
    readAndCheck(5 << 20, 46);                               // a jump: a small chunk
    readAndCheck((5 << 20) + ByteSource::jumpChunkLength, (1 << 20) - ByteSource::jumpChunkLength); // on, to the end
    EXPECT_EQ(file.reads, (std::vector<std::size_t>{ByteSource::jumpChunkLength, ByteSource::runChunkLength, ByteSource::jumpChunkLength,
                                                    (1 << 20) - ByteSource::jumpChunkLength}));
}

TEST(ByteSourceTest, ReadsOutsideTheFileOrLongerThanTheLimitGiveNothing)
{
    const std::string bytes = numbered(ByteSource::maximumReadLength + 100);
    CountingFile file(bytes);
    ByteSource source(file);
    EXPECT_FALSE(source.read(ByteSource::maximumReadLength + 1, 100));
    EXPECT_FALSE(source.read(~std::uint64_t{0}, 1));
    EXPECT_FALSE(source.read(0, ByteSource::maximumReadLength + 1));
    EXPECT_TRUE(file.reads.empty());
    EXPECT_EQ(source.readUpTo(ByteSource::maximumReadLength + 90, 50)->size(), 10u);
    EXPECT_EQ(source.readUpTo(bytes.size(), 50)->size(), 0u);
    EXPECT_FALSE(source.readUpTo(bytes.size() + 1, 50));
    EXPECT_TRUE(source.read(0, ByteSource::maximumReadLength));
}

} // namespace
} // namespace quenarch
