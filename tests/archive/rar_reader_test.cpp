#include "archive/rar_reader.h"

#include "platform/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quenarch {
namespace {

std::string fullName(const ArchiveMember& member) { return member.extension.empty() ? member.baseName : member.baseName + "." + member.extension; }

// What the reader reports for one file, and how often it let the host handle its messages.
class Listing final : public MemberSink {
public:
    void beginArchive(std::string_view) override {}
    void setComment(std::string text) override { comment = std::move(text); }
    void addMember(const ArchiveMember& member) override
    {
        if (members.size() == refuseMemberAt) throw errors::overflow();
        members.push_back(member);
        names.push_back(fullName(member));
    }
    void archiveInvalid() override {}
    void processPendingMessages() override { ++messageRounds; }

    std::size_t refuseMemberAt = std::string::npos;
    ReadVerdict verdict = ReadVerdict::Archive;
    std::string comment;
    std::vector<ArchiveMember> members;
    std::vector<std::string> names;
    int messageRounds = 0;
};

// Upper-cases ASCII letters, so that a test sees which names went through the codec.
class UpperCaseCodec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override
    {
        std::string text(bytes);
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return text;
    }
};

const TextCodec& desktopCodec()
{
    static const Utf8OrWindows1252Codec codec;
    return codec;
}

Listing listBytes(std::string_view bytes, const TextCodec& codec = desktopCodec(), std::size_t refuseMemberAt = std::string::npos)
{
    Listing listing;
    listing.refuseMemberAt = refuseMemberAt;
    listing.verdict = ReadRarArchive({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, listing, codec);
    return listing;
}

std::string fixture(const std::string& name) { return test::readFile(test::testData("rar/" + name + ".rar")); }

// "YYYY-MM-DD hh:mm:ss" of a member, empty without a date; the time part is left out when the
// member has a date but no time.
std::string momentText(const ArchiveMember& member)
{
    if (!member.date) return {};
    const DateParts p = splitDate(combineDateAndTime(*member.date, member.time.value_or(0)));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
    return member.time ? text : std::string(text, 10);
}

// Sets the time zone for one test and puts the previous one back.
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
        if (previous_) ::setenv("TZ", previous_->c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> previous_;
};

// ---------------------------------------------------------------------------------------------
// The committed archives, against the committed listings of lsar (NAME.lsar.json) and rarfile
// (NAME.rar.exp). Both peers were run in UTC.

struct PeerEntry {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t packed = 0;
    std::string modified; // to the second
    std::uint32_t crc = 0;
};

// The string of a JSON value, with its escapes undone (lsar writes other characters as they are).
std::string jsonText(std::string_view quoted)
{
    std::string text;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) text.push_back(quoted[i] == '\\' ? quoted[++i] : quoted[i]);
    return text;
}

// lsar writes one key a line; the keys of a member stand six spaces in.
std::vector<PeerEntry> lsarListing(const std::string& name)
{
    std::istringstream json(test::readFile(test::testData("rar/" + name + ".lsar.json")));
    std::vector<PeerEntry> entries;
    for (std::string line; std::getline(json, line);) {
        if (line == "    {") entries.emplace_back();
        if (entries.empty() || line.rfind("      \"", 0) != 0) continue;
        const std::size_t colon = line.find("\": ");
        const std::string key = line.substr(7, colon - 7);
        std::string value = line.substr(colon + 3);
        if (value.back() == ',') value.pop_back();
        PeerEntry& entry = entries.back();
        if (key == "XADFileName") entry.name = jsonText(value);
        if (key == "XADFileSize") entry.size = std::stoull(value);
        if (key == "XADCompressedSize") entry.packed = std::stoull(value);
        if (key == "XADLastModificationDate") entry.modified = jsonText(value).substr(0, 19);
        if (key == "RARCRC32" || key == "RAR5CRC32") entry.crc = static_cast<std::uint32_t>(std::stoul(value));
    }
    return entries;
}

struct RarfileListing {
    bool hasComment = false;
    std::vector<PeerEntry> entries;
};

