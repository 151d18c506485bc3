#include "archive/peer_listing.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using namespace test;

TEST(CabReaderTest, OnlyNamesFlaggedAsUtf8AndBeingUtf8PassTheCodecBy)
{
    const UpperCaseCodec upper;
    EXPECT_EQ(fullNames(listFile(ArchiveFormat::Cab, "cab/utf8.cab", &upper)), (std::vector<std::string>{"café.txt", "Überblick.doc", "メモ.txt", "PLAIN.TXT"}));
    EXPECT_EQ(fullNames(listFile(ArchiveFormat::Cab, "cab/latin1.cab", &upper)), (std::vector<std::string>{"CAF\xe9.TXT"}));
}

// ---------------------------------------------------------------------------------------------
// Cabinets built byte by byte: layouts gcab does not write, damage.

// Unpacked size 1234, 2021-03-04 15:41:56.
std::string fileEntry(std::string_view name, std::uint16_t attributes = 0x20)
{
    return le(1234, 4) + le(0, 4) + le(0, 2) + le(0x7D3C5264, 4) + le(attributes, 2) + std::string(name) + '\0';
}

// A cabinet header announcing `files` entries, with `between` (reserved areas, set links,
// folder entries) between the header and the file entries.
std::string cabinet(std::uint16_t files, const std::string& entries, const std::string& between = {}, std::uint16_t flags = 0)
{
    return "MSCF" + le(0, 4) + le(36 + between.size() + entries.size(), 4) + le(0, 4) + le(36 + between.size(), 4) + le(0, 4) + "\x03\x01" +
           le(1, 2) + le(files, 2) + le(flags, 2) + le(0x1234, 2) + le(0, 2) + between + entries;
}

TEST(CabReaderTest, TheWalkFollowsTheFirstEntryOffsetAndEndsWithTheCountOrTheFile)
{
    const std::string three = fileEntry("a.txt") + fileEntry("b.txt") + fileEntry("c.txt");
    // Reserve sizes (header 4, folder 2, data 0), the header's reserved bytes, the previous and
    // next cabinet and disk names, and a folder entry with its 2 reserved bytes.
    const std::string reserved = std::string("\x04\x00\x02\x00", 4) + "RSVD" + std::string("prev.cab\0Disk 1\0next.cab\0Disk 3\0", 32) + std::string(8, '\0') + "rr";
    const struct {
        std::string what;
        std::string bytes;
        std::vector<std::string> names;
        ReadVerdict verdict = ReadVerdict::Archive;
    } cases[] = {
        {"no files announced", cabinet(0, three), {}},
        {"reserved areas and set links before the entries", cabinet(3, three, reserved, 0x0007), {"a.txt", "b.txt", "c.txt"}},
        {"40,000 announced, 3 in the file", cabinet(40000, three), {"a.txt", "b.txt", "c.txt"}},
        {"2 announced of 3", cabinet(2, three), {"a.txt", "b.txt"}},
        {"a name ending in \\ gives no row", cabinet(3, fileEntry("a.txt") + fileEntry("docs\\") + fileEntry("x\\b.txt")), {"a.txt", "b.txt"}},
        {"UTF-8 flag on UTF-8 and on other bytes", cabinet(2, fileEntry("caf\xc3\xa9.txt", 0xA0) + fileEntry("caf\xe9.txt", 0xA0)), {"café.txt", "café.txt"}},
        {"first entry past the end of the file", cabinet(3, "").replace(16, 4, "\xff\xff\xff\x7f"), {}},
        {"a header cut short", cabinet(3, "").substr(0, 35), {}},
        {"the signature alone", "MSCF", {}},
        {"three bytes of the signature", "MSC", {}, ReadVerdict::NotAnArchive},
        {"a ZIP archive", readFile(testData("zip/comment.zip")), {}, ReadVerdict::NotAnArchive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Listing listing = listBytes(ArchiveFormat::Cab, c.bytes);
        EXPECT_EQ(listing.verdict, c.verdict);
        EXPECT_EQ(fullNames(listing), c.names);
    }
}

} // namespace
} // namespace quenarch
