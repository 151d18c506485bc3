#include "archive/cab_reader.h"

#include "archive/member_collector.h"
#include "archive/peer_listing.h"
#include "platform/automation_error.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quenarch {
namespace {

const Utf8OrWindows1252Codec desktopCodec;

struct Listing {
    ReadVerdict verdict = ReadVerdict::Archive;
    std::vector<ArchiveMember> members;
};

Listing list(std::string_view bytes, const TextCodec& codec = desktopCodec)
{
    MemberCollector sink;
    Listing listing;
    listing.verdict = ReadCabArchive({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, sink, codec);
    EXPECT_EQ(sink.comment, "");
    listing.members = std::move(sink.members);
    return listing;
}

std::string fixture(const std::string& name) { return test::readFile(test::testData("cab/" + name)); }

std::vector<std::string> names(const Listing& listing)
{
    std::vector<std::string> result;
    for (const ArchiveMember& m : listing.members) result.push_back(m.extension.empty() ? m.baseName : m.baseName + "." + m.extension);
    return result;
}

// ---------------------------------------------------------------------------------------------
// Cabinets written by gcab, compared with what 7-Zip and lsar list for them.

struct ExpectedRow {
    std::string peerPath; // as 7-Zip prints it
    bool listed = true;
    std::string base{};
    std::string extension{};
};

struct RealCabinet {
    std::string name;
    std::vector<ExpectedRow> rows;
    friend void PrintTo(const RealCabinet& cabinet, std::ostream* out) { *out << cabinet.name; }
};

const std::vector<ExpectedRow> threeRows = {
    {"readme.txt", true, "readme", "txt"}, {"setup.exe", true, "setup", "exe"}, {"data/help.hlp", true, "help", "hlp"}};

const RealCabinet realCabinets[] = {
    {"three", threeRows},
    {"three-mszip", threeRows},
    {"names",
     {
         {"archive.tar.gz", true, "archive.tar", "gz"},
         {"notes.", true, "notes.", ""},
         {".profile", false},
         {"  .cfg", false},
         {"README", true, "README", ""},
         {"REPORT.DOC", true, "REPORT", "DOC"},
         {"docs/api/index.html", true, "index", "html"},
     }},
    {"utf8",
     {
         {"café.txt", true, "café", "txt"},
         {"Ärger/Überblick.doc", true, "Überblick", "doc"},
         {"日本/メモ.txt", true, "メモ", "txt"},
         {"plain.txt", true, "plain", "txt"},
     }},
    // Flagged as UTF-8 but no UTF-8: the desktop codec reads it as Windows-1252.
    {"latin1", {{"caf\xe9.txt", true, "café", "txt"}}},
};

class CabRealCabinetTest : public testing::TestWithParam<RealCabinet> {};

TEST_P(CabRealCabinetTest, ListsWhatThePeersList)
{
    const RealCabinet& cabinet = GetParam();
    const std::vector<test::PeerEntry> sevenZip = test::sevenZipEntries(test::testData("cab/" + cabinet.name + ".7z.txt"));
    const std::vector<test::PeerEntry> lsar = test::lsarEntries(test::testData("cab/" + cabinet.name + ".lsar.json"));
    const Listing listing = list(fixture(cabinet.name + ".cab"));
    EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
    ASSERT_EQ(sevenZip.size(), cabinet.rows.size());
    ASSERT_EQ(lsar.size(), cabinet.rows.size());

    std::size_t next = 0;
    for (std::size_t i = 0; i < cabinet.rows.size(); ++i) {
        const ExpectedRow& expected = cabinet.rows[i];
        SCOPED_TRACE(expected.peerPath);
        EXPECT_EQ(sevenZip[i].path, expected.peerPath);
        if (!expected.listed) continue;
        ASSERT_LT(next, listing.members.size());
        const ArchiveMember& member = listing.members[next++];
        EXPECT_EQ(member.baseName, expected.base);
        EXPECT_EQ(member.extension, expected.extension);
        EXPECT_EQ(member.packedSize, 0u);
        EXPECT_EQ(member.crcText, "0");
        for (const test::PeerEntry& peer : {sevenZip[i], lsar[i]}) {
            EXPECT_EQ(member.unpackedSize, peer.size);
            EXPECT_EQ(test::momentText(member), peer.modified);
        }
    }
    EXPECT_EQ(next, listing.members.size());
}

INSTANTIATE_TEST_SUITE_P(Gcab, CabRealCabinetTest, testing::ValuesIn(realCabinets), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

// Upper-cases ASCII letters, so that a test sees which names went through the codec.
class UpperCaseCodec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override
    {
        std::string text(bytes);
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
        return text;
    }
};

TEST(CabReaderTest, OnlyNamesNotFlaggedAsUtf8GoThroughTheCodec)
{
    const UpperCaseCodec upper;
    EXPECT_EQ(names(list(fixture("utf8.cab"), upper)), (std::vector<std::string>{"café.txt", "Überblick.doc", "メモ.txt", "PLAIN.TXT"}));
    EXPECT_EQ(names(list(fixture("latin1.cab"), upper)), (std::vector<std::string>{"CAF\xe9.TXT"}));
}

// ---------------------------------------------------------------------------------------------
// Cabinets built byte by byte: layouts gcab does not write, damage.

void put(std::string& out, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

std::string fileEntry(std::string_view name, std::uint16_t time = 0x7D3C, std::uint16_t attributes = 0x20)
{
    std::string out;
    put(out, 1234, 4); // unpacked size
    put(out, 0, 4);    // offset in the folder
    put(out, 0, 2);    // folder
    put(out, 0x5264, 2); // 2021-03-04
    put(out, time, 2);
    put(out, attributes, 2);
    return out + std::string(name) + '\0';
}

// A cabinet header announcing `files` entries, with `between` (reserved areas, set links,
// folder entries) between the header and the file entries.
std::string cabinet(std::uint16_t files, const std::string& entries, const std::string& between = {}, std::uint16_t flags = 0)
{
    std::string out = "MSCF";
    put(out, 0, 4);
    put(out, 36 + between.size() + entries.size(), 4);
    put(out, 0, 4);
    put(out, 36 + between.size(), 4); // first file entry
    put(out, 0, 4);
    out += "\x03\x01";
    put(out, 1, 2); // folders
    put(out, files, 2);
    put(out, flags, 2);
    put(out, 0x1234, 2); // set id
    put(out, 0, 2);
    return out + between + entries;
}

TEST(CabReaderTest, TheWalkFollowsTheFirstEntryOffsetAndEndsWithTheCountOrTheFile)
{
    const std::string three = fileEntry("a.txt") + fileEntry("b.txt") + fileEntry("c.txt");
    // Reserve sizes (header 4, folder 2, data 0), the header's reserved bytes, the previous and
    // next cabinet and disk names, and a folder entry with its 2 reserved bytes.
    const std::string reserved = std::string("\x04\x00\x02\x00", 4) + "RSVD" + std::string("prev.cab\0Disk 1\0next.cab\0Disk 3\0", 32) +
                                 std::string(8, '\0') + "rr";
    struct Case {
        std::string what;
        std::string bytes;
        std::vector<std::string> names;
        ReadVerdict verdict = ReadVerdict::Archive;
    };
    const Case cases[] = {
        {"no files announced", cabinet(0, three), {}},
        {"reserved areas and set links before the entries", cabinet(3, three, reserved, 0x0007), {"a.txt", "b.txt", "c.txt"}},
        {"40,000 announced, 3 in the file", cabinet(40000, three), {"a.txt", "b.txt", "c.txt"}},
        {"2 announced of 3", cabinet(2, three), {"a.txt", "b.txt"}},
        {"a name ending in \\ gives no row", cabinet(3, fileEntry("a.txt") + fileEntry("docs\\") + fileEntry("x\\b.txt")), {"a.txt", "b.txt"}},
        {"a name without its end byte", cabinet(2, fileEntry("a.txt") + fileEntry("b.txt").substr(0, 21)), {"a.txt"}},
        {"first entry past the end of the file", cabinet(3, "").replace(16, 4, "\xff\xff\xff\x7f"), {}},
        {"a header cut short", cabinet(3, "").substr(0, 35), {}},
        {"the signature alone", "MSCF", {}},
        {"an empty file", "", {}, ReadVerdict::NotAnArchive},
        {"three bytes of the signature", "MSC", {}, ReadVerdict::NotAnArchive},
        {"a ZIP archive", test::readFile(test::testData("zip/comment.zip")), {}, ReadVerdict::NotAnArchive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = list(c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_EQ(names(listing), c.names);
    }
}

TEST(CabReaderTest, CabinetsCutShortListTheWholeEntries)
{
    const std::string whole = fixture("three.cab");
    const std::vector<std::string> all = names(list(whole));
    std::size_t previous = 0;
    for (std::size_t length = 4; length < whole.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut at " << length);
        const std::vector<std::string> listed = names(list(std::string_view(whole).substr(0, length)));
        ASSERT_GE(listed.size(), previous);
        ASSERT_TRUE(std::equal(listed.begin(), listed.end(), all.begin()));
        previous = listed.size();
    }
    EXPECT_EQ(previous, all.size());
}

TEST(CabReaderTest, AStoredTimeThatIsNoTimeOfDayGivesNoTimeAndTheWalkGoesOn)
{
    const Listing listing = list(cabinet(2, fileEntry("a.txt", 0xC000) + fileEntry("b.txt")));
    ASSERT_EQ(listing.members.size(), 2u);
    EXPECT_TRUE(listing.members[0].date.has_value());
    EXPECT_FALSE(listing.members[0].time.has_value());
    EXPECT_EQ(test::momentText(listing.members[1]), "2021-03-04 15:41:56");
}

TEST(CabReaderTest, AnErrorRaisedWhileAddingAMemberLeavesTheReader)
{
    class FailingSecondAdd final : public MemberSink {
    public:
        void beginArchive(std::string_view) override {}
        void setComment(std::string) override {}
        void archiveInvalid() override {}
        void addMember(const ArchiveMember& member) override
        {
            if (++added == 2) throw errors::overflow();
            first = member.baseName;
        }
        int added = 0;
        std::string first;
    } sink;
    const std::string bytes = cabinet(3, fileEntry("a.txt") + fileEntry("b.txt") + fileEntry("c.txt"));
    EXPECT_THROW(ReadCabArchive({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, sink, desktopCodec), AutomationError);
    EXPECT_EQ(sink.added, 2);
    EXPECT_EQ(sink.first, "a");
}

} // namespace
} // namespace quenarch