RarfileListing rarfileListing(const std::string& name)
{
    std::istringstream text(test::readFile(test::testData("rar/" + name + ".rar.exp")));
    RarfileListing listing;
    const auto valueAfter = [](const std::string& line, const std::string& key) {
        const std::size_t at = line.find(key);
        return at == std::string::npos ? std::string() : line.substr(at + key.size(), line.find(' ', at) - at - key.size());
    };
    for (std::string line; std::getline(text, line);) {
        if (line.find("FILE: ") != std::string::npos) listing.entries.emplace_back();
        if (listing.entries.empty()) {
            listing.hasComment = listing.hasComment || line.rfind("  comment=", 0) == 0;
            continue;
        }
        PeerEntry& entry = listing.entries.back();
        if (line.rfind("  name=", 0) == 0) entry.name = line.substr(7);
        if (const std::string size = valueAfter(line, " dec="); !size.empty()) entry.size = std::stoull(size);
        if (const std::string crc = valueAfter(line, "crc=0x"); !crc.empty()) entry.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
        if (const std::size_t at = line.find("date_time="); at != std::string::npos) entry.modified = line.substr(at + 10, 19);
    }
    return listing;
}

struct RealArchive {
    std::string name;
    std::string comment;
    bool fromRarfile = true; // with a .exp listing

    bool rar5() const { return name.find("rar5") != std::string::npos; }
    // The peers show "/" for the separator; RAR 1.5 to 4.x store "\\", and so do we.
    std::string storedName(std::string peerName) const
    {
        if (!rar5()) std::replace(peerName.begin(), peerName.end(), '/', '\\');
        return peerName;
    }

    friend void PrintTo(const RealArchive& archive, std::ostream* out) { *out << archive.name; }
};

const RealArchive realArchives[] = {
    {"rar15-comment", "Present"},
    {"rar202-comment-nopsw", "Present"},
    {"rar3-comment-plain", "Present"},
    {"rar3-comment-hpsw", ""}, // its comment is encrypted along with every header
    {"rar3-readonly-win", ""},
    {"rar3-solid", ""},
    {"rar3-subdirs", ""},
    {"rar3-versions", ""},
    {"rar3-vols.part1", ""},
    {"rar5-hpsw", ""},
    {"rar5-solid", ""},
    {"rar5-subdirs", ""},
    {"test_read_format_rar", "", false},
    {"test_read_format_rar_encryption_header", "", false},
    {"test_read_format_rar_multivolume.part0001", "", false},
    {"test_read_format_rar_noeof", "", false},
    {"test_read_format_rar_subblock", "Present", false},
    {"test_read_format_rar_unicode", "", false},
    {"test_read_format_rar_windows", "", false},
    {"test_read_format_rar5_multiple_files", "", false},
    {"test_read_format_rar5_stored", "", false},
    {"test_read_format_rar5_unicode", "", false},
};

// What rarfile shows and we do not, archive by archive (see README.md in the data folder).
const std::map<std::string, std::vector<std::string>> rarfileOnly = {
    {"rar3-comment-hpsw", {"file1.txt", "file2.txt"}}, // read with the password
    {"rar5-hpsw", {"stest1.txt", "stest2.txt"}},
    {"rar3-vols.part1", {"vols/bigfile.txt", "vols/smallfile.txt"}}, // whole-file CRC; a later volume
};

class RarRealArchiveTest : public testing::TestWithParam<RealArchive> {
protected:
    ScopedTimeZone utc{"UTC"};
};

using RarRarfileArchiveTest = RarRealArchiveTest;

TEST_P(RarRealArchiveTest, ListsWhatLsarLists)
{
    const RealArchive& archive = GetParam();
    const Listing listing = listBytes(fixture(archive.name));
    EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
    EXPECT_EQ(listing.messageRounds, 1);
    EXPECT_EQ(listing.comment, archive.comment);

    const std::vector<PeerEntry> peer = lsarListing(archive.name);
    ASSERT_EQ(listing.members.size(), peer.size());
    for (std::size_t i = 0; i < peer.size(); ++i) {
        const ArchiveMember& member = listing.members[i];
        SCOPED_TRACE(peer[i].name);
        EXPECT_EQ(listing.names[i], archive.storedName(peer[i].name));
        EXPECT_EQ(member.unpackedSize, peer[i].size);
        EXPECT_EQ(member.packedSize, peer[i].packed);
        EXPECT_EQ(member.crcText, crcText(peer[i].crc));
        EXPECT_EQ(momentText(member), peer[i].modified);
    }
}

