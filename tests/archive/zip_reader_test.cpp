#include "archive/peer_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quenarch {
namespace {

using namespace test;

Listing listZip(std::string_view bytes, const TextCodec* codec = nullptr) { return listBytes(ArchiveFormat::Zip, bytes, codec); }

std::vector<std::string> baseNames(const Listing& listing)
{
    std::vector<std::string> names;
    for (const ArchiveMember& member : listing.members) names.push_back(member.baseName);
    return names;
}

TEST(ZipReaderTest, OnlyTextsNotMarkedUtf8GoThroughTheCodec)
{
    const UpperCaseCodec upper;
    const Utf8Codec utf8;
    struct Case {
        std::string archive;
        const TextCodec* codec;
        std::vector<std::string> bases;
        std::string comment;
    };
    const Case cases[] = {
        // 7-Zip and Python mark the non-ASCII names only; zip marks none.
        {"utf8-7zip", &upper, {"café", "PLAIN", "Überblick", "メモ"}, ""},
        {"utf8-python", &upper, {"café", "Überblick", "メモ", "PLAIN"}, ""},
        {"utf8-infozip", &upper, {"CAFé", "ÜBERBLICK", "メモ", "PLAIN"}, ""},
        {"comment", &upper, {"LETTER", "FIGURES"}, "QUARTERLY FIGURES, SECOND DRAFT"},
        // A host that chose UTF-8 gets replacement characters for Windows-1252 bytes.
        {"cp1252-infozip", &utf8, {"caf\uFFFD", "price \uFFFD list", "r\uFFFDsum\uFFFD"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const Listing listing = listFile(ArchiveFormat::Zip, "zip/" + c.archive + ".zip", c.codec);
        EXPECT_EQ(baseNames(listing), c.bases);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

// Written at build time by Python's zipfile (tests/data/zip/make_many_members.py): 40,000
// overflows a signed 16-bit count, 70,000 needs the Zip64 end record.
TEST(ZipReaderTest, ListsEveryMemberOfArchivesWithManyMembers)
{
#ifndef QUENARCH_GENERATED_TEST_DATA
    GTEST_SKIP() << "built without Python: the many-member archives were not written";
#else
    for (const int count : {40000, 70000}) {
        const std::string path = std::string(QUENARCH_GENERATED_TEST_DATA) + "/zip/many-" + std::to_string(count) + ".zip";
        const Listing listing = listBytes(ArchiveFormat::Zip, readFile(path));
        ASSERT_EQ(listing.members.size(), static_cast<std::size_t>(count));
        for (const int i : {0, 32767, 32768, 39999, 65535, 65536, count - 1}) {
            if (i >= count) continue;
            SCOPED_TRACE(testing::Message() << count << " members, member " << i);
            const ArchiveMember& member = listing.members[static_cast<std::size_t>(i)];
            char base[16];
            std::snprintf(base, sizeof base, "item%05d", i);
            EXPECT_EQ(member.baseName, base);
            EXPECT_EQ(member.unpackedSize, static_cast<std::uint64_t>(i % 10));
            char moment[32];
            std::snprintf(moment, sizeof moment, "%04d-%02d-%02d %02d:%02d:%02d", 1980 + i % 40, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 2 * (i % 30));
            EXPECT_EQ(memberMoment(member), moment);
        }
    }
#endif
}

// ---------------------------------------------------------------------------------------------
// Damaged and odd layouts that no tool writes, built byte by byte: a central directory and the
// end record, without local headers and data, which the reader never looks at.

struct Header {
    std::string name{};
    std::uint16_t flags = 0;
    std::uint16_t time = 0x7D3C; // 15:41:56
    std::uint32_t crc = 0x12345678;
    std::uint32_t packed = 10;
    std::uint32_t unpacked = 20;
    std::string extra{};
    std::optional<std::uint16_t> declaredExtraLength{};
};

std::string directory(const std::vector<Header>& headers)
{
    std::string out;
    for (const Header& h : headers)
        out += "PK\x01\x02" + le(0x031E, 2) + le(20, 2) + le(h.flags, 2) + le(0, 2) + le(h.time, 2) + le(0x5264, 2) /* 2021-03-04 */ +
               le(h.crc, 4) + le(h.packed, 4) + le(h.unpacked, 4) + le(h.name.size(), 2) +
               le(h.declaredExtraLength.value_or(static_cast<std::uint16_t>(h.extra.size())), 2) + std::string(14, '\0') + h.name + h.extra;
    return out;
}

std::string endRecord(std::uint16_t entries, std::size_t size, std::uint32_t offset, std::string_view comment = {}, std::optional<std::uint16_t> commentLength = {})
{
    return "PK\x05\x06" + le(0, 4) + le(entries, 2) + le(entries, 2) + le(size, 4) + le(offset, 4) +
           le(commentLength.value_or(static_cast<std::uint16_t>(comment.size())), 2) + std::string(comment);
}

std::string archiveOf(const std::vector<Header>& headers, std::optional<std::uint16_t> entries = {})
{
    const std::string central = directory(headers);
    return central + endRecord(entries.value_or(static_cast<std::uint16_t>(headers.size())), central.size(), 0);
}

// The end record first and the directory after it, so that the directory runs to the end of the file.
std::string archiveWithDirectoryLast(const std::vector<Header>& headers, std::optional<std::uint16_t> entries = {})
{
    const std::string central = directory(headers);
    return endRecord(entries.value_or(static_cast<std::uint16_t>(headers.size())), central.size(), 22) + central;
}

std::string extraBlock(std::uint16_t id, std::string_view data) { return le(id, 2) + le(data.size(), 2) + std::string(data); }

std::string zip64Block(std::initializer_list<std::uint64_t> values)
{
    std::string data;
    for (const std::uint64_t value : values) data += le(value, 8);
    return extraBlock(0x0001, data);
}

// Info-ZIP Unicode Path field: version, CRC-32 of the stored name, UTF-8 name.
std::string unicodePathBlock(std::uint32_t storedNameCrc, std::string_view utf8Name, char version = 1)
{
    return extraBlock(0x7075, version + le(storedNameCrc, 4) + std::string(utf8Name));
}

const std::string timestampBlock = extraBlock(0x5455, std::string("\x03\xc4\xff\x40\x60", 5));

// A Zip64 end record, its locator and an end record whose count, size and offset are saturated.
std::string zip64Tail(std::uint64_t recordOffset, std::uint64_t entries, std::uint64_t directorySize, std::uint64_t directoryOffset)
{
    return "PK\x06\x06" + le(44, 8) + le(0x032D, 2) + le(45, 2) + le(0, 8) + le(entries, 8) + le(entries, 8) + le(directorySize, 8) +
           le(directoryOffset, 8) + "PK\x06\x07" + le(0, 4) + le(recordOffset, 8) + le(1, 4) + endRecord(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
}

// A sink that keeps the members and the count the reader announced.
class AnnouncedCount final : public MemberSink {
public:
    void beginArchive(std::string_view) override {}
    void setComment(std::string) override {}
    void expectMembers(std::uint64_t count) override { announced = count; }
    void addMember(ArchiveMember&& member) override { names.push_back(member.path); }
    void archiveInvalid() override {}
    std::optional<std::uint64_t> announced;
    std::vector<std::string> names;
};

// Counts the bytes read from a file.
class ReadCounting final : public RandomAccessFile {
public:
    explicit ReadCounting(RandomAccessFile& file) : file_(file) {}
    std::uint64_t size() const override { return file_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        const std::size_t count = file_.readAt(offset, buffer);
        bytesRead += count;
        return count;
    }
    DataStretch dataFrom(std::uint64_t offset) const override { return file_.dataFrom(offset); }
    std::uint64_t bytesRead = 0;

private:
    RandomAccessFile& file_;
};

// A 6 GiB sparse file whose Zip64 end record claims 2^40 members in a 4 GiB directory: a hole,
// then one header before the end records. Nothing is sized by the claim (the sink is told of at
// most MemberSink::maximumExpectedMembers), and the hole, headers of zeros that give no rows, is
// passed over unread.
TEST(ZipReaderTest, AHugeClaimedDirectoryIsNeitherReservedNorReadWhole)
{
    const test::TempDir temp;
    const std::filesystem::path path = temp.path() / "huge.zip";
    constexpr std::uint64_t fileSize = std::uint64_t{6} << 30;
    const std::string header = directory({{"big.txt"}});
    const std::uint64_t headerOffset = fileSize - 98 - header.size();
    const std::uint64_t directoryOffset = headerOffset - ((std::uint64_t{4} << 30) / 46) * 46;
    const std::string tail = zip64Tail(fileSize - 98, std::uint64_t{1} << 40, fileSize - 98 - directoryOffset, directoryOffset);
    {
        std::ofstream out(path, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(headerOffset));
        out << header << tail;
    }
    ASSERT_EQ(std::filesystem::file_size(path), fileSize);
    std::error_code error;
    const std::unique_ptr<RandomAccessFile> opened = openRegularFile(path, error);
    ASSERT_TRUE(opened);
    ReadCounting file(*opened);
    ByteSource source(file);
    AnnouncedCount sink;
    readArchive(ArchiveFormat::Zip, source, sink, nullptr);
    EXPECT_EQ(sink.names, std::vector<std::string>{"big.txt"});
    ASSERT_TRUE(sink.announced);
    EXPECT_LE(*sink.announced, MemberSink::maximumExpectedMembers);
    EXPECT_LT(file.bytesRead, std::uint64_t{4} << 20);
}

TEST(ZipReaderTest, EndRecordIsSoughtFromSixBytesBeforeTheEndDownTo50004)
{
    const std::string endOnly = endRecord(0, 0, 0);
    const struct {
        std::string what;
        std::string bytes;
        ReadVerdict verdict;
    } cases[] = {
        {"an empty file is not judged", "", ReadVerdict::Archive},
        {"1 byte", endOnly.substr(0, 1), ReadVerdict::NotAnArchive},
        {"4 bytes", endOnly.substr(0, 4), ReadVerdict::NotAnArchive},
        {"5 bytes", endOnly.substr(0, 5), ReadVerdict::NotAnArchive},
        {"6 bytes starting an end record", endOnly.substr(0, 6), ReadVerdict::Archive},
        {"a signature 5 bytes before the end", std::string(100, 'a') + endOnly.substr(0, 5), ReadVerdict::NotAnArchive},
        {"record 50,004 bytes before the end", endOnly + std::string(49982, 'c'), ReadVerdict::Archive},
        {"record 50,005 bytes before the end", endOnly + std::string(49983, 'c'), ReadVerdict::NotAnArchive},
        {"0 entries", archiveOf({{"a.txt"}, {"b.txt"}}, 0), ReadVerdict::Archive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listZip(c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_TRUE(listing.members.empty());
    }
}

TEST(ZipReaderTest, CommentLengthIsUnsignedAndBoundedByTheFile)
{
    const std::string longComment(40000, 'c'); // above 32,767, with bytes after it
    EXPECT_EQ(listZip(endRecord(0, 0, 0, longComment) + "tail").comment, longComment);
    EXPECT_EQ(listZip(endRecord(0, 0, 0, "cut short", 100)).comment, "cut short");
}

TEST(ZipReaderTest, WalkEndsWhereTheDirectoryEndsWhateverTheCountClaims)
{
    const std::vector<Header> two = {{"a.txt"}, {.name = "b.txt", .extra = timestampBlock}};
    std::string endRecordInside = directory({{"a.txt"}}) + endRecord(0, 0, 0) + directory({{"c.txt"}});
    endRecordInside += endRecord(3, endRecordInside.size(), 0);
    const std::string central = directory(two);
    const struct {
        std::string what;
        std::string bytes;
        std::vector<std::string> bases;
    } cases[] = {
        {"65,535 entries, then the end record", archiveOf(two, 65535), {"a", "b"}},
        {"65,535 entries, then the end of the file", archiveWithDirectoryLast(two, 65535), {"a", "b"}},
        {"second header cut in its extra field", archiveWithDirectoryLast(two).substr(0, 22 + central.size() - 2), {"a", "b"}},
        {"second header cut in its name", archiveWithDirectoryLast(two).substr(0, 22 + 46 + 5 + 46 + 4), {"a"}},
        {"an end record among the headers", endRecordInside, {"a"}},
        {"directory offset past the end of the file", central + endRecord(2, central.size(), 0x7FFFFF00), {}},
        {"extra field claiming more than the file", archiveWithDirectoryLast({{.name = "a.txt", .extra = "0123", .declaredExtraLength = 60000}, {"b.txt"}}), {"a"}},
        {"Zip64 record after the directory", central + zip64Tail(central.size(), 2, central.size(), 0), {"a", "b"}},
        {"Zip64 count no file holds, directory cut", zip64Tail(0, ~0ull, central.size(), 98) + central.substr(0, 46 + 5 + 46 + 4), {"a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listZip(c.bytes);
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(baseNames(listing), c.bases);
    }
}

TEST(ZipReaderTest, SizesAreUnsignedAndZip64FieldsHoldTheOverflowingOnes)
{
    // A Zip64 field claiming 16 bytes in an extra field of 12 is not read.
    const std::string zip64PastItsBlock = zip64Block({5'000'000'000}).replace(2, 2, "\x10\x00", 2);
    const struct {
        std::string what;
        Header header;
        std::uint64_t unpacked, packed;
    } cases[] = {
        {"above 2 GiB without Zip64", {.name = "a", .packed = 0x80000000, .unpacked = 0xFFFFFFFE}, 0xFFFFFFFE, 0x80000000},
        {"all bits set without a Zip64 field", {.name = "a", .packed = 0xFFFFFFFF, .unpacked = 0xFFFFFFFF}, 0xFFFFFFFF, 0xFFFFFFFF},
        {"unpacked size in Zip64", {.name = "a", .packed = 9, .unpacked = 0xFFFFFFFF, .extra = zip64Block({5'000'000'000})}, 5'000'000'000, 9},
        {"packed size in Zip64", {.name = "a", .packed = 0xFFFFFFFF, .unpacked = 7, .extra = zip64Block({4'500'000'000})}, 7, 4'500'000'000},
        {"both sizes and the offset in Zip64, after another field",
         {.name = "a", .packed = 0xFFFFFFFF, .unpacked = 0xFFFFFFFF, .extra = timestampBlock + zip64Block({6'000'000'000, 5'000'000'000, 42})},
         6'000'000'000,
         5'000'000'000},
        {"Zip64 field past the end of its extra field", {.name = "a", .packed = 9, .unpacked = 0xFFFFFFFF, .extra = zip64PastItsBlock}, 0xFFFFFFFF, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listZip(archiveOf({c.header, {"next"}}));
        ASSERT_EQ(baseNames(listing), (std::vector<std::string>{"a", "next"}));
        EXPECT_EQ(listing.members[0].unpackedSize, c.unpacked);
        EXPECT_EQ(listing.members[0].packedSize, c.packed);
    }
}

TEST(ZipReaderTest, InvalidTimesAndCrcTexts)
{
    const Listing listing = listZip(archiveOf({{.name = "a", .time = 0xC000 /* 24:00 */, .crc = 0x0000ABCD},
                                               {.name = "b", .time = 0x0780 /* 00:60 */, .crc = 0},
                                               {.name = "c", .time = 0x001E /* 00:00:60 */, .crc = 0xFFFFFFFF},
                                               {.name = "d", .time = 0x8000, .crc = 0x00F00000}}));
    std::vector<std::string> moments, crcs;
    for (const ArchiveMember& member : listing.members) {
        EXPECT_TRUE(member.date.has_value());
        moments.push_back(memberMoment(member));
        crcs.push_back(crcText(member.crc));
    }
    EXPECT_EQ(moments, (std::vector<std::string>{"", "", "", "2021-03-04 16:00:00"}));
    EXPECT_EQ(crcs, (std::vector<std::string>{"ABCD", "0", "FFFFFFFF", "F00000"}));
}

TEST(ZipReaderTest, NamesMarkedUtf8AreReadAsUtf8)
{
    // A code page 850 name ("ø" is 0x9B) with its UTF-8 form in a Unicode Path field, as Windows
    // tools that keep the old code page write it. Read in IBM437, the stored bytes give "s¢ster".
    const std::string stored = "Ordner/s\x9Bster.txt";
    const std::uint32_t storedCrc = 0x5CD635D7;
    const struct {
        std::string what;
        Header header;
        std::string base;
    } cases[] = {
        {"Unicode Path field", {.name = stored, .extra = unicodePathBlock(storedCrc, "Ordner/søster.txt")}, "søster"},
        {"Unicode Path field after another field", {.name = stored, .extra = timestampBlock + unicodePathBlock(storedCrc, "Ordner/søster.txt")}, "søster"},
        {"Unicode Path field of a name changed since", {.name = stored, .extra = unicodePathBlock(storedCrc ^ 1, "Ordner/søster.txt")}, "s¢ster"},
        {"Unicode Path field of an unknown version", {.name = stored, .extra = unicodePathBlock(storedCrc, "Ordner/søster.txt", 2)}, "s¢ster"},
        {"Unicode Path field too short to hold its CRC", {.name = stored, .extra = extraBlock(0x7075, "\x01\x7A\x50")}, "s¢ster"},
        {"UTF-8 flag", {.name = "Ordner/café.txt", .flags = 0x0800}, "café"},
        {"UTF-8 flag on bytes that are not UTF-8: read in IBM437", {.name = "caf\xe9.txt", .flags = 0x0800}, "cafΘ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listZip(archiveOf({c.header}));
        ASSERT_EQ(listing.members.size(), 1u);
        EXPECT_EQ(listing.members[0].baseName, c.base);
    }
}

} // namespace
} // namespace quenarch
