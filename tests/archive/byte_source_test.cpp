#include "quenarch/archive/byte_source.h"

#include "quenarch/platform/memory_file.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A mapped file killed the process when a page beyond its new end was touched.
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

// A long run of reads moves through the file in chunks of 1 MiB, not in one read of it all, and
// no read hands out more than the limit, whatever it is asked for.
TEST(ByteSourceTest, ReadsComeInBoundedChunks)
{
    const std::string bytes = numbered(ByteSource::maximumReadLength + (3 << 20));
    CountingFile file(bytes);
    ByteSource source(file);
    for (std::uint64_t at = 0; at + 100 <= bytes.size(); at += 46) {
        const std::optional<Bytes> header = source.read(at, 100);
        ASSERT_TRUE(header);
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(header->data()), 100), bytes.substr(at, 100));
    }
    EXPECT_EQ(*std::max_element(file.reads.begin(), file.reads.end()), ByteSource::runChunkLength);
    EXPECT_LE(file.reads.size(), bytes.size() / (ByteSource::runChunkLength - 100) + 2);

    file.reads.clear();
    EXPECT_FALSE(source.read(0, ByteSource::maximumReadLength + 1));
    EXPECT_FALSE(source.read(bytes.size() - 10, 11));
    EXPECT_TRUE(file.reads.empty());
    EXPECT_EQ(source.readUpTo(bytes.size() - 10, 50)->size(), 10u);
    EXPECT_TRUE(source.read(0, ByteSource::maximumReadLength));
}

} // namespace
} // namespace quenarch