TEST_P(RarRarfileArchiveTest, AgreesOnTheMembersBothList)
{
    const RealArchive& archive = GetParam();
    const RarfileListing peer = rarfileListing(archive.name);
    const Listing listing = listBytes(fixture(archive.name));
    EXPECT_TRUE(listing.comment.empty() || peer.hasComment);
    const auto only = rarfileOnly.find(archive.name);
    std::size_t skipped = 0;
    for (const PeerEntry& entry : peer.entries) {
        SCOPED_TRACE(entry.name);
        if (only != rarfileOnly.end() && std::ranges::count(only->second, entry.name)) {
            ++skipped;
            continue;
        }
        // rarfile ends folder names with a separator.
        const std::string wanted = archive.storedName(entry.name);
        const auto member = std::ranges::find_if(listing.members, [&](const ArchiveMember& m) {
            return wanted == fullName(m) || wanted == fullName(m) + (archive.rar5() ? "/" : "\\");
        });
        ASSERT_NE(member, listing.members.end());
        EXPECT_EQ(member->unpackedSize, entry.size);
        EXPECT_EQ(member->crcText, crcText(entry.crc));
        // RAR 1.5 to 4.x: rarfile shows the extended time, we the DOS time, which keeps even seconds.
        std::string modified = entry.modified;
        if (!archive.rar5()) modified[18] = static_cast<char>('0' + (modified[18] - '0') / 2 * 2);
        EXPECT_EQ(momentText(*member), modified);
    }
    EXPECT_EQ(skipped, only == rarfileOnly.end() ? 0 : only->second.size()) << "the table of differences is out of date";
}

std::string testName(const testing::TestParamInfo<RealArchive>& info)
{
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

std::vector<RealArchive> rarfileArchives()
{
    std::vector<RealArchive> archives;
    std::ranges::copy_if(realArchives, std::back_inserter(archives), &RealArchive::fromRarfile);
    return archives;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RarRealArchiveTest, testing::ValuesIn(realArchives), testName);
INSTANTIATE_TEST_SUITE_P(Fixtures, RarRarfileArchiveTest, testing::ValuesIn(rarfileArchives()), testName);

TEST(RarReaderTest, ArchivesCutShortListTheWholeHeadersBeforeTheCut)
{
    for (const char* name : {"rar15-comment", "rar3-comment-plain", "rar3-subdirs", "rar5-subdirs", "test_read_format_rar_unicode"}) {
        const std::string bytes = fixture(name);
        const std::vector<std::string> whole = listBytes(bytes).names;
        std::size_t previous = 0;
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            SCOPED_TRACE(testing::Message() << name << " cut at " << length);
            const Listing listing = listBytes(std::string_view(bytes).substr(0, length));
            ASSERT_LE(listing.names.size(), whole.size());
            ASSERT_TRUE(std::equal(listing.names.begin(), listing.names.end(), whole.begin()));
            ASSERT_GE(listing.names.size(), previous);
            previous = listing.names.size();
            EXPECT_EQ(listing.messageRounds, listing.verdict == ReadVerdict::Archive ? 1 : 0);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// RAR 1.5 to 4.x layouts that no tool writes, and damage, built byte by byte.

std::string le(std::uint64_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> 8 * i & 0xFF));
    return out;
}

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
    std::uint16_t time = 0x7D3C; // 15:41:56
    std::string afterName{};     // salt and extended times
    std::string data = "abc";
    std::uint32_t packedHigh = 0; // with flag 0x100
    std::uint32_t unpackedHigh = 0;
};

std::string file(const File& f)
{
    std::string rest = le(f.data.size(), 4) + le(7, 4) + '\x03' + le(0x0000ABCD, 4) + le(f.time, 2) + le(0x5264, 2) + "\x1d\x30" +
                       le(f.name.size(), 2) + le(0x20, 4);
    if (f.flags & 0x100) rest += le(f.packedHigh, 4) + le(f.unpackedHigh, 4);
    return block(0x74, static_cast<std::uint16_t>(0x8000 | f.flags), rest + f.name + f.afterName) + f.data;
}

std::string rar(std::string_view blocks, std::string_view main = mainHeader()) { return marker + std::string(main) + std::string(blocks); }

// A service header (type 0x7A) carrying data, laid out like a file header.
std::string service(std::string_view name) { return block(0x7A, 0x8000, le(4, 4) + std::string(15, '\0') + le(name.size(), 2) + le(0, 4) + std::string(name)) + "data"; }

