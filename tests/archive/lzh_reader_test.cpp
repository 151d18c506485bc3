#include "archive/lzh_reader.h"

#include "archive/member_collector.h"
#include "archive/peer_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace quenarch {
namespace {

const Utf8OrWindows1252Codec desktopCodec;

std::vector<ArchiveMember> list(std::string_view bytes, const TextCodec& codec = desktopCodec)
{
    MemberCollector sink;
    EXPECT_EQ(ReadLzhArchive({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, sink, codec), ReadVerdict::Archive);
    EXPECT_EQ(sink.comment, "");
    return sink.members;
}

std::string fixture(const std::string& name) { return test::readFile(test::testData("lzh/" + name)); }

std::vector<std::string> names(const std::vector<ArchiveMember>& members)
{
    std::vector<std::string> result;
    for (const ArchiveMember& m : members) result.push_back(m.extension.empty() ? m.baseName : m.baseName + "." + m.extension);
    return result;
}

// Sets TZ for one test and puts the previous one back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) previous_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        previous_ ? ::setenv("TZ", previous_->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> previous_;
};

// ---------------------------------------------------------------------------------------------
// Archives written by jLHA, compared with what 7-Zip and lsar list for them.

struct ExpectedRow {
    std::string peerPath; // as 7-Zip prints it
    std::string base;
    std::string extension;
};

const std::vector<ExpectedRow> treeRows = {
    {"readme.txt", "readme", "txt"},         {"src", "src\\", ""},
    {"src/sub", "src\\sub\\", ""},           {"src/sub/deep.h", "src\\sub\\deep", "h"},
    {"src/main.c", "src\\main", "c"},        {"empty.txt", "empty", "txt"},
    {"notes.", "notes.", ""},                {".profile", "", "profile"},
    {"REPORT.DOC", "REPORT", "DOC"},         {"caf\xe9.txt", "café", "txt"},
    {"archive.tar.gz", "archive.tar", "gz"},
};

struct RealArchive {
    std::string name;
    std::vector<ExpectedRow> rows;
    std::optional<std::size_t> sevenZipGivesUpAfter{}; // rows 7-Zip lists before it reports an error
    friend void PrintTo(const RealArchive& archive, std::ostream* out) { *out << archive.name; }
};

const RealArchive realArchives[] = {
    {"level0", treeRows},
    {"level1", treeRows},
    {"level2", treeRows},
    {"methods", {{"six.txt", "six", "txt"}, {"seven.txt", "seven", "txt"}, {"stored.txt", "stored", "txt"}, {"five.txt", "five", "txt"}}},
    {"mixed-levels", {{"zero.txt", "zero", "txt"}, {"two.txt", "two", "txt"}, {"one.txt", "one", "txt"}}},
    {"long-name", {{std::string(218, 'a') + ".txt", std::string(218, 'a'), "txt"}, {"short.txt", "short", "txt"}}, 1},
};

class LzhRealArchiveTest : public testing::TestWithParam<RealArchive> {};

TEST_P(LzhRealArchiveTest, ListsWhatThePeersList)
{
    const ScopedTimeZone utc("UTC"); // the zone the peers listed in
    const auto& [archive, rows, sevenZipRows] = GetParam();
    const std::vector<test::PeerEntry> sevenZip = test::sevenZipEntries(test::testData("lzh/" + archive + ".7z.txt"));
    const std::vector<test::PeerEntry> lsar = test::lsarEntries(test::testData("lzh/" + archive + ".lsar.json"));
    const std::vector<ArchiveMember> members = list(fixture(archive + ".lzh"));
    ASSERT_EQ(sevenZip.size(), sevenZipRows.value_or(rows.size()));
    ASSERT_EQ(lsar.size(), rows.size());
    ASSERT_EQ(members.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].peerPath);
        EXPECT_EQ(members[i].baseName, rows[i].base);
        EXPECT_EQ(members[i].extension, rows[i].extension);
        EXPECT_EQ(members[i].crcText, "0");
        std::vector<test::PeerEntry> peers = {lsar[i]};
        if (i < sevenZip.size()) {
            EXPECT_EQ(sevenZip[i].path, rows[i].peerPath);
            peers.push_back(sevenZip[i]);
        }
        for (const test::PeerEntry& peer : peers) {
            EXPECT_EQ(members[i].unpackedSize, peer.size);
            EXPECT_EQ(members[i].packedSize, peer.packed);
            EXPECT_EQ(test::momentText(members[i]), peer.modified);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Jlha, LzhRealArchiveTest, testing::ValuesIn(realArchives), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(LzhReaderTest, UnixTimesOfLevelTwoHeadersAreShownInLocalTime)
{
    // readme.txt was written at 2021-03-04 15:41:56 UTC; the MS-DOS times of levels 0 and 1 hold
    // that local time as it was, the level-2 Unix time moves with the zone.
    const std::pair<const char*, const char*> zones[] = {
        {"UTC", "2021-03-04 15:41:56"},
        {"JST-9", "2021-03-05 00:41:56"},
        {"EST5EDT,M3.2.0,M11.1.0", "2021-03-04 10:41:56"},
    };
    for (const auto& [zone, levelTwoMoment] : zones) {
        SCOPED_TRACE(zone);
        const ScopedTimeZone scoped(zone);
        EXPECT_EQ(test::momentText(list(fixture("level0.lzh")).at(0)), "2021-03-04 15:41:56");
        EXPECT_EQ(test::momentText(list(fixture("level1.lzh")).at(0)), "2021-03-04 15:41:56");
        EXPECT_EQ(test::momentText(list(fixture("level2.lzh")).at(0)), levelTwoMoment);
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
    const std::vector<ArchiveMember> members = list(fixture("sjis.lzh"), codec);
    const std::string folder = "\x93\xfa\x96\x7b\\";
    EXPECT_EQ(codec.inputs, (std::vector<std::string>{folder, folder + "\x83\x81\x83\x82.txt"}));
    EXPECT_EQ(names(members), (std::vector<std::string>{"<" + folder + ">", "<" + folder + "\x83\x81\x83\x82.txt>"}));
}

// ---------------------------------------------------------------------------------------------
// Headers built byte by byte: MS-DOS level 1, layouts no tool here writes, damage.

void put(std::string& out, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

struct Member {
    std::string name{};
    int level = 0;
    std::string method = "-lh5-";
    std::string data = "packed";
    char system = 'M';                   // level 1
    std::vector<std::string> extensions{}; // level 1: type byte and data of each extended header
    std::string levelZeroArea{};         // level 0: bytes after the CRC that the header size counts
    std::uint16_t time = 0x7D3C;         // 15:41:56
};

std::string header(const Member& m)
{
    std::string chain;
    for (const std::string& extension : m.extensions) {
        put(chain, extension.size() + 2, 2);
        chain += extension;
    }
    if (m.level == 1) put(chain, 0, 2);
    std::string out(2, '\0');
    out += m.method;
    put(out, (m.level == 1 ? chain.size() - 2 : 0) + m.data.size(), 4);
    put(out, 1000, 4);
    put(out, m.time, 2);
    put(out, 0x5264, 2); // 2021-03-04
    out += '\x20';
    out += static_cast<char>(m.level);
    out += static_cast<char>(m.name.size());
    out += m.name;
    put(out, 0xBEEF, 2);
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
    const std::string extendedHeaderCrc("\x00\xAB\xCD", 3);
    const std::string unixTime("\x54\x00\x00\x00\x60", 5);
    struct Case {
        std::string what;
        Member member;
        std::string name;
        std::uint64_t packed;
    };
    const Case cases[] = {
        {"level 0 -lh5-", {.name = "src\\main.c"}, "src\\main.c", 6},
        {"level 0, data starting like level-1 fields", {.name = "a.c", .data = std::string("M\x05\x00packed", 9)}, "a.c", 9},
        {"level 0 with an area of its own after the CRC", {.name = "a.c", .levelZeroArea = "U\x01\x02\x03"}, "a.c", 6},
        {"MS-DOS level 1, 5-byte extended header", {.name = "a.c", .level = 1, .extensions = {extendedHeaderCrc}}, "a.c", 11},
        {"MS-DOS level 1, no extended header", {.name = "a.c", .level = 1}, "a.c", 6},
        {"MS-DOS level 1 -lh0-", {.name = "a.c", .level = 1, .method = "-lh0-", .extensions = {extendedHeaderCrc}}, "a.c", 11},
        {"MS-DOS level 1 -lh6-", {.name = "a.c", .level = 1, .method = "-lh6-", .extensions = {extendedHeaderCrc}}, "a.c", 6},
        {"MS-DOS level 1, folder header first",
         {.name = "a.c", .level = 1, .extensions = {std::string("\x02" "doc\xff", 5), extendedHeaderCrc}}, "doc\\a.c", 6},
        {"Unix level 1 with a folder and a Unix time",
         {.name = "a.c", .level = 1, .system = 'U', .extensions = {extendedHeaderCrc, unixTime, "\x02usr/src"}}, "usr\\src\\a.c", 6},
        {"level 1, name in a file-name header", {.name = "A.C", .level = 1, .system = 0, .extensions = {"\x01long name.text"}}, "long name.text", 6},
        {"level 0, names with / and 0xFF", {.name = "usr/share\xffx.txt"}, "usr\\share\\x.txt", 6},
        {"empty name", {.name = ""}, "", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The member twice, then a plain one: each is found where the one before ends.
        const std::vector<ArchiveMember> members = list(archive({c.member, c.member, {.name = "last.txt"}}));
        EXPECT_EQ(names(members), (std::vector<std::string>{c.name, c.name, "last.txt"}));
        ASSERT_EQ(members.size(), 3u);
        EXPECT_EQ(members[0].packedSize, c.packed);
        EXPECT_EQ(members[0].unpackedSize, 1000u);
        EXPECT_EQ(test::momentText(members[0]), "2021-03-04 15:41:56");
    }
}

TEST(LzhReaderTest, TheWalkEndsAtAZeroByteTheEndOfTheFileOrTheTenThousandthMember)
{
    struct Case {
        std::string what;
        std::string bytes;
        std::size_t rows;
    };
    std::string many;
    for (int i = 0; i < 10001; ++i) many += header({.name = std::to_string(i) + ".c", .data = ""});
    const Case cases[] = {
        {"an empty file", "", 0},
        {"the single end byte", "\0", 0},
        {"one member, then the end byte and another header", archive({{.name = "a"}}, '\0' + header({.name = "b"})), 1},
        {"one member, then one byte that is not 0", archive({{.name = "a"}}, "x"), 1},
        {"one member, no end byte", archive({{.name = "a"}}, ""), 1},
        {"10,001 members", many, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(list(c.bytes).size(), c.rows);
    }
}

TEST(LzhReaderTest, AStoredTimeThatIsNoTimeOfDayGivesNoTime)
{
    const std::vector<ArchiveMember> members = list(archive({{.name = "a", .time = 0xC000}, {.name = "b"}}));
    ASSERT_EQ(members.size(), 2u);
    EXPECT_TRUE(members[0].date.has_value());
    EXPECT_FALSE(members[0].time.has_value());
    EXPECT_EQ(test::momentText(members[1]), "2021-03-04 15:41:56");
}

TEST(LzhReaderTest, ArchivesCutShortListTheMembersWhoseHeadersAreWhole)
{
    for (const std::string name : {"level0.lzh", "level1.lzh", "level2.lzh"}) {
        const std::string whole = fixture(name);
        const std::vector<std::string> all = names(list(whole));
        std::size_t previous = 0;
        for (std::size_t length = 0; length < whole.size(); ++length) {
            SCOPED_TRACE(testing::Message() << name << " cut at " << length);
            const std::vector<std::string> listed = names(list(std::string_view(whole).substr(0, length)));
            ASSERT_GE(listed.size(), previous);
            ASSERT_TRUE(std::equal(listed.begin(), listed.end(), all.begin()));
            previous = listed.size();
        }
    }
}

TEST(LzhReaderTest, HostileSizesNeitherCrashNorHang)
{
    std::string levelTwoTooSmall = fixture("level2.lzh");
    levelTwoTooSmall[0] = 25;
    // The size of the first extended header, 2, sits in the last two bytes of the fixed header;
    // the byte after them would make it a folder-name header.
    std::string shortExtension = archive({{.name = "a", .level = 1, .data = "\x02zz", .system = 'U'}, {.name = "b"}});
    shortExtension[static_cast<unsigned char>(shortExtension[0])] = 2;
    const std::string hugePacked = std::string(header({.name = "a"})).replace(7, 4, "\xff\xff\xff\xff") + header({.name = "b"});
    struct Case {
        std::string what;
        std::string bytes;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"level-2 header size below its fixed part", levelTwoTooSmall, {}},
        {"extended header too short to hold itself", shortExtension, {"a", "b"}},
        {"compressed size past the end of the file", hugePacked, {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(names(list(c.bytes)), c.names);
    }
}

} // namespace
} // namespace quenarch
