#include "archive/zip_reader.h"

#include "archive/byte_source.h"
#include "archive/member_collector.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quenarch {
namespace {

struct Listing {
    ReadVerdict verdict = ReadVerdict::Archive;
    std::string comment;
    std::vector<ArchiveMember> members;
};

const TextCodec& desktopCodec()
{
    static const Utf8OrWindows1252Codec codec;
    return codec;
}

Listing listBytes(std::string_view bytes, const TextCodec& codec = desktopCodec())
{
    MemberCollector sink;
    Listing listing;
    listing.verdict = ReadZipArchive({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, sink, codec);
    EXPECT_FALSE(sink.invalid) << "the verdict is the caller's to report";
    listing.comment = std::move(sink.comment);
    listing.members = std::move(sink.members);
    return listing;
}

Listing listFile(const std::filesystem::path& path, const TextCodec& codec = desktopCodec())
{
    std::error_code error;
    const ByteSource file = ByteSource::open(path, error);
    EXPECT_FALSE(error) << path << ": " << error.message();
    const auto bytes = file.bytes();
    return listBytes({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, codec);
}

std::vector<std::string> baseNames(const Listing& listing)
{
    std::vector<std::string> names;
    for (const ArchiveMember& member : listing.members) names.push_back(member.baseName);
    return names;
}

// "YYYY-MM-DD hh:mm:ss" of a member, empty when it has no date or no time.
std::string momentText(const ArchiveMember& member)
{
    if (!member.date || !member.time) return {};
    const DateParts p = splitDate(combineDateAndTime(*member.date, *member.time));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Real archives, compared with what 7-Zip lists for them (NAME.7z.txt, made by `7zz l -slt`).

struct PeerEntry {
    std::string path{};
    std::uint64_t size = 0;
    std::uint64_t packed = 0;
    std::string modified{}; // to the second
    std::uint32_t crc = 0;
};

struct PeerListing {
    std::string comment;
    std::vector<PeerEntry> entries;
};

PeerListing sevenZipListing(const std::string& archive)
{
    std::istringstream text(test::readFile(test::testData("zip/" + archive + ".7z.txt")));
    PeerListing listing;
    bool inEntries = false;
    for (std::string line; std::getline(text, line);) {
        if (line == "----------") {
            inEntries = true;
            continue;
        }
        const std::size_t equals = line.find(" = ");
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 3);
        if (!inEntries) {
            if (key == "Comment") listing.comment = value;
            continue;
        }
        if (key == "Path") listing.entries.push_back({value});
        if (listing.entries.empty()) continue;
        PeerEntry& entry = listing.entries.back();
        if (key == "Size") entry.size = std::stoull(value);
        if (key == "Packed Size") entry.packed = std::stoull(value);
        if (key == "Modified") entry.modified = value.substr(0, 19);
        if (key == "CRC" && !value.empty()) entry.crc = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
    }
    return listing;
}

struct ExpectedRow {
    std::string peerPath; // the member as 7-Zip names it
    bool listed = true;
    std::string base;
    std::string extension;
};

ExpectedRow row(std::string peerPath, std::string base, std::string extension)
{
    return {std::move(peerPath), true, std::move(base), std::move(extension)};
}

ExpectedRow noRow(std::string peerPath) { return {std::move(peerPath), false, {}, {}}; }

struct RealArchive {
    std::string name;
    std::vector<ExpectedRow> rows; // one per member, in directory order
};

const std::vector<ExpectedRow> sfxRows = {row("setup.ini", "setup", "ini"), row("bin/tool.exe", "tool", "exe")};

const RealArchive realArchives[] = {
    {"tree",
     {
         noRow("docs"),
         row("docs/api", "api/", ""),
         row("docs/api/readme.txt", "api/readme", "txt"),
         row("docs/api/v2/index.html", "api/v2/index", "html"),
         row("archive.tar.gz", "archive.tar", "gz"),
         row("notes.", "notes.", ""),
         noRow(".profile"),
         row("readme", "readme", ""),
         row("empty.txt", "empty", "txt"),
         row("REPORT.DOC", "REPORT", "DOC"),
         noRow("  .cfg"),
         row("old.txt", "old", "txt"),
     }},
    {"comment", {row("letter.txt", "letter", "txt"), row("data/figures.csv", "figures", "csv")}},
    {"utf8-infozip",
     {
         row("café.txt", "café", "txt"),
         noRow("Ärger"),
         row("Ärger/Überblick.doc", "Überblick", "doc"),
         row("日本/メモ.txt", "メモ", "txt"),
         row("plain.txt", "plain", "txt"),
     }},
    {"utf8-7zip",
     {
         row("café.txt", "café", "txt"),
         row("plain.txt", "plain", "txt"),
         noRow("Ärger"),
         row("Ärger/Überblick.doc", "Überblick", "doc"),
         row("日本/メモ.txt", "メモ", "txt"),
     }},
    {"utf8-python",
     {
         row("café.txt", "café", "txt"),
         noRow("Ärger"),
         row("Ärger/Überblick.doc", "Überblick", "doc"),
         row("日本/メモ.txt", "メモ", "txt"),
         row("plain.txt", "plain", "txt"),
     }},
    // 7-Zip prints these names as the bytes they are; the desktop codec reads them as Windows-1252.
    {"cp1252-infozip",
     {
         row("caf\xe9.txt", "café", "txt"),
         row("price \x80 list.txt", "price € list", "txt"),
         noRow("na\xefve"),
         row("na\xefve/r\xe9sum\xe9.doc", "résumé", "doc"),
     }},
    {"zip64", {row("big.txt", "big", "txt"), row("small.bin", "small", "bin")}},
    {"empty", {}},
    {"sfx-prepended", sfxRows},
    {"sfx-adjusted", sfxRows},
};

class ZipRealArchiveTest : public testing::TestWithParam<RealArchive> {};

TEST_P(ZipRealArchiveTest, ListsWhatSevenZipLists)
{
    const RealArchive& archive = GetParam();
    const PeerListing peer = sevenZipListing(archive.name);
    ASSERT_EQ(peer.entries.size(), archive.rows.size()) << "the table does not describe " << archive.name << ".zip";

    const Listing listing = listFile(test::testData("zip/" + archive.name + ".zip"));
    EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
    EXPECT_EQ(listing.comment, peer.comment);

    std::size_t next = 0;
    for (std::size_t i = 0; i < archive.rows.size(); ++i) {
        const ExpectedRow& expected = archive.rows[i];
        const PeerEntry& entry = peer.entries[i];
        SCOPED_TRACE(entry.path);
        ASSERT_EQ(entry.path, expected.peerPath);
        if (!expected.listed) continue;
        ASSERT_LT(next, listing.members.size());
        const ArchiveMember& member = listing.members[next++];
        EXPECT_EQ(member.baseName, expected.base);
        EXPECT_EQ(member.extension, expected.extension);
        EXPECT_EQ(member.unpackedSize, entry.size);
        EXPECT_EQ(member.packedSize, entry.packed);
        EXPECT_EQ(std::stoul(member.crcText, nullptr, 16), entry.crc) << member.crcText;
        EXPECT_EQ(momentText(member), entry.modified);
    }
    EXPECT_EQ(next, listing.members.size());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ZipRealArchiveTest, testing::ValuesIn(realArchives), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// Upper-cases ASCII letters, so that a test sees which texts went through the codec.
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

TEST(ZipReaderTest, OnlyTextsNotMarkedUtf8GoThroughTheCodec)
{
    const UpperCaseCodec upper;
    const Utf8Codec utf8;
    struct Case {
        std::string archive;
        const TextCodec& codec;
        std::vector<std::string> bases;
        std::string comment;
    };
    const Case cases[] = {
        // 7-Zip marks the non-ASCII names only.
        {"utf8-7zip", upper, {"café", "PLAIN", "Überblick", "メモ"}, ""},
        {"utf8-python", upper, {"café", "Überblick", "メモ", "PLAIN"}, ""},
        {"utf8-infozip", upper, {"CAFé", "ÜBERBLICK", "メモ", "PLAIN"}, ""},
        {"comment", upper, {"LETTER", "FIGURES"}, "QUARTERLY FIGURES, SECOND DRAFT"},
        // A host that chose UTF-8 gets replacement characters for Windows-1252 bytes.
        {"cp1252-infozip", utf8, {"caf\uFFFD", "price \uFFFD list", "r\uFFFDsum\uFFFD"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const Listing listing = listFile(test::testData("zip/" + c.archive + ".zip"), c.codec);
        EXPECT_EQ(baseNames(listing), c.bases);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

// ---------------------------------------------------------------------------------------------
// Archives written at build time by Python's zipfile (tests/data/zip/make_many_members.py).

class ZipManyMembersTest : public testing::TestWithParam<int> {};

TEST_P(ZipManyMembersTest, ListsEveryMember)
{
#ifndef QUENARCH_GENERATED_TEST_DATA
    GTEST_SKIP() << "built without Python: the many-member archives were not written";
#else
    const int count = GetParam();
    const Listing listing = listFile(std::filesystem::path(QUENARCH_GENERATED_TEST_DATA) / "zip" /
                                     ("many-" + std::to_string(count) + ".zip"));
    ASSERT_EQ(listing.members.size(), static_cast<std::size_t>(count));
    static constexpr const char* extensions[] = {"txt", "dat", "bin"};
    for (const int i : {0, 1, 32767, 32768, 39999, 65535, 65536, count - 1}) {
        if (i >= count) continue;
        SCOPED_TRACE(i);
        const ArchiveMember& member = listing.members[static_cast<std::size_t>(i)];
        char base[16];
        std::snprintf(base, sizeof base, "item%05d", i);
        EXPECT_EQ(member.baseName, base);
        EXPECT_EQ(member.extension, extensions[i % 3]);
        EXPECT_EQ(member.unpackedSize, static_cast<std::uint64_t>(i % 10));
        EXPECT_EQ(member.packedSize, static_cast<std::uint64_t>(i % 10));
        char moment[32];
        std::snprintf(moment, sizeof moment, "%04d-%02d-%02d %02d:%02d:%02d", 1980 + i % 40, 1 + i % 12, 1 + i % 28, i % 24,
                      i % 60, 2 * (i % 30));
        EXPECT_EQ(momentText(member), moment);
    }
#endif
}

// 40,000 overflows a signed 16-bit count; 70,000 needs the Zip64 end record.
INSTANTIATE_TEST_SUITE_P(Generated, ZipManyMembersTest, testing::Values(40000, 70000));

// ---------------------------------------------------------------------------------------------
// Damaged and odd layouts that no tool writes, built byte by byte.

void putU16(std::string& out, std::uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void putU32(std::string& out, std::uint32_t value)
{
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

void putU64(std::string& out, std::uint64_t value)
{
    putU32(out, static_cast<std::uint32_t>(value));
    putU32(out, static_cast<std::uint32_t>(value >> 32));
}

struct Header {
    std::string name{};
    std::uint16_t flags = 0;
    std::uint16_t time = 0x7D3C; // 15:41:56
    std::uint16_t date = 0x5264; // 2021-03-04
    std::uint32_t crc = 0x12345678;
    std::uint32_t packed = 10;
    std::uint32_t unpacked = 20;
    std::string extra{};
    std::optional<std::uint16_t> declaredExtraLength{}; // when the field lies about the extra's length
};

std::string centralHeader(const Header& h)
{
    std::string out;
    putU32(out, 0x02014B50);
    putU16(out, 0x031E); // made by: Unix, 3.0
    putU16(out, 20);
    putU16(out, h.flags);
    putU16(out, 0); // stored
    putU16(out, h.time);
    putU16(out, h.date);
    putU32(out, h.crc);
    putU32(out, h.packed);
    putU32(out, h.unpacked);
    putU16(out, static_cast<std::uint16_t>(h.name.size()));
    putU16(out, h.declaredExtraLength.value_or(static_cast<std::uint16_t>(h.extra.size())));
    putU16(out, 0); // comment length
    putU16(out, 0); // disk
    putU16(out, 0); // internal attributes
    putU32(out, 0); // external attributes
    putU32(out, 0); // local header offset
    return out + h.name + h.extra;
}

std::string directory(const std::vector<Header>& headers)
{
    std::string out;
    for (const Header& h : headers) out += centralHeader(h);
    return out;
}

std::string endRecord(std::uint16_t entries, std::size_t directorySize, std::uint32_t directoryOffset,
                      std::string_view comment = {}, std::optional<std::uint16_t> declaredCommentLength = {})
{
    std::string out;
    putU32(out, 0x06054B50);
    putU16(out, 0);
    putU16(out, 0);
    putU16(out, entries);
    putU16(out, entries);
    putU32(out, static_cast<std::uint32_t>(directorySize));
    putU32(out, directoryOffset);
    putU16(out, declaredCommentLength.value_or(static_cast<std::uint16_t>(comment.size())));
    return out + std::string(comment);
}

// The usual layout without local headers and data (the reader never looks at them): the
// directory at offset 0 and the end record after it.
std::string archiveOf(const std::vector<Header>& headers, std::optional<std::uint16_t> declaredEntries = {})
{
    const std::string central = directory(headers);
    return central + endRecord(declaredEntries.value_or(static_cast<std::uint16_t>(headers.size())), central.size(), 0);
}

// The end record first and the directory after it, so that the directory runs to the end of the
// file and cutting the file cuts the directory.
std::string archiveWithDirectoryLast(const std::vector<Header>& headers, std::optional<std::uint16_t> declaredEntries = {})
{
    const std::string central = directory(headers);
    return endRecord(declaredEntries.value_or(static_cast<std::uint16_t>(headers.size())), central.size(), 22) + central;
}

std::string extraBlock(std::uint16_t id, std::string_view data)
{
    std::string out;
    putU16(out, id);
    putU16(out, static_cast<std::uint16_t>(data.size()));
    return out + std::string(data);
}

std::string zip64Block(std::initializer_list<std::uint64_t> values)
{
    std::string data;
    for (const std::uint64_t value : values) putU64(data, value);
    return extraBlock(0x0001, data);
}

// Info-ZIP Unicode Path field: version, CRC-32 of the stored name, UTF-8 name.
std::string unicodePathBlock(std::uint32_t storedNameCrc, std::string_view utf8Name, std::uint8_t version = 1)
{
    std::string data(1, static_cast<char>(version));
    putU32(data, storedNameCrc);
    return extraBlock(0x7075, data + std::string(utf8Name));
}

// Extended timestamp field as Info-ZIP writes it.
const std::string timestampBlock = extraBlock(0x5455, std::string("\x03\xc4\xff\x40\x60", 5));

TEST(ZipReaderTest, EndRecordIsSoughtInTheLast50004Bytes)
{
    const std::string endOnly = endRecord(0, 0, 0);
    struct Case {
        std::string what;
        std::string bytes;
        ReadVerdict verdict;
    };
    const Case cases[] = {
        {"an empty file is not judged", "", ReadVerdict::Archive},
        {"1 byte", endOnly.substr(0, 1), ReadVerdict::NotAnArchive},
        {"2 bytes", endOnly.substr(0, 2), ReadVerdict::NotAnArchive},
        {"4 bytes", endOnly.substr(0, 4), ReadVerdict::NotAnArchive},
        {"5 bytes", endOnly.substr(0, 5), ReadVerdict::NotAnArchive},
        {"6 bytes starting an end record", endOnly.substr(0, 6), ReadVerdict::Archive},
        {"a signature too near the end to start a record", std::string(100, 'a') + endOnly.substr(0, 5), ReadVerdict::NotAnArchive},
        {"no signature", std::string(1000, '\0'), ReadVerdict::NotAnArchive},
        {"record 50,004 bytes before the end", endOnly + std::string(49982, 'c'), ReadVerdict::Archive},
        {"record 50,005 bytes before the end", endOnly + std::string(49983, 'c'), ReadVerdict::NotAnArchive},
        {"entries 0", archiveOf({{"a.txt"}, {"b.txt"}}, 0), ReadVerdict::Archive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_TRUE(listing.members.empty());
    }
}

TEST(ZipReaderTest, CommentLengthIsUnsignedAndBoundedByTheFile)
{
    const std::string longComment(49982, 'c'); // above 32,767, yet the record still lies in the window
    EXPECT_EQ(listBytes(endRecord(0, 0, 0, longComment)).comment, longComment);
    // A comment cut short by the end of the file gives what there is.
    EXPECT_EQ(listBytes(endRecord(0, 0, 0, "cut short", 100)).comment, "cut short");
}

TEST(ZipReaderTest, DirectoryCutShortListsTheWholeHeadersOnly)
{
    const std::vector<Header> headers = {{"first.txt"}, {.name = "second.txt", .extra = timestampBlock}, {"third.txt"}};
    const std::string whole = archiveWithDirectoryLast(headers);
    // Where each header's fixed part and name end.
    std::vector<std::size_t> headerEnds;
    std::size_t at = 22;
    for (const Header& h : headers) {
        headerEnds.push_back(at + 46 + h.name.size());
        at += 46 + h.name.size() + h.extra.size();
    }
    for (std::size_t length = 22; length <= whole.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut at " << length);
        std::size_t complete = 0;
        while (complete < headerEnds.size() && headerEnds[complete] <= length) ++complete;
        const Listing listing = listBytes(std::string_view(whole).substr(0, length));
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        ASSERT_EQ(listing.members.size(), complete);
    }
}

TEST(ZipReaderTest, WalkEndsAtTheEndRecordOrTheEndOfTheFileWhateverTheCountClaims)
{
    const std::vector<Header> two = {{"a.txt"}, {"b.txt"}};
    std::string endRecordInside = directory({{"a.txt"}}) + endRecord(0, 0, 0) + directory({{"c.txt"}});
    endRecordInside += endRecord(3, endRecordInside.size(), 0);
    std::string pastTheEnd = directory(two);
    pastTheEnd += endRecord(2, pastTheEnd.size(), 0x7FFFFF00);
    struct Case {
        std::string what;
        std::string bytes;
        std::vector<std::string> bases;
    };
    const Case cases[] = {
        {"65,535 entries, then the end record", archiveOf(two, 65535), {"a", "b"}},
        {"65,535 entries, then the end of the file", archiveWithDirectoryLast(two, 65535), {"a", "b"}},
        {"an end record among the headers", endRecordInside, {"a"}},
        {"directory offset past the end of the file", pastTheEnd, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(c.bytes);
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(baseNames(listing), c.bases);
    }
}

// A Zip64 end record, its locator (pointing to the record at recordOffset) and an end record
// whose count, size and offset are saturated.
std::string zip64Tail(std::uint64_t recordOffset, std::uint64_t entries, std::uint64_t directorySize, std::uint64_t directoryOffset)
{
    std::string out;
    putU32(out, 0x06064B50);
    putU64(out, 44); // size of the rest of the record
    putU16(out, 0x032D);
    putU16(out, 45);
    putU32(out, 0);
    putU32(out, 0);
    putU64(out, entries);
    putU64(out, entries);
    putU64(out, directorySize);
    putU64(out, directoryOffset);
    putU32(out, 0x07064B50);
    putU32(out, 0);
    putU64(out, recordOffset);
    putU32(out, 1);
    return out + endRecord(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
}

TEST(ZipReaderTest, Zip64EndRecordGivesTheCountAndOffsetThatDidNotFit)
{
    const std::vector<Header> headers = {{"a.txt"}, {"b.txt"}};
    const std::string central = directory(headers);
    // The usual order: directory, Zip64 end record, locator, end record. Were the count of the
    // end record taken, the walk would read the Zip64 record as a third header.
    EXPECT_EQ(baseNames(listBytes(central + zip64Tail(central.size(), 2, central.size(), 0))), (std::vector<std::string>{"a", "b"}));
    // A count no file can hold, over a directory cut inside its second name: the walk still ends.
    const std::size_t tailSize = 56 + 20 + 22;
    const std::string cut = zip64Tail(0, ~std::uint64_t{0}, central.size(), tailSize) + central.substr(0, central.size() - 2);
    EXPECT_EQ(baseNames(listBytes(cut)), (std::vector<std::string>{"a"}));
}

TEST(ZipReaderTest, ExtraFieldsRunningPastTheirBoundsAreNotRead)
{
    // Its extra field claims more than the file holds: the member is listed, the walk ends.
    const std::string pastTheFile = archiveWithDirectoryLast({{.name = "a.txt", .extra = "0123456789", .declaredExtraLength = 60000}, {"b.txt"}});
    // A Zip64 field claiming 16 bytes in an extra field of 12: its sizes are not taken, and the
    // next header is found where the extra field length puts it.
    const std::string zip64PastItsBlock =
        archiveOf({{.name = "a.txt", .unpacked = 0xFFFFFFFF, .extra = zip64Block({5'000'000'000}).replace(2, 2, "\x10\x00", 2)}, {"b.txt"}});
    struct Case {
        std::string what;
        std::string bytes;
        std::vector<std::string> bases;
        std::uint64_t firstUnpackedSize;
    };
    const Case cases[] = {
        {"extra field past the end of the file", pastTheFile, {"a"}, 20},
        {"Zip64 field past the end of its extra field", zip64PastItsBlock, {"a", "b"}, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(c.bytes);
        EXPECT_EQ(baseNames(listing), c.bases);
        ASSERT_FALSE(listing.members.empty());
        EXPECT_EQ(listing.members[0].unpackedSize, c.firstUnpackedSize);
    }
}

TEST(ZipReaderTest, SizesAreUnsignedAndZip64FieldsHoldTheOverflowingOnes)
{
    struct Case {
        std::string what;
        Header header;
        std::uint64_t unpacked;
        std::uint64_t packed;
    };
    const Case cases[] = {
        {"above 2 GiB without Zip64", {.name = "a.bin", .packed = 0x80000000, .unpacked = 0xFFFFFFFE}, 0xFFFFFFFE, 0x80000000},
        {"all bits set without a Zip64 field", {.name = "a.bin", .packed = 0xFFFFFFFF, .unpacked = 0xFFFFFFFF}, 0xFFFFFFFF, 0xFFFFFFFF},
        {"unpacked size in Zip64",
         {.name = "a.bin", .packed = 4'900'000, .unpacked = 0xFFFFFFFF, .extra = zip64Block({5'000'000'000})},
         5'000'000'000,
         4'900'000},
        {"packed size in Zip64",
         {.name = "a.bin", .packed = 0xFFFFFFFF, .unpacked = 7, .extra = zip64Block({4'500'000'000})},
         7,
         4'500'000'000},
        {"both sizes and the header offset in Zip64, after another field",
         {.name = "a.bin", .packed = 0xFFFFFFFF, .unpacked = 0xFFFFFFFF,
          .extra = timestampBlock + zip64Block({6'000'000'000, 5'000'000'000, 42})},
         6'000'000'000,
         5'000'000'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(archiveOf({c.header}));
        ASSERT_EQ(listing.members.size(), 1u);
        EXPECT_EQ(listing.members[0].unpackedSize, c.unpacked);
        EXPECT_EQ(listing.members[0].packedSize, c.packed);
    }
}

TEST(ZipReaderTest, AStoredTimeThatIsNoTimeOfDayGivesNoTime)
{
    const std::uint16_t times[] = {0xC000 /* 24:00:00 */, 0x7D3C, 0x0780 /* 00:60:00 */, 0x8000, 0x001E /* 00:00:60 */};
    std::vector<Header> headers;
    for (const std::uint16_t time : times) headers.push_back({.name = "m.txt", .time = time});
    const Listing listing = listBytes(archiveOf(headers));
    std::vector<std::string> moments;
    for (const ArchiveMember& member : listing.members) {
        EXPECT_TRUE(member.date.has_value());
        moments.push_back(momentText(member));
    }
    EXPECT_EQ(moments, (std::vector<std::string>{"", "2021-03-04 15:41:56", "", "2021-03-04 16:00:00", ""}));
}

TEST(ZipReaderTest, CrcTextIsUpperCaseHexadecimalWithoutLeadingZeros)
{
    const std::vector<Header> headers = {{.name = "a", .crc = 0x0000ABCD}, {.name = "b", .crc = 0}, {.name = "c", .crc = 0xFFFFFFFF}, {.name = "d", .crc = 0x00F00000}};
    std::vector<std::string> texts;
    for (const ArchiveMember& member : listBytes(archiveOf(headers)).members) texts.push_back(member.crcText);
    EXPECT_EQ(texts, (std::vector<std::string>{"ABCD", "0", "FFFFFFFF", "F00000"}));
}

TEST(ZipReaderTest, NamesMarkedUtf8AreReadAsUtf8)
{
    // An OEM (code page 850) name with its UTF-8 form in a Unicode Path field, as Windows tools
    // that keep the old code page write it. Read through the desktop codec the stored bytes give
    // "caf‚" (0x82 is a low quotation mark in Windows-1252).
    const std::string stored = "Ordner/caf\x82.txt";
    const std::uint32_t storedCrc = 0x064A507A;
    struct Case {
        std::string what;
        Header header;
        std::string base;
    };
    const Case cases[] = {
        {"Unicode Path field", {.name = stored, .extra = unicodePathBlock(storedCrc, "Ordner/café.txt")}, "café"},
        {"Unicode Path field after another field",
         {.name = stored, .extra = timestampBlock + unicodePathBlock(storedCrc, "Ordner/café.txt")},
         "café"},
        {"Unicode Path field of a name changed since", {.name = stored, .extra = unicodePathBlock(storedCrc ^ 1, "Ordner/café.txt")}, "caf‚"},
        {"Unicode Path field of an unknown version", {.name = stored, .extra = unicodePathBlock(storedCrc, "Ordner/café.txt", 2)}, "caf‚"},
        {"Unicode Path field too short to hold its CRC", {.name = stored, .extra = extraBlock(0x7075, "\x01\x7A\x50")}, "caf‚"},
        {"UTF-8 flag", {.name = "Ordner/café.txt", .flags = 0x0800}, "café"},
        {"UTF-8 flag on bytes that are not UTF-8", {.name = "caf\xe9.txt", .flags = 0x0800}, "caf\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(archiveOf({c.header}));
        ASSERT_EQ(listing.members.size(), 1u);
        EXPECT_EQ(listing.members[0].baseName, c.base);
        EXPECT_EQ(listing.members[0].extension, "txt");
    }
}

} // namespace
} // namespace quenarch
