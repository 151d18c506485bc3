#include "archive/peer_listing.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using namespace test;

Listing listArc(std::string_view bytes) { return listBytes(ArchiveFormat::Arc, bytes); }

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
    return "\x1A\x02" + name + le(h.packedSize.value_or(static_cast<std::uint32_t>(h.data.size())), 4) + le(0x7D3C5264, 4) + le(0xBEEF, 2) +
           le(h.data.size(), 4) + h.data;
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
    const struct {
        std::string what;
        std::string bytes;
        std::vector<std::string> rows;
        ReadVerdict verdict = ReadVerdict::Archive;
    } cases[] = {
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
    for (const auto& c : cases) {
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
