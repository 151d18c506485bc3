#include "archive/peer_listing.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using namespace test;

Listing listRar(std::string_view bytes, const TextCodec* codec = nullptr, std::size_t refuseAt = SIZE_MAX)
{
    return listBytes(ArchiveFormat::Rar, bytes, codec, refuseAt);
}

// ---------------------------------------------------------------------------------------------
// RAR 1.5 to 4.x layouts that no tool writes, and damage, built byte by byte.

const std::string marker("Rar!\x1A\x07\x00", 7);

// A block: header CRC, type, flags, header size (counted unless given), then the rest.
std::string block(std::uint8_t type, std::uint16_t flags, std::string_view rest, std::optional<std::uint16_t> size = {})
{
    return le(0, 2) + static_cast<char>(type) + le(flags, 2) + le(size.value_or(7 + rest.size()), 2) + std::string(rest);
}

std::string mainHeader(std::uint16_t flags = 0, std::string_view comment = {}) { return block(0x73, flags, std::string(6, '\0') + std::string(comment)); }

struct File {
    std::string name{};
    std::uint16_t flags = 0;
    std::string afterName{}; // salt and extended times
    std::string data = "abc";
    std::uint32_t packedHigh = 0; // with flag 0x100
    std::uint32_t unpackedHigh = 0;
};

// Unpacked size 7, CRC ABCD, 2021-03-04 15:41:56.
std::string file(const File& f)
{
    std::string rest = le(f.data.size(), 4) + le(7, 4) + '\x03' + le(0x0000ABCD, 4) + le(0x52647D3C, 4) + "\x1d\x30" + le(f.name.size(), 2) + le(0x20, 4);
    if (f.flags & 0x100) rest += le(f.packedHigh, 4) + le(f.unpackedHigh, 4);
    return block(0x74, static_cast<std::uint16_t>(0x8000 | f.flags), rest + f.name + f.afterName) + f.data;
}

std::string rar(std::string_view blocks, std::string_view main = mainHeader()) { return marker + std::string(main) + std::string(blocks); }

// A service header (type 0x7A) carrying data, laid out like a file header.
std::string service(std::string_view name) { return block(0x7A, 0x8000, le(4, 4) + std::string(15, '\0') + le(name.size(), 2) + le(0, 4) + std::string(name)) + "data"; }

const std::string twoFiles = file({"a.txt"}) + file({"b.txt"});
const std::string rar5Signature("Rar!\x1A\x07\x01\x00", 8);

