// The archives of tests/data, made by real tools, against what 7-Zip and lsar list for them;
// and what every reader makes of them cut short or refused by the host.

#include "archive/peer_listing.h"
#include "quenarch/base/code_pages.h"

#include <algorithm>
#include <cctype>

namespace quenarch {
namespace {

using namespace test;

enum class OnRefusal { GoesOn, Stops, Raises };

// How a format's listing compares with the peers'.
struct Format {
    const char* folder; // under tests/data; also the file extension
    ArchiveFormat reader;
    bool namesFromLsar = false;  // the rows are lsar's names, "/" replaced by the separator
    char separator = '/';
    bool sevenZipTimes = true;   // ARJ: 7-Zip reads the Unix times of Unix hosts as DOS words
    bool showsCrc = true;        // LZH and CAB members show "0"
    bool showsPacked = true;     // CAB members show 0
    bool walksFromTheFront = true;
    std::uint64_t dataAfterHeader = 0; // ARJ: the header CRC and the end of the extended headers
    OnRefusal onRefusal = OnRefusal::GoesOn;
    // How names that are not UTF-8 read: the code page of the format's tools. 7-Zip shows such
    // names as their bytes, lsar guesses a code page of its own.
    std::string (*codePage)(std::string_view) = decodeIbm437;
};

const Format zip{.folder = "zip", .reader = ArchiveFormat::Zip, .walksFromTheFront = false};
const Format arj{.folder = "arj", .reader = ArchiveFormat::Arj, .sevenZipTimes = false, .dataAfterHeader = 6};
const Format lzh{.folder = "lzh", .reader = ArchiveFormat::Lzh, .showsCrc = false, .codePage = decodeWindows1252};
const Format arc{.folder = "arc", .reader = ArchiveFormat::Arc, .namesFromLsar = true};
const Format rar{.folder = "rar", .reader = ArchiveFormat::Rar, .namesFromLsar = true, .separator = '\\', .onRefusal = OnRefusal::Stops, .codePage = decodeWindows1252};
const Format rar5{.folder = "rar", .reader = ArchiveFormat::Rar, .namesFromLsar = true, .onRefusal = OnRefusal::Stops, .codePage = decodeWindows1252};
const Format cab{.folder = "cab", .reader = ArchiveFormat::Cab, .showsCrc = false, .showsPacked = false, .onRefusal = OnRefusal::Raises, .codePage = decodeWindows1252};

struct RealArchive {
    const Format* format;
    std::string name;
    // "BASE|EXTENSION" for each member the peers list, in their order; "-" where we list none.
    std::vector<std::string> rows{};
    std::optional<std::string> comment{}; // when the peers show it otherwise
    // The members' paths where neither peer shows them: lsar guesses a code page of its own,
    // and 7-Zip on Linux keeps the backslashes of DOS names.
    std::vector<std::string> paths{};
    friend void PrintTo(const RealArchive& archive, std::ostream* out) { *out << archive.name; }
};

const std::vector<std::string> utf8Rows = {"café|txt", "-", "Überblick|doc", "メモ|txt", "plain|txt"};
const std::vector<std::string> sfxRows = {"setup|ini", "tool|exe"};
const std::vector<std::string> lzhTreeRows = {"readme|txt", "src\\|", "src\\sub\\|", "src\\sub\\deep|h", "src\\main|c", "empty|txt",
                                              "notes.|", "|profile", "REPORT|DOC", "café|txt", "archive.tar|gz"};
const std::vector<std::string> cabThreeRows = {"readme|txt", "setup|exe", "help|hlp"};

const RealArchive realArchives[] = {
    {&zip, "tree", {"-", "api/|", "api/readme|txt", "api/v2/index|html", "archive.tar|gz", "notes.|", "-", "readme|", "empty|txt", "REPORT|DOC", "-", "old|txt"}},
    {&zip, "tree-7zip", {"-", "api/|", "api/readme|txt", "api/v2/|", "api/v2/index|html", "-", "notes.|", "readme|"}},
    {&zip, "dos-backslash", {"DOCS\\|", "DOCS\\README|TXT", "DOCS\\API\\INDEX|HTM", "SETUP|EXE"}, {}, {"DOCS", "DOCS/README.TXT", "DOCS/API/INDEX.HTM", "SETUP.EXE"}},
    {&zip, "comment", {"letter|txt", "figures|csv"}},
    {&zip, "utf8-infozip", utf8Rows},
    {&zip, "utf8-7zip", {"café|txt", "plain|txt", "-", "Überblick|doc", "メモ|txt"}},
    {&zip, "utf8-python", utf8Rows},
    // Names in Windows-1252 bytes: not UTF-8, so read in IBM437 as every ZIP tool does.
    {&zip, "cp1252-infozip", {"cafΘ|txt", "price Ç list|txt", "-", "rΘsumΘ|doc"}},
    {&zip, "cp437-infozip", {"filename_with_æoå|txt", "-", "Überblick|doc", "naïve ½|txt"}, "Grüße aus Zürich"},
    {&zip, "zip64", {"big|txt", "small|bin"}},
    {&zip, "empty", {}},
    {&zip, "sfx-prepended", sfxRows},
    {&zip, "sfx-adjusted", sfxRows},
    {&arj, "unix", {"README|TXT", "GUIDE|DOC", "EMPTY|TXT", "|HIDDEN", "SPACED |TXT", "CAFÉ|TXT", "RΘSUMΘ|DOC"}},
    {&arj, "dos", {"README|TXT", "GUIDE|DOC"}},
    {&arj, "comments", {"README|TXT", "EMPTY|TXT", "GUIDE|DOC"}},
    {&arj, "tree", {"INDEX|HTML", "GUIDE|DOC", "API|", "README|TXT", "EMPTY|", "DOCS|"}},
    {&arj, "ibm437", {"FILENAME_WITH_ÆOÅ|TXT", "GRÜßE|TXT"}, "Grüße"},
    {&lzh, "level0", lzhTreeRows},
    {&lzh, "level1", lzhTreeRows},
    {&lzh, "level2", lzhTreeRows},
    {&lzh, "methods", {"six|txt", "seven|txt", "stored|txt", "five|txt"}},
    {&lzh, "mixed-levels", {"zero|txt", "two|txt", "one|txt"}},
    {&lzh, "long-name", {std::string(218, 'a') + "|txt", "short|txt"}},
    {&arc, "mixed"},
    {&arc, "three"},
    {&arc, "old-stored"}, // method 1: 25-byte headers
    {&arc, "ibm437", {"CAFé.TXT", "ÄRGER.DOC"}, {}, {"CAFé.TXT", "ÄRGER.DOC"}},
    {&rar, "rar15-comment", {}, "Present"},
    {&rar, "rar202-comment-nopsw", {}, "Present"},
    {&rar, "rar3-comment-plain", {}, "Present"},
    {&rar, "rar3-comment-hpsw"}, // every header encrypted, the comment too
    {&rar, "rar3-readonly-win"},
    {&rar, "rar3-solid"},
    {&rar, "rar3-subdirs"},
    {&rar, "rar3-versions"},
    {&rar, "rar3-vols.part1"},
    {&rar, "test_read_format_rar"},
    {&rar, "test_read_format_rar_encryption_header"},
    {&rar, "test_read_format_rar_multivolume.part0001"},
    {&rar, "test_read_format_rar_noeof"},
    {&rar, "test_read_format_rar_subblock", {}, "Present"},
    {&rar, "test_read_format_rar_unicode"},
    {&rar, "test_read_format_rar_windows"},
    {&rar5, "rar5-hpsw"},
    {&rar5, "rar5-solid"},
    {&rar5, "rar5-subdirs"},
    {&rar5, "test_read_format_rar5_multiple_files"},
    {&rar5, "test_read_format_rar5_stored"},
    {&rar5, "test_read_format_rar5_unicode"},
    {&cab, "three", cabThreeRows},
    {&cab, "three-mszip", cabThreeRows},
    {&cab, "names", {"archive.tar|gz", "notes.|", "-", "-", "README|", "REPORT|DOC", "index|html"}},
    {&cab, "utf8", {"café|txt", "Überblick|doc", "メモ|txt", "plain|txt"}},
    {&cab, "latin1", {"café|txt"}}, // flagged as UTF-8, yet Latin-1 bytes
};

class RealArchiveTest : public testing::TestWithParam<RealArchive> {
protected:
    std::string file(const char* suffix) const { return std::string(GetParam().format->folder) + "/" + GetParam().name + suffix; }
    std::string archiveFile() const { return file(".") + GetParam().format->folder; }
    ScopedTimeZone utc{"UTC"}; // the zone the peers listed in
};

TEST_P(RealArchiveTest, AgreesWithThePeers)
{
    const RealArchive& archive = GetParam();
    const Format& format = *archive.format;
    const PeerListing sevenZip = sevenZipListing(file(".7z.txt"));
    const PeerListing lsar = lsarListing(file(".lsar.json"));
    const Listing listing = listFile(format.reader, archiveFile());
    EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
    EXPECT_EQ(listing.comment, archive.comment.value_or(sevenZip.comment));
    EXPECT_EQ(listing.comment, archive.comment.value_or(lsar.comment));

    std::vector<std::string> rows = archive.rows;
    for (PeerEntry entry : format.namesFromLsar && rows.empty() ? lsar.entries : std::vector<PeerEntry>{}) {
        std::replace(entry.path.begin(), entry.path.end(), '/', format.separator);
        rows.push_back(entry.path);
    }
    ASSERT_EQ(rows.size(), std::max(sevenZip.entries.size(), lsar.entries.size())) << "the table does not describe the archive";
    std::size_t next = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == "-") continue;
        SCOPED_TRACE(rows[i]);
        ASSERT_LT(next, listing.members.size());
        const ArchiveMember& member = listing.members[next++];
        EXPECT_EQ(format.namesFromLsar ? fullName(member) : member.baseName + "|" + member.extension, rows[i]);
        for (const PeerListing* peer : {&sevenZip, &lsar}) {
            if (i >= peer->entries.size()) continue; // the peer gave up before
            const PeerEntry& entry = peer->entries[i];
            EXPECT_EQ(member.unpackedSize, entry.size);
            EXPECT_EQ(member.packedSize, format.showsPacked ? entry.packed.value_or(member.packedSize) : 0);
            char crc[12] = "0";
            if (format.showsCrc && entry.crc) std::snprintf(crc, sizeof crc, "%X", static_cast<unsigned>(*entry.crc));
            EXPECT_EQ(crcText(member.crc), !format.showsCrc || entry.crc ? crc : crcText(member.crc));
            EXPECT_EQ(memberMoment(member), peer == &lsar || format.sevenZipTimes ? entry.modified : memberMoment(member));
            EXPECT_EQ(member.isDirectory, entry.isDirectory) << (peer == &lsar ? "lsar" : "7-Zip");
            const bool storedNotUtf8 = i < sevenZip.entries.size() && !isValidUtf8(sevenZip.entries[i].path);
            if (!archive.paths.empty()) {
                EXPECT_EQ(member.path, archive.paths.at(next - 1));
            } else if (!storedNotUtf8) {
                EXPECT_EQ(member.path, entry.path) << (peer == &lsar ? "lsar" : "7-Zip");
            } else if (peer == &sevenZip) {
                EXPECT_EQ(member.path, format.codePage(entry.path));
            }
        }
    }
    EXPECT_EQ(next, listing.members.size());
}

