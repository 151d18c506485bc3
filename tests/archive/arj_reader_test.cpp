#include "archive/arj_reader.h"

#include "archive/listing_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace quenarch {
namespace {

using namespace test;

Listing listArj(std::string_view bytes, const TextCodec& codec = Utf8OrWindows1252Codec()) { return listBytes(ReadArjArchive, bytes, codec); }
std::string fixture(const std::string& name) { return readFile(testData("arj/" + name)); }

std::string le16(std::uint32_t value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)}; }
std::string le32(std::uint32_t value) { return le16(value & 0xFFFF) + le16(value >> 16); }

// A hand-built header: by default the oldest layout, a 30-byte fixed part; DOS 2021-03-04 15:41:56.
struct Header {
    std::string name{};
    std::string data{};
    std::string comment{};
    std::uint8_t fixedSize = 30;
    std::vector<std::string> extended{};
    std::optional<std::uint16_t> basicSize{};
    std::optional<std::uint32_t> packedSize{};
};

std::string header(const Header& h)
{
    std::string basic(std::max<std::size_t>(h.fixedSize, 30), '\0');
    basic[0] = static_cast<char>(h.fixedSize);
    basic.replace(8, 16, le32(0x52647D3C) + le32(h.packedSize.value_or(static_cast<std::uint32_t>(h.data.size()))) +
                             le32(static_cast<std::uint32_t>(2 * h.data.size())) + le32(0xABCD));
    basic += h.name + '\0' + h.comment + '\0';
    std::string out = "\x60\xEA" + le16(h.basicSize.value_or(static_cast<std::uint16_t>(basic.size()))) + basic + "HCRC";
    for (const std::string& extended : h.extended) out += le16(static_cast<std::uint32_t>(extended.size())) + extended + "ECRC";
    return out + le16(0) + h.data;
}

std::string archive(const std::vector<Header>& members, const Header& main = {"test.arj"})
{
    std::string out = header(main);
    for (const Header& member : members) out += header(member);
    return out + std::string("\x60\xEA\0\0", 4);
}

// Archives made by arj (tests/data/arj/make_fixtures.sh). 7-Zip gives the names, sizes, CRCs and
// comments; lsar the times (7-Zip reads Unix-host times as DOS words), up to the first extended
// header, where it stops.
struct RealArchive {
    std::string name;
    std::vector<std::string> rows;
    std::vector<std::string> momentsPastLsar;
};

const RealArchive realArchives[] = {
    {"unix", {"README|TXT", "GUIDE|DOC", "EMPTY|TXT", "|HIDDEN", "SPACED |TXT", "CAFÉ|TXT", "RÉSUMÉ|DOC"}, {}},
    {"dos", {"README|TXT", "GUIDE|DOC"}, {}},
    {"comments", {"README|TXT", "EMPTY|TXT", "GUIDE|DOC"}, {"2000-01-01 00:00:00", "2022-11-05 07:08:10"}},
};

class ArjRealArchiveTest : public testing::TestWithParam<RealArchive> {};

