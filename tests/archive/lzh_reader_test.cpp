#include "archive/peer_listing.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using namespace test;

Listing listLzh(std::string_view bytes, const TextCodec* codec = nullptr) { return listBytes(ArchiveFormat::Lzh, bytes, codec); }

TEST(LzhReaderTest, UnixTimesOfLevelTwoHeadersAreShownInLocalTime)
{
    // readme.txt was written at 2021-03-04 15:41:56 UTC; the MS-DOS times of levels 0 and 1 hold
    // that local time as it was, the level-2 Unix time moves with the zone.
    const std::pair<const char*, const char*> zones[] = {{"JST-9", "2021-03-05 00:41:56"}, {"EST5EDT,M3.2.0,M11.1.0", "2021-03-04 10:41:56"}};
    for (const auto& [zone, levelTwoMoment] : zones) {
        SCOPED_TRACE(zone);
        const ScopedTimeZone scoped(zone);
        EXPECT_EQ(memberMoment(listFile(ArchiveFormat::Lzh, "lzh/level0.lzh").members.at(0)), "2021-03-04 15:41:56");
        EXPECT_EQ(memberMoment(listFile(ArchiveFormat::Lzh, "lzh/level1.lzh").members.at(0)), "2021-03-04 15:41:56");
        EXPECT_EQ(memberMoment(listFile(ArchiveFormat::Lzh, "lzh/level2.lzh").members.at(0)), levelTwoMoment);
    }
}

// Hands each name to the codec as it comes, marked so that the test sees what was decoded.
class RecordingCodec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override
    {
        inputs.emplace_back(bytes);
        return "<" + std::string(bytes) + ">";
    }
    mutable std::vector<std::string> inputs;
};

TEST(LzhReaderTest, WholePathsGoThroughTheCodecWithBackslashesForTheArchiveSeparators)
{
    // Shift_JIS names; 0xFF separates the folder parts in the extended header.
    const RecordingCodec codec;
    const Listing listing = listFile(ArchiveFormat::Lzh, "lzh/sjis.lzh", &codec);
    const std::string folder = "\x93\xfa\x96\x7b\\";
    EXPECT_EQ(codec.inputs, (std::vector<std::string>{folder, folder + "\x83\x81\x83\x82.txt"}));
    EXPECT_EQ(fullNames(listing), (std::vector<std::string>{"<" + folder + ">", "<" + folder + "\x83\x81\x83\x82.txt>"}));
}

// ---------------------------------------------------------------------------------------------
// Headers built byte by byte: MS-DOS level 1, layouts no tool here writes, damage.

struct Member {
    std::string name{};
    int level = 0;
    std::string method = "-lh5-";
    std::string data = "packed";
    char system = 'M';                     // level 1
    std::vector<std::string> extensions{}; // level 1: type byte and data of each extended header
    std::string levelZeroArea{};           // level 0: bytes after the CRC that the header size counts
};

// Unpacked size 1000, 2021-03-04 15:41:56.
std::string header(const Member& m)
{
    std::string chain;
    for (const std::string& extension : m.extensions) chain += le(extension.size() + 2, 2) + extension;
    if (m.level == 1) chain += le(0, 2);
    std::string out = std::string(2, '\0') + m.method + le((m.level == 1 ? chain.size() - 2 : 0) + m.data.size(), 4) + le(1000, 4) +
                      le(0x52647D3C, 4) + '\x20' + static_cast<char>(m.level) + static_cast<char>(m.name.size()) + m.name + le(0xBEEF, 2);
    if (m.level == 1) out += m.system + chain;
    out += m.levelZeroArea;
    out[0] = static_cast<char>(out.size() - 2 - (m.level == 1 ? chain.size() - 2 : 0));
    return out + m.data;
}

std::string archive(const std::vector<Member>& members, std::string_view end = std::string_view("\0", 1))
{
    std::string out;
    for (const Member& m : members) out += header(m);
    return out + std::string(end);
}