// Each length from 0 bytes to all but the last lists the first members of the whole archive,
// never other ones: a member comes as soon as the bytes up to its data are there (lsar says where
// they start), and an archive without its last byte lists them all. ZIP reads its directory from
// the end record, so a cut ZIP archive lists nothing; it is run for the sanitizers.
TEST_P(RealArchiveTest, EveryPrefixListsAPrefixOfTheMembers)
{
    const Format& format = *GetParam().format;
    const std::string bytes = readFile(testData(archiveFile()));
    const Listing whole = listBytes(format.reader, bytes);
    const PeerListing lsar = lsarListing(file(".lsar.json"));
    const bool offsetsKnown = lsar.entries.size() == whole.members.size() &&
                              std::ranges::all_of(lsar.entries, [](const PeerEntry& e) { return e.dataOffset.has_value(); });
    const auto describe = [](const ArchiveMember& m) { return fullName(m) + " " + std::to_string(m.unpackedSize) + " " + memberMoment(m) + " " + crcText(m.crc); };
    std::size_t listed = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(testing::Message() << "cut at " << length);
        const Listing cut = listBytes(format.reader, std::string_view(bytes).substr(0, length));
        if (!format.walksFromTheFront) continue;
        ASSERT_LE(cut.members.size(), whole.members.size());
        for (std::size_t i = 0; i < cut.members.size(); ++i) ASSERT_EQ(describe(cut.members[i]), describe(whole.members[i]));
        ASSERT_GE(cut.members.size(), listed);
        listed = cut.members.size();
        if (!offsetsKnown) continue;
        const auto wholeHeaders = std::ranges::count_if(lsar.entries, [&](const PeerEntry& e) { return *e.dataOffset - format.dataAfterHeader <= length; });
        ASSERT_EQ(cut.members.size(), static_cast<std::size_t>(wholeHeaders));
    }
    EXPECT_EQ(listed, format.walksFromTheFront ? whole.members.size() : 0);
}

