#pragma once

// What a reader lists for bytes or a test file, and what the peers list for the same file.

#include "archive/bytes.h"
#include "archive/member_collector.h"
#include "platform/text_codec.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace quenarch::test {

struct Listing {
    ReadVerdict verdict = ReadVerdict::Archive;
    std::string comment;
    std::vector<ArchiveMember> members;
};

using ReaderFunction = ReadVerdict (*)(Bytes, MemberSink&, const TextCodec&);

inline Listing listBytes(ReaderFunction reader, std::string_view bytes, const TextCodec& codec = Utf8OrWindows1252Codec())
{
    MemberCollector sink;
    const ReadVerdict verdict = reader({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, sink, codec);
    EXPECT_FALSE(sink.invalid) << "the verdict is the caller's to report";
    return {verdict, std::move(sink.comment), std::move(sink.members)};
}

// Each member as "BASE|EXTENSION".
inline std::vector<std::string> rowNames(const Listing& listing)
{
    std::vector<std::string> names;
    for (const ArchiveMember& member : listing.members) names.push_back(member.baseName + "|" + member.extension);
    return names;
}

// "YYYY-MM-DD hh:mm:ss" of a member, empty when it has no date or no time.
inline std::string memberMoment(const ArchiveMember& member)
{
    if (!member.date || !member.time) return {};
    const DateParts p = splitDate(combineDateAndTime(*member.date, *member.time));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
    return text;
}

// The fields that 7-Zip (`7zz l -slt`, NAME.7z.txt) or lsar (`lsar -j`, NAME.lsar.json) lists
// for an archive and for each member, as raw texts (JSON strings without their quotes).
using PeerFields = std::map<std::string, std::string>;
struct PeerFieldListing {
    PeerFields archive;
    std::vector<PeerFields> members;
};

inline PeerFieldListing sevenZipFields(const std::filesystem::path& listing)
{
    std::istringstream text(readFile(listing));
    PeerFieldListing result;
    bool inMembers = false;
    for (std::string line; std::getline(text, line);) {
        inMembers = inMembers || line == "----------";
        const std::size_t equals = line.find(" = ");
        if (equals == std::string::npos) continue;
        if (inMembers && line.starts_with("Path = ")) result.members.emplace_back();
        (inMembers ? result.members.back() : result.archive)[line.substr(0, equals)] = line.substr(equals + 3);
    }
    return result;
}

// lsar writes a field a line: a member's indented by 6 spaces in "lsarContents", the archive's
// by 4 in "lsarProperties".
inline PeerFieldListing lsarFields(const std::filesystem::path& listing)
{
    std::istringstream text(readFile(listing));
    PeerFieldListing result;
    bool inProperties = false;
    for (std::string line; std::getline(text, line);) {
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent == 2) inProperties = line.starts_with("  \"lsarProperties\"");
        if (line == "    {" && !inProperties) result.members.emplace_back();
        const std::size_t colon = line.find("\": ");
        const bool memberField = indent == 6 && !inProperties && !result.members.empty();
        if (colon == std::string::npos || !(memberField || (indent == 4 && inProperties))) continue;
        std::string value = line.substr(colon + 3);
        if (value.ends_with(',')) value.pop_back();
        if (value.starts_with('"')) value = value.substr(1, value.size() - 2);
        (memberField ? result.members.back() : result.archive)[line.substr(indent + 1, colon - indent - 1)] = value;
    }
    return result;
}

} // namespace quenarch::test