const std::string twoFiles = file({"a.txt"}) + file({"b.txt"});

TEST(RarReaderTest, MarkerAndMainHeaderDecideWhetherTheFileIsAnArchive)
{
    const std::string rar5Main = std::string("\0\0\0\0\x03\x01\x00\x00", 8);
    struct Case {
        std::string what;
        std::string bytes;
        ReadVerdict verdict;
        std::string comment;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"an empty file", "", ReadVerdict::NotAnArchive, "", {}},
        {"the marker cut short", marker.substr(0, 6), ReadVerdict::NotAnArchive, "", {}},
        {"the main header cut short", (marker + mainHeader()).substr(0, 19), ReadVerdict::NotAnArchive, "", {}},
        {"a main header of another type", marker + block(0x72, 0, std::string(6, '\0')), ReadVerdict::NotAnArchive, "", {}},
        {"a main header size from 0x8000", marker + block(0x73, 0, std::string(6, '\0'), 0x8000) + twoFiles, ReadVerdict::NotAnArchive, "", {}},
        {"seventh byte 2", "Rar!\x1A\x07\x02" + mainHeader() + twoFiles, ReadVerdict::NotAnArchive, "", {}},
        {"seventh byte 1 without the zero after it", "Rar!\x1A\x07\x01\x01" + rar5Main, ReadVerdict::NotAnArchive, "", {}},
        {"an empty ZIP archive", "PK\x05\x06" + std::string(18, '\0'), ReadVerdict::NotAnArchive, "", {}},
        {"a 13-byte main header", rar(twoFiles), ReadVerdict::Archive, "", {"a.txt", "b.txt"}},
        {"a main header of 20 bytes", rar(twoFiles, mainHeader(0x0002, "comment")), ReadVerdict::Archive, "Present", {"a.txt", "b.txt"}},
        {"a main header of 20 bytes cut short", rar("", mainHeader(0x0002, "comment")).substr(0, 25), ReadVerdict::NotAnArchive, "Present", {}},
        {"a main header claiming 5 bytes", marker + block(0x73, 0, std::string(6, '\0'), 5) + twoFiles, ReadVerdict::Archive, "", {"a.txt", "b.txt"}},
        {"encrypted headers", rar(twoFiles, mainHeader(0x0080)), ReadVerdict::Archive, "", {}},
        {"RAR5, its signature alone", std::string("Rar!\x1A\x07\x01\x00", 8), ReadVerdict::NotAnArchive, "", {}},
        {"RAR5 opening with a file header", std::string("Rar!\x1A\x07\x01\x00", 8) + std::string("\0\0\0\0\x03\x02\x00\x00", 8), ReadVerdict::NotAnArchive, "", {}},
        {"RAR5 with encrypted headers", std::string("Rar!\x1A\x07\x01\x00", 8) + std::string("\0\0\0\0\x03\x04\x00\x00", 8), ReadVerdict::Archive, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_EQ(listing.comment, c.comment);
        EXPECT_EQ(listing.names, c.names);
        EXPECT_EQ(listing.messageRounds, c.verdict == ReadVerdict::Archive ? 1 : 0);
    }
}