// A file that shrinks while it is read: after the reader's first k reads only its first part is
// left. The reader meets the end early and lists a prefix of the members (or judges the file not
// to be an archive), whatever k.
class ShrinkingFile final : public RandomAccessFile {
public:
    ShrinkingFile(std::string_view bytes, std::size_t readsBeforeShrinking, std::size_t sizeAfter)
        : bytes_(bytes), readsLeft_(readsBeforeShrinking), sizeAfter_(sizeAfter)
    {
    }
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        ++reads;
        if (readsLeft_ == 0) return MemoryFile(bytes_.substr(0, sizeAfter_)).readAt(offset, buffer);
        --readsLeft_;
        return MemoryFile(bytes_).readAt(offset, buffer);
    }
    std::size_t reads = 0;

private:
    std::string_view bytes_;
    std::size_t readsLeft_;
    std::size_t sizeAfter_;
};

TEST_P(RealArchiveTest, AFileThatShrinksWhileItIsReadListsAPrefixOfItsMembers)
{
    const Format& format = *GetParam().format;
    const std::string bytes = readFile(testData(archiveFile()));
    ShrinkingFile unchanged(bytes, SIZE_MAX, bytes.size());
    const std::vector<std::string> whole = fullNames(listThrough(format.reader, unchanged));
    for (const std::size_t sizeAfter : {std::size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
        for (std::size_t k = 0; k <= unchanged.reads; ++k) {
            SCOPED_TRACE(testing::Message() << "cut to " << sizeAfter << " after " << k << " reads");
            ShrinkingFile file(bytes, k, sizeAfter);
            const std::vector<std::string> listed = fullNames(listThrough(format.reader, file));
            ASSERT_LE(listed.size(), whole.size());
            EXPECT_TRUE(std::equal(listed.begin(), listed.end(), whole.begin()));
        }
    }
}

// A host whose list is full raises an error while adding the second member: RAR stops there,
// CAB lets the error reach the host, the others go on with the next member.
TEST_P(RealArchiveTest, AMemberTheHostRefuses)
{
    const Format& format = *GetParam().format;
    const std::string bytes = readFile(testData(archiveFile()));
    const std::vector<std::string> all = fullNames(listBytes(format.reader, bytes));
    if (all.size() < 3) return; // too few to tell going on from stopping
    const Listing listing = listBytes(format.reader, bytes, nullptr, 1);
    std::vector<std::string> expected = {all[0]};
    if (format.onRefusal == OnRefusal::GoesOn) expected.insert(expected.end(), all.begin() + 2, all.end());
    EXPECT_EQ(fullNames(listing), expected);
    EXPECT_EQ(listing.errorEscaped, format.onRefusal == OnRefusal::Raises);
}

INSTANTIATE_TEST_SUITE_P(Peers, RealArchiveTest, testing::ValuesIn(realArchives), [](const auto& info) {
    std::string name = std::string(info.param.format->folder) + "_" + info.param.name;
    std::ranges::replace_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

} // namespace
} // namespace quenarch