TEST(LzhReaderTest, HeadersAreWalkedByTheirOwnLevels)
{
    const std::string crcHeader("\x00\xAB\xCD", 3);
    const std::string unixTime("\x54\x00\x00\x00\x60", 5);
    const struct {
        std::string what;
        Member member;
        std::string name;
        std::uint64_t packed;
    } cases[] = {
        {"level 0", {.name = "src\\main.c"}, "src\\main.c", 6},
        {"level 0, data starting like level-1 fields", {.name = "a.c", .data = std::string("M\x05\x00packed", 9)}, "a.c", 9},
        {"level 0 with an area of its own after the CRC", {.name = "a.c", .levelZeroArea = "U\x01\x02\x03"}, "a.c", 6},
        {"MS-DOS level 1, M 05 00: the extended header counts", {.name = "a.c", .level = 1, .extensions = {crcHeader}}, "a.c", 11},
        {"MS-DOS level 1, M 00 00", {.name = "a.c", .level = 1}, "a.c", 6},
        {"MS-DOS level 1 -lh0-", {.name = "a.c", .level = 1, .method = "-lh0-", .extensions = {crcHeader}}, "a.c", 11},
        {"MS-DOS level 1 -lh6-", {.name = "a.c", .level = 1, .method = "-lh6-", .extensions = {crcHeader}}, "a.c", 6},
        {"MS-DOS level 1, folder header first", {.name = "a.c", .level = 1, .extensions = {std::string("\x02" "doc\xff", 5), crcHeader}}, "doc\\a.c", 6},
        {"Unix level 1 with a folder and a Unix time", {.name = "a.c", .level = 1, .system = 'U', .extensions = {crcHeader, unixTime, "\x02usr/src"}}, "usr\\src\\a.c", 6},
        {"level 1, name in a file-name header", {.name = "A.C", .level = 1, .system = 0, .extensions = {"\x01long name.text"}}, "long name.text", 6},
        {"level 0, names with / and 0xFF", {.name = "usr/share\xffx.txt"}, "usr\\share\\x.txt", 6},
        {"empty name", {.name = ""}, "", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The member twice, then a plain one: each is found where the one before ends.
        const Listing listing = listLzh(archive({c.member, c.member, {.name = "last.txt"}}));
        ASSERT_EQ(fullNames(listing), (std::vector<std::string>{c.name, c.name, "last.txt"}));
        EXPECT_EQ(listing.members[0].packedSize, c.packed);
        EXPECT_EQ(listing.members[0].unpackedSize, 1000u);
        EXPECT_EQ(memberMoment(listing.members[0]), "2021-03-04 15:41:56");
    }
}

TEST(LzhReaderTest, TheWalkEndsAtAZeroByteTheTenThousandthMemberOrDamage)
{
    std::string many;
    for (int i = 0; i < 10001; ++i) many += header({.name = std::to_string(i), .data = ""});
    std::string levelTwoTooSmall = readFile(testData("lzh/level2.lzh"));
    levelTwoTooSmall[0] = 25;
    // The size of the first extended header, 2, sits in the last two bytes of the fixed header;
    // the byte after them would make it a folder-name header.
    std::string shortExtension = archive({{.name = "a", .level = 1, .data = "\x02zz", .system = 'U'}, {.name = "b"}});
    shortExtension[static_cast<unsigned char>(shortExtension[0])] = 2;
    const struct {
        std::string what;
        std::string bytes;
        std::size_t rows;
    } cases[] = {
        {"the single end byte", std::string(1, '\0'), 0},
        {"one member, then the end byte and another header", archive({{.name = "a"}}, '\0' + header({.name = "b"})), 1},
        {"one member, then one byte that is not 0", archive({{.name = "a"}}, "x"), 1},
        {"10,001 members", many, 10000},
        {"level-2 header size below its fixed part", levelTwoTooSmall, 0},
        {"extended header too short to hold itself", shortExtension, 2},
        {"compressed size past the end of the file", header({.name = "a"}).replace(7, 4, "\xff\xff\xff\xff") + header({.name = "b"}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listLzh(c.bytes);
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(listing.members.size(), c.rows);
    }
}

} // namespace
} // namespace quenarch