TEST(RarReaderTest, WalkStepsOverBlocksByTheirSizesAndEndsAtDamage)
{
    const std::string longName(300, 'n');
    struct Case {
        std::string what;
        std::string blocks;
        std::vector<std::string> names;
        std::string comment;
    };
    const Case cases[] = {
        {"fields after the name", file({.name = "a.txt", .flags = 0x1400, .afterName = std::string(8, 's') + std::string("\x00\xf0", 2)}) + file({"b.txt"}), {"a.txt", "b.txt"}, ""},
        {"the end-of-archive block", file({"a.txt"}) + block(0x7B, 0x4000, "") + file({"b.txt"}), {"a.txt"}, ""},
        {"a block of no known type", file({"a.txt"}) + block(0x3A, 0, "") + file({"b.txt"}), {"a.txt"}, ""},
        {"a header size below 7", file({"a.txt"}) + block(0x75, 0, "", 6) + file({"b.txt"}), {"a.txt"}, ""},
        {"a header that cannot hold its name", block(0x74, 0x8000, std::string(19, '\0') + le(40, 2) + le(0, 4)) + twoFiles, {}, ""},
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(rar(c.blocks));
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(listing.names, c.names);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

TEST(RarReaderTest, FileHeaderFieldsBecomeTheMember)
{
    const Listing listing = listBytes(rar(file({"docs\\readme.txt"}) + file({.name = "big.iso", .flags = 0x100, .data = "xy", .unpackedHigh = 2}) +
                                          file({.name = ".config", .flags = 0x00E0, .data = ""})));
    ASSERT_EQ(listing.members.size(), 3u);
    const ArchiveMember& plain = listing.members[0];
    EXPECT_EQ(plain.baseName, "docs\\readme");
    EXPECT_EQ(plain.extension, "txt");
    EXPECT_EQ(plain.unpackedSize, 7u);
    EXPECT_EQ(plain.packedSize, 3u);
    EXPECT_EQ(plain.crcText, "ABCD");
    EXPECT_EQ(momentText(plain), "2021-03-04 15:41:56");
    EXPECT_EQ(listing.members[1].unpackedSize, 0x2'0000'0007u); // high halves of the sizes
    EXPECT_EQ(listing.members[1].packedSize, 2u);
    EXPECT_EQ(listing.names[1], "big.iso");
    EXPECT_EQ(listing.members[2].baseName, ""); // a folder, listed with an empty base
}

TEST(RarReaderTest, AStoredTimeThatIsNoTimeOfDayGivesNoTime)
{
    std::string blocks;
    for (const std::uint16_t time : {0xC000 /* 24:00:00 */, 0x7D3C, 0x0780 /* 00:60:00 */, 0x001E /* 00:00:60 */})
        blocks += file({.name = "m.txt", .time = time});
    std::vector<std::string> moments;
    for (const ArchiveMember& member : listBytes(rar(blocks)).members) moments.push_back(momentText(member));
    EXPECT_EQ(moments, (std::vector<std::string>{"2021-03-04", "2021-03-04 15:41:56", "2021-03-04", "2021-03-04"}));
}

TEST(RarReaderTest, UnicodeNamesAreUnpackedAndOtherNamesGoThroughTheCodec)
{
    const UpperCaseCodec upper;
    const auto unicode = [](std::string_view field) { return rar(file({.name = std::string(field), .flags = 0x200})); };
    struct Case {
        std::string what;
        std::string bytes;
        std::string name;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(listBytes(c.bytes, upper).names, std::vector<std::string>{c.name});
    }
}

TEST(RarReaderTest, AMemberTheHostRefusesEndsTheWalk)
{
    for (const char* name : {"rar3-subdirs", "rar5-subdirs"}) {
        SCOPED_TRACE(name);
        const Listing listing = listBytes(fixture(name), desktopCodec(), 2);
        EXPECT_EQ(listing.members.size(), 2u);
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(listing.messageRounds, 1);
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
    std::uint64_t unpacked = 9;
};

std::string fileFields5(const File5& f)
{
    std::string fields = vint((f.unixTime ? 2 : 0) | 4) + vint(f.unpacked) + vint(0x20);
    if (f.unixTime) fields += le(*f.unixTime, 4);
    return fields + le(0x0000ABCD, 4) + vint(0) + vint(1) + vint(f.name.size()) + f.name;
}

std::string file5(const File5& f) { return block5(2, fileFields5(f), f.extra, "data"); }

// A file time record holding the modification time as Windows file time or as Unix seconds.
std::string windowsTime(std::uint64_t fileTime) { return vint(10) + vint(3) + vint(2) + le(fileTime, 8); }
std::string unixTime(std::uint32_t seconds) { return vint(6) + vint(3) + vint(3) + le(seconds, 4); }

std::string rar5(std::string_view blocks) { return std::string("Rar!\x1A\x07\x01\x00", 8) + block5(1, vint(0)) + std::string(blocks); }

TEST(RarReaderTest, Rar5FileHeadersBecomeMembersWithLocalTimes)
{
    const ScopedTimeZone india("IST-5:30");
    struct Case {
        std::string what;
        std::string blocks;
        std::vector<std::string> moments;
        std::string comment;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(rar5(c.blocks));
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        std::vector<std::string> moments;
        for (const ArchiveMember& member : listing.members) moments.push_back(momentText(member));
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
        EXPECT_EQ(listBytes(bytes, desktopCodec(), 5).names, std::vector<std::string>{"a"});
}

} // namespace
} // namespace quenarch
