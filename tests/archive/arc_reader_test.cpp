#include "archive/arc_reader.h"

#include "archive/listing_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace quenarch {
namespace {

using namespace test;

Listing listArc(std::string_view bytes) { return listBytes(ReadArcArchive, bytes); }
std::string fixture(const std::string& name) { return readFile(testData("arc/" + name)); }

// Archives made by arc, and one written byte by byte in the layout of method 1, which arc no
// longer writes (tests/data/arc/make_fixtures.sh); compared with lsar (7-Zip has no ARC handler).
struct RealArchive {
    std::string name;
    std::vector<std::string> rows;
};

std::vector<std::string> oldStoredRows()
{
    std::vector<std::string> rows;
    for (int i = 1; i <= 16; ++i) rows.push_back((i < 10 ? "OLD0" : "OLD") + std::to_string(i) + "|TXT");
    rows.push_back("EMPTY|TXT");
    return rows;
}

const RealArchive realArchives[] = {
    {"mixed", {"ABCDEFGH|TXT", "EMPTY|TXT", "GUIDE|DOC", "NOTES|", "README|TXT", "SKEW|BIN", "lower|txt", "main|c"}},
    {"three", {"NOTES|", "README|TXT", "lower|txt"}},
    {"old-stored", oldStoredRows()},
};

class ArcRealArchiveTest : public testing::TestWithParam<RealArchive> {};

TEST_P(ArcRealArchiveTest, ListsWhatLsarLists)
{
    const RealArchive& archive = GetParam();
    PeerFieldListing lsar = lsarFields(testData("arc/" + archive.name + ".lsar.json"));
    const Listing listing = listArc(fixture(archive.name + ".arc"));
    EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
    EXPECT_EQ(rowNames(listing), archive.rows);
    ASSERT_EQ(listing.members.size(), lsar.members.size());
    for (std::size_t i = 0; i < listing.members.size(); ++i) {
        const ArchiveMember& member = listing.members[i];
        PeerFields& peer = lsar.members[i];
        SCOPED_TRACE(peer["XADFileName"]);
        EXPECT_EQ(member.baseName + (member.extension.empty() ? "" : "." + member.extension), peer["XADFileName"]);
        EXPECT_EQ(member.unpackedSize, std::stoull(peer["XADFileSize"]));
        EXPECT_EQ(member.packedSize, std::stoull(peer["XADCompressedSize"]));
        EXPECT_EQ(memberMoment(member), peer["XADLastModificationDate"].substr(0, 19));
        char crc[8];
        std::snprintf(crc, sizeof crc, "%X", static_cast<unsigned>(std::stoul(peer["ARCCRC16"])));
        EXPECT_EQ(member.crcText, crc);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ArcRealArchiveTest, testing::ValuesIn(realArchives), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

TEST(ArcReaderTest, ArchiveCutShortListsTheMembersWhoseHeaderIsWhole)
{
    // lsar gives where each member's data start, right after its header.
    const std::string whole = fixture("mixed.arc");
    const PeerFieldListing lsar = lsarFields(testData("arc/mixed.lsar.json"));
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const auto wholeHeaders = std::count_if(lsar.members.begin(), lsar.members.end(),
                                                [&](const PeerFields& m) { return std::stoull(m.at("XADDataOffset")) <= length; });
        const Listing listing = listArc(whole.substr(0, length));
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive) << "cut at " << length;
        EXPECT_EQ(listing.members.size(), static_cast<std::size_t>(wholeHeaders)) << "cut at " << length;
    }
}

std::string le16(std::uint32_t value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)}; }
std::string le32(std::uint32_t value) { return le16(value & 0xFFFF) + le16(value >> 16); }

struct Header {
    std::string name{}; // up to 13 bytes
    std::string data{};
    std::optional<std::uint32_t> packedSize{};
};

// A hand-built stored member (method 2) dated 2021-03-04 15:41:56.
std::string header(const Header& h)
{
    std::string name = h.name;
    name.resize(13, '\0');
    const auto size = static_cast<std::uint32_t>(h.data.size());
    return "\x1A\x02" + name + le32(h.packedSize.value_or(size)) + le16(0x5264) + le16(0x7D3C) + le16(0xBEEF) + le32(size) + h.data;
}

const std::string endMarker("\x1A\0", 2);

std::string archive(const std::vector<Header>& members, const std::string& end = endMarker)
{
    std::string out;
    for (const Header& member : members) out += header(member);
    return out + end;
}

TEST(ArcReaderTest, TheWalkEndsAtTheEndMarkerTheEndOfTheFileOrAByteThatIsNoMarker)
{
    struct Case {
        std::string what;
        std::string bytes;
        std::vector<std::string> rows;
        ReadVerdict verdict = ReadVerdict::Archive;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"end marker alone", endMarker, {}},
        {"first byte not the marker", "PK\x03\x04 not an ARC archive", {}, ReadVerdict::NotAnArchive},
        {"one byte, the marker", "\x1A", {}},
        {"one byte, not the marker", "x", {}, ReadVerdict::NotAnArchive},
        {"one stray byte after the members", archive({{"A", "a"}}, "x"), {"A|"}},
        {"a later header without the marker", archive({{"A", "a"}, {"B", "b"}}, "garbage"), {"A|", "B|"}, ReadVerdict::NotAnArchive},
        {"end method 128 and above", archive({{"A", "a"}}, "\x1A\x80") + header({"B"}), {"A|"}},
        {"13-character name field without a zero byte", archive({{"ABCDEFGH.TEXT"}}), {"ABCDEFGH|TEXT"}},
        {"packed size past the end of the file", archive({{.name = "A", .packedSize = 0xFFFFFFF0}, {"B"}}), {"A|"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listArc(c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_EQ(rowNames(listing), c.rows);
    }
}

TEST(ArcReaderTest, AtMost32767MembersAreListed)
{
    EXPECT_EQ(listArc(archive(std::vector<Header>(32768, {"A.TXT"}))).members.size(), 32767u);
}

} // namespace
} // namespace quenarch