TEST_P(ArjRealArchiveTest, ListsWhatThePeersList)
{
    const RealArchive& archive = GetParam();
    PeerFieldListing sevenZip = sevenZipFields(testData("arj/" + archive.name + ".7z.txt"));
    PeerFieldListing lsar = lsarFields(testData("arj/" + archive.name + ".lsar.json"));
    const Listing listing = listArj(fixture(archive.name + ".arj"));
    EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
    EXPECT_EQ(listing.comment, sevenZip.archive["Comment"]);
    EXPECT_EQ(listing.comment, lsar.archive["XADComment"]);
    EXPECT_EQ(rowNames(listing), archive.rows);
    ASSERT_EQ(listing.members.size(), sevenZip.members.size());
    ASSERT_EQ(listing.members.size(), lsar.members.size() + archive.momentsPastLsar.size());
    for (std::size_t i = 0; i < listing.members.size(); ++i) {
        const ArchiveMember& member = listing.members[i];
        PeerFields& peer = sevenZip.members[i];
        SCOPED_TRACE(peer["Path"]);
        EXPECT_EQ(member.unpackedSize, std::stoull(peer["Size"]));
        EXPECT_EQ(member.packedSize, std::stoull(peer["Packed Size"]));
        EXPECT_EQ(member.crcText, peer["CRC"].substr(std::min(peer["CRC"].find_first_not_of('0'), std::size_t{7})));
        EXPECT_EQ(memberMoment(member), i < lsar.members.size() ? lsar.members[i]["XADLastModificationDate"].substr(0, 19)
                                                                : archive.momentsPastLsar[i - lsar.members.size()]);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ArjRealArchiveTest, testing::ValuesIn(realArchives), [](const auto& info) { return info.param.name; });

TEST(ArjReaderTest, UnixHostTimesAreShownInLocalTimeAndDosTimesAsStored)
{
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    const std::string unixMoment = memberMoment(listArj(fixture("unix.arj")).members.at(0));
    const std::string dosMoment = memberMoment(listArj(fixture("dos.arj")).members.at(0));
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(unixMoment, "2021-03-05 00:41:56");
    EXPECT_EQ(dosMoment, "2021-03-04 15:41:56");
}

TEST(ArjReaderTest, NamesAndCommentGoThroughTheCodec)
{
    const Utf8Codec utf8;
    EXPECT_EQ(rowNames(listArj(fixture("unix.arj"), utf8)).at(6), "R\uFFFDSUM\uFFFD|DOC");
    const std::string windows1252Comment = archive({}, {.name = "t.arj", .comment = "Caf\xe9"});
    EXPECT_EQ(listArj(windows1252Comment).comment, "Café");
    EXPECT_EQ(listArj(windows1252Comment, utf8).comment, "Caf\uFFFD");
}

TEST(ArjReaderTest, HeadersAreWalkedByTheirOwnSizes)
{
    const std::string longName(300, 'a');
    const std::string extendedCutShort = header({"t.arj"}) + header({.name = "a", .extended = {"owner"}});
    struct Case {
        std::string what;
        std::string bytes;
        std::vector<std::string> rows;
        std::string comment;
    };
    const Case cases[] = {
        {"main header and end header only", archive({}), {}, ""},
        {"30-byte fixed parts", archive({{"readme.txt", "Read me"}, {"docs/guide.doc", "text"}}, {"t.arj", "", "Hello"}), {"README|TXT", "GUIDE|DOC"}, "Hello"},
        {"packed size 0", archive({{"a.txt"}, {"b.txt", "b"}}), {"A|TXT", "B|TXT"}, ""},
        {"46-byte fixed parts, comments and extended headers",
         archive({{.name = "a.txt", .data = "aa", .comment = "note", .fixedSize = 46, .extended = {"owner", "x"}}, {.name = "b", .fixedSize = 46}},
                 {.name = "t.arj", .comment = "Archive\r\nnotes", .fixedSize = 34, .extended = {"main"}}),
         {"A|TXT", "B|"},
         "Archive\r\nnotes"},
        {"path parts and overlong names",
         archive({{"a/b/c.txt"}, {longName}, {"dir/" + longName}}),
         {"C|TXT", std::string(256, 'A') + "|", std::string(255, 'A') + "|"},
         ""},
        {"name without its zero byte ends with the basic header", archive({{.name = "abc", .basicSize = 33}, {"b"}}), {"ABC|"}, ""},
        {"basic header past the end of the file", archive({{.name = "a", .basicSize = 60000}}), {}, ""},
        {"fixed part shorter than 30 bytes", archive({{"a"}, {.name = "b", .fixedSize = 29}, {"c"}}), {"A|"}, ""},
        {"fixed part longer than the basic header", archive({{"a"}, {.name = "b", .fixedSize = 46, .basicSize = 40}, {"c"}}), {"A|"}, ""},
        {"basic header size 0 inside the archive", archive({{"a"}, {.name = "b", .basicSize = 0}, {"c"}}), {"A|"}, ""},
        {"packed size past the end of the file", archive({{.name = "a", .packedSize = 0xFFFFFFFF}, {"b"}}), {"A|"}, ""},
        {"extended header cut short", extendedCutShort.substr(0, extendedCutShort.size() - 6), {"A|"}, ""},
        {"not an ARJ archive", "Dear reader,\nthis is plain text.\n", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listArj(c.bytes);
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(rowNames(listing), c.rows);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

TEST(ArjReaderTest, ArchiveCutShortListsTheMembersWhoseBasicHeaderIsWhole)
{
    // lsar gives where each member's data start: 6 bytes (header CRC, no extended header) after
    // its basic header.
    const std::string whole = fixture("unix.arj");
    const PeerFieldListing lsar = lsarFields(testData("arj/unix.lsar.json"));
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const auto wholeHeaders = std::count_if(lsar.members.begin(), lsar.members.end(),
                                                [&](const PeerFields& m) { return std::stoull(m.at("XADDataOffset")) - 6 <= length; });
        EXPECT_EQ(listArj(whole.substr(0, length)).members.size(), static_cast<std::size_t>(wholeHeaders)) << "cut at " << length;
    }
}

} // namespace
} // namespace quenarch
