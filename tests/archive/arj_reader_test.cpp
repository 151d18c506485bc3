#include "archive/peer_listing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quenarch {
namespace {

using namespace test;

Listing listArj(std::string_view bytes, const TextCodec* codec = nullptr) { return listBytes(ArchiveFormat::Arj, bytes, codec); }

TEST(ArjReaderTest, UnixHostTimesAreShownInLocalTimeAndDosTimesAsStored)
{
    const ScopedTimeZone japan("JST-9");
    EXPECT_EQ(memberMoment(listFile(ArchiveFormat::Arj, "arj/unix.arj").members.at(0)), "2021-03-05 00:41:56");
    EXPECT_EQ(memberMoment(listFile(ArchiveFormat::Arj, "arj/dos.arj").members.at(0)), "2021-03-04 15:41:56");
}

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
    basic.replace(8, 16, le(0x52647D3C, 4) + le(h.packedSize.value_or(static_cast<std::uint32_t>(h.data.size())), 4) + le(2 * h.data.size(), 4) + le(0xABCD, 4));
    basic += h.name + '\0' + h.comment + '\0';
    std::string out = "\x60\xEA" + le(h.basicSize.value_or(static_cast<std::uint16_t>(basic.size())), 2) + basic + "HCRC";
    for (const std::string& extended : h.extended) out += le(extended.size(), 2) + extended + "ECRC";
    return out + le(0, 2) + h.data;
}

std::string archive(const std::vector<Header>& members, const Header& main = {"test.arj"})
{
    std::string out = header(main);
    for (const Header& member : members) out += header(member);
    return out + std::string("\x60\xEA\0\0", 4);
}

TEST(ArjReaderTest, NamesAndCommentGoThroughTheCodec)
{
    const Utf8Codec utf8;
    EXPECT_EQ(rowNames(listFile(ArchiveFormat::Arj, "arj/unix.arj", &utf8)).at(6), "R\uFFFDSUM\uFFFD|DOC");
    // Without a chosen encoding, bytes that are not UTF-8 are read in IBM437.
    const std::string ibm437Comment = archive({}, {.name = "t.arj", .comment = "Caf\x82"});
    EXPECT_EQ(listArj(ibm437Comment).comment, "Café");
    EXPECT_EQ(listArj(ibm437Comment, &utf8).comment, "Caf\uFFFD");
}

TEST(ArjReaderTest, HeadersAreWalkedByTheirOwnSizes)
{
    const std::string longName(300, 'a');
    const std::string extendedCutShort = header({"t.arj"}) + header({.name = "a", .extended = {"owner"}});
    const struct {
        std::string what;
        std::string bytes;
        std::vector<std::string> rows;
        std::string comment;
    } cases[] = {
        {"main header and end header only", archive({}), {}, ""},
        {"30-byte fixed parts", archive({{"readme.txt", "Read me"}, {"docs/guide.doc", "text"}}, {"t.arj", "", "Hello"}), {"README|TXT", "GUIDE|DOC"}, "Hello"},
        {"packed size 0", archive({{"a.txt"}, {"b.txt", "b"}}), {"A|TXT", "B|TXT"}, ""},
        {"46-byte fixed parts, comments and extended headers",
         archive({{.name = "a.txt", .data = "aa", .comment = "note", .fixedSize = 46, .extended = {"owner", "x"}}, {.name = "b", .fixedSize = 46}},
                 {.name = "t.arj", .comment = "Archive\r\nnotes", .fixedSize = 34, .extended = {"main"}}),
         {"A|TXT", "B|"},
         "Archive\r\nnotes"},
        {"path parts, spaces and overlong names",
         archive({{"a/b/ c.txt "}, {longName}, {"dir/" + longName}}),
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listArj(c.bytes);
        EXPECT_EQ(listing.verdict, ReadVerdict::Archive);
        EXPECT_EQ(rowNames(listing), c.rows);
        EXPECT_EQ(listing.comment, c.comment);
    }
}

} // namespace
} // namespace quenarch