TEST(RarReaderTest, MarkerAndMainHeaderDecideWhetherTheFileIsAnArchive)
{
    const struct {
        std::string what;
        std::string bytes;
        ReadVerdict verdict;
        std::string comment;
        std::vector<std::string> names;
    } cases[] = {
        {"an empty file", "", ReadVerdict::NotAnArchive, "", {}},
        {"the marker cut short", marker.substr(0, 6), ReadVerdict::NotAnArchive, "", {}},
        {"the main header cut short", rar("").substr(0, 19), ReadVerdict::NotAnArchive, "", {}},
        {"a main header of another type", marker + block(0x72, 0, std::string(6, '\0')), ReadVerdict::NotAnArchive, "", {}},
        {"a main header size from 0x8000", marker + block(0x73, 0, std::string(6, '\0'), 0x8000) + twoFiles, ReadVerdict::NotAnArchive, "", {}},
        {"seventh byte 2", "Rar!\x1A\x07\x02" + mainHeader() + twoFiles, ReadVerdict::NotAnArchive, "", {}},
        {"seventh byte 1 without the zero after it", "Rar!\x1A\x07\x01\x01" + std::string("\0\0\0\0\x03\x01\x00\x00", 8), ReadVerdict::NotAnArchive, "", {}},
        {"a 13-byte main header", rar(twoFiles), ReadVerdict::Archive, "", {"a.txt", "b.txt"}},
        {"a main header of 20 bytes", rar(twoFiles, mainHeader(0x0002, "comment")), ReadVerdict::Archive, "Present", {"a.txt", "b.txt"}},
        {"a main header of 20 bytes cut short", rar("", mainHeader(0x0002, "comment")).substr(0, 25), ReadVerdict::NotAnArchive, "Present", {}},
        {"a main header claiming 5 bytes", marker + block(0x73, 0, std::string(6, '\0'), 5) + twoFiles, ReadVerdict::Archive, "", {"a.txt", "b.txt"}},
        {"encrypted headers", rar(twoFiles, mainHeader(0x0080)), ReadVerdict::Archive, "", {}},
        {"RAR5, its signature alone", rar5Signature, ReadVerdict::NotAnArchive, "", {}},
        {"RAR5 opening with a file header", rar5Signature + std::string("\0\0\0\0\x03\x02\x00\x00", 8), ReadVerdict::NotAnArchive, "", {}},
        {"RAR5 with encrypted headers", rar5Signature + std::string("\0\0\0\0\x03\x04\x00\x00", 8), ReadVerdict::Archive, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listRar(c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_EQ(listing.comment, c.comment);
        EXPECT_EQ(fullNames(listing), c.names);
        EXPECT_EQ(listing.messageRounds, c.verdict == ReadVerdict::Archive ? 1 : 0);
    }
}

TEST(RarReaderTest, WalkStepsOverBlocksByTheirSizesAndEndsAtDamage)
{
    const std::string longName(300, 'n');
    const struct {
        std::string what;
        std::string blocks;
        std::vector<std::string> names;
        std::string comment;
    } cases[] = {
        {"fields after the name", file({.name = "a.txt", .flags = 0x1400, .afterName = std::string(8, 's') + std::string("\x00\xf0", 2)}) + file({"b.txt"}), {"a.txt", "b.txt"}, ""},
        {"the end-of-archive block", file({"a.txt"}) + block(0x7B, 0x4000, "") + file({"b.txt"}), {"a.txt"}, ""},
        {"a block of no known type", file({"a.txt"}) + block(0x3A, 0, "") + file({"b.txt"}), {"a.txt"}, ""},
        {"a header size below 7", file({"a.txt"}) + block(0x75, 0, "", 6) + file({"b.txt"}), {"a.txt"}, ""},
        {"a header that cannot hold its name", block(0x74, 0x8000, std::string(19, '\0') + le(40, 2) + le(0, 4)) + twoFiles, {}, ""},
        {"a large file's header too short for the high halves", block(0x74, 0x8100, le(0, 4) + le(7, 4) + '\x03' + std::string(10, '\0') + le(1, 2) + le(0x20, 4) + "abcd") + twoFiles, {}, ""},
        {"a header past the end of the file", file({"a.txt"}) + file({"b.txt"}).substr(0, 30), {"a.txt"}, ""},
        {"packed data past the end of the file", file({"a.txt"}) + file({.name = "b.txt", .data = "cdefgh"}).substr(0, 39), {"a.txt", "b.txt"}, ""},
        {"a long name", file({longName + ".txt"}), {longName + ".txt"}, ""},
        {"recovery record and authenticity data", block(0x78, 0x8000, le(3, 4)) + "rec" + block(0x76, 0, "av") + twoFiles, {"a.txt", "b.txt"}, ""},
        {"a long block whose header cannot hold the data size", block(0x77, 0x8000, "") + twoFiles, {}, ""},
        {"the archive comment in a service header", service("CMT") + twoFiles, {"a.txt", "b.txt"}, "Present"},
        {"file comments in service headers", file({"a.txt"}) + service("CMT") + file({"b.txt"}) + service("CMT"), {"a.txt", "b.txt"}, ""},
        {"another service header", service("RR") + twoFiles, {"a.txt", "b.txt"}, ""},
        {"an old comment block", block(0x75, 0, "comment") + twoFiles, {"a.txt", "b.txt"}, "Present"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listRar(rar(c.blocks));
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(fullNames(listing), c.names);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

TEST(RarReaderTest, LargeFileFlagAddsTheHighHalvesOfTheSizes)
{
    const Listing listing = listRar(rar(file({.name = "big.iso", .flags = 0x100, .data = "xy", .unpackedHigh = 2}) +
                                        file({.name = ".config", .flags = 0x00E0, .data = ""}) + file({"last"})));
    ASSERT_EQ(rowNames(listing), (std::vector<std::string>{"big|iso", "|config", "last|"}));
    EXPECT_EQ(listing.members[0].unpackedSize, 0x2'0000'0007u);
    EXPECT_EQ(listing.members[0].packedSize, 2u);
    EXPECT_EQ(crcText(listing.members[0].crc), "ABCD");
    EXPECT_EQ(memberMoment(listing.members[0]), "2021-03-04 15:41:56");
}

TEST(RarReaderTest, UnicodeNamesAreUnpackedAndOtherNamesGoThroughTheCodec)
{
    const auto unicode = [](std::string_view field) { return rar(file({.name = std::string(field), .flags = 0x200})); };
    const struct {
        std::string what;
        std::string bytes;
        std::string name;
    } cases[] = {
        {"no Unicode flag: through the codec, zero bytes kept", rar(file({std::string("a\0b.txt", 7)})), std::string("A\0B.TXT", 7)},
        {"Unicode flag without a zero byte: UTF-8", unicode("caf\xc3\xa9.txt"), "café.txt"},
        {"nothing packed: the code-page name", unicode(std::string("abc.txt\0", 8)), "ABC.TXT"},
        {"code-page bytes copied", unicode(std::string("abc.txt\0\x00\xc0\x05", 11)), "abc.txt"},
        {"code-page bytes corrected under the high byte", unicode(std::string("\xe0\xe1\0\x04\xc0\x80\x50", 7)), "аб"},
        {"low bytes alone and under the high byte", unicode(std::string("??\0\x04\x10\x41\x30", 7)), "Aа"},
        {"whole characters and a surrogate pair", unicode(std::string("??\0\x00\xa0\x3d\xd8\x00\xde", 9)), "😀"},
        {"a surrogate without its pair", unicode(std::string("?x\0\x00\x80\x3d\xd8\x78", 8)), "\uFFFDx"},
        {"packed bytes cut short", unicode(std::string("abc\0\x00\x00\x61\x62", 8)), "ab"},
        {"a zero character ends the name", unicode(std::string("ab\0\x00\x00\x61\x00\x62", 8)), "a"},
        {"a copy beyond the code-page name", unicode(std::string("ab\0\x00\xc0\x7f", 6)), "ab"},
    };
    const UpperCaseCodec upper;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fullNames(listRar(c.bytes, &upper)), std::vector<std::string>{c.name});
    }
}

// ---------------------------------------------------------------------------------------------
// RAR5 layouts and damage, built byte by byte.

std::string vint(std::uint64_t value)
{
    std::string out;
    for (; value >= 0x80; value >>= 7) out.push_back(static_cast<char>(0x80 | (value & 0x7F)));
    return out + static_cast<char>(value);
}

std::string block5(std::uint64_t type, std::string_view fields, std::string_view extra = {}, std::optional<std::string> data = {})
{
    std::string header = vint(type) + vint((extra.empty() ? 0 : 1) | (data ? 2 : 0));
    if (!extra.empty()) header += vint(extra.size());
    if (data) header += vint(data->size());
    header += std::string(fields) + std::string(extra);
    return le(0, 4) + vint(header.size()) + header + data.value_or("");
}

struct File5 {
    std::string name{};
    std::optional<std::uint32_t> unixTime{};
    std::string extra{};
};

std::string fileFields5(const File5& f)
{
    std::string fields = vint((f.unixTime ? 2 : 0) | 4) + vint(9) + vint(0x20);
    if (f.unixTime) fields += le(*f.unixTime, 4);
    return fields + le(0x0000ABCD, 4) + vint(0) + vint(1) + vint(f.name.size()) + f.name;
}

std::string file5(const File5& f) { return block5(2, fileFields5(f), f.extra, "data"); }

// A file time record holding the modification time as Windows file time or as Unix seconds.
std::string windowsTime(std::uint64_t fileTime) { return vint(10) + vint(3) + vint(2) + le(fileTime, 8); }
std::string unixTime(std::uint32_t seconds) { return vint(6) + vint(3) + vint(3) + le(seconds, 4); }

std::string rar5(std::string_view blocks) { return rar5Signature + block5(1, vint(0)) + std::string(blocks); }

TEST(RarReaderTest, Rar5FileHeadersBecomeMembersWithLocalTimes)
{
    const ScopedTimeZone india("IST-5:30");
    const struct {
        std::string what;
        std::string blocks;
        std::vector<std::string> moments;
        std::string comment;
    } cases[] = {
        {"Unix time in the header", file5({.name = "a", .unixTime = 1'600'000'000}), {"2020-09-13 17:56:40"}, ""},
        {"Windows time record before the header's time",
         file5({.name = "a", .unixTime = 1, .extra = vint(2) + vint(7) + "x" + windowsTime(132'000'000'000'000'000)}),
         {"2019-04-18 00:10:00"},
         ""},
        {"Unix time record", file5({.name = "a", .extra = unixTime(0)}), {"1970-01-01 05:30:00"}, ""},
        {"no time at all", file5({"a"}), {""}, ""},
        {"the archive comment", block5(3, fileFields5({"CMT"}), {}, "text") + file5({"a"}), {""}, "Present"},
        {"unknown and main blocks stepped over", block5(9, "?", {}, "skip") + block5(1, vint(0)) + file5({"a"}), {""}, ""},
        {"the end of the archive", file5({"a"}) + block5(5, vint(0)) + file5({"b"}), {""}, ""},
        {"a file header that cannot hold its name", block5(2, fileFields5({"a"}).substr(0, 10)) + file5({"b"}), {}, ""},
        {"a size of more than 64 bits", block5(2, vint(4) + std::string(9, '\x80') + "\x02" + fileFields5({"a"}).substr(2)) + file5({"b"}), {}, ""},
        {"a file named CMT", file5({"CMT"}), {""}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listRar(rar5(c.blocks));
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        std::vector<std::string> moments;
        for (const ArchiveMember& member : listing.members) moments.push_back(memberMoment(member));
        EXPECT_EQ(moments, c.moments);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

TEST(RarReaderTest, AWalkNeverStepsBack)
{
    // Packed sizes that carry the next block round to the block itself: 2^64 less the 41 bytes
    // of the RAR 1.5 header, or less the 28 bytes of the RAR5 header with its CRC and size.
    const std::string rar3 = rar(file({.name = "a", .flags = 0x100, .data = "", .packedHigh = 0xFFFFFFFF}).replace(7, 4, le(0x1'0000'0000 - 41, 4)));
    const std::string header = vint(2) + vint(2) + vint(~0ull - 27) + fileFields5({"a"});
    for (const std::string& bytes : {rar3, rar5(le(0, 4) + vint(header.size()) + header)})
        EXPECT_EQ(fullNames(listRar(bytes, nullptr, 5)), std::vector<std::string>{"a"});
}

} // namespace
} // namespace quenarch
