#pragma once

// What other archive tools list for a test archive, read from the listings committed beside it:
// NAME.7z.txt (`7zz l -slt NAME`) and NAME.lsar.json (`lsar -j NAME`).

#include "archive/reader_frame.h"
#include "support/test_platform.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quenarch::test {

struct PeerEntry {
    std::string path; // as the tool prints it; lsar listings leave it empty
    std::uint64_t size = 0;
    std::optional<std::uint64_t> packed{};
    std::string modified{}; // "YYYY-MM-DD hh:mm:ss"
};

inline std::vector<PeerEntry> sevenZipEntries(const std::filesystem::path& listing)
{
    std::istringstream text(readFile(listing));
    std::vector<PeerEntry> entries;
    bool inEntries = false;
    for (std::string line; std::getline(text, line);) {
        if (line == "----------") inEntries = true;
        const std::size_t equals = line.find(" = ");
        if (!inEntries || equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 3);
        if (key == "Path") entries.push_back({value});
        if (entries.empty()) continue;
        if (key == "Size") entries.back().size = std::stoull(value);
        if (key == "Packed Size") entries.back().packed = std::stoull(value);
        if (key == "Modified") entries.back().modified = value.substr(0, 19);
    }
    return entries;
}

// The members of lsarContents: one object per member, its fields one to a line.
inline std::vector<PeerEntry> lsarEntries(const std::filesystem::path& listing)
{
    std::istringstream text(readFile(listing));
    std::vector<PeerEntry> entries;
    int depth = 0;
    bool inContents = false;
    for (std::string line; std::getline(text, line);) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        if (line[first] == '}' || line[first] == ']') --depth;
        if (line.find("\"lsarContents\": [") != std::string::npos && line.back() == '[') inContents = true;
        if (inContents && depth == 1 && line[first] == ']') inContents = false;
        if (inContents && depth == 2 && line[first] == '{') entries.emplace_back();
        if (line.back() == '{' || line.back() == '[') ++depth;
        if (!inContents || depth != 3 || entries.empty()) continue;
        const std::size_t colon = line.find("\": ");
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(first + 1, colon - first - 1);
        std::string value = line.substr(colon + 3);
        if (value.back() == ',') value.pop_back();
        if (key == "XADFileSize") entries.back().size = std::stoull(value);
        if (key == "XADCompressedSize") entries.back().packed = std::stoull(value);
        if (key == "XADLastModificationDate") entries.back().modified = value.substr(1, 19);
    }
    return entries;
}

// "YYYY-MM-DD hh:mm:ss" of a member, empty when it has no date or no time.
inline std::string momentText(const ArchiveMember& member)
{
    if (!member.date || !member.time) return {};
    const DateParts p = splitDate(combineDateAndTime(*member.date, *member.time));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
    return text;
}

} // namespace quenarch::test
