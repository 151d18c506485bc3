#pragma once

// What a reader lists for bytes or a test file, and what other tools list for the same test
// archive: NAME.7z.txt (`7zz l -slt NAME`) and NAME.lsar.json (`lsar -j NAME`) beside it.

#include "quenarch/archive/archive_formats.h"
#include "quenarch/archive/member_collector.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/platform/memory_file.h"
#include "quenarch/platform/text_codec.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quenarch::test {

struct Listing {
    ReadVerdict verdict = ReadVerdict::Archive;
    std::string comment;
    std::vector<ArchiveMember> members;
    int messageRounds = 0;
    bool errorEscaped = false; // an error raised by the host left the reader
};

// Hands everything to a collector; throws as a host does whose list is full at the member with
// the index refuseAt, and counts the rounds of pending messages.
class HostSink final : public MemberSink {
public:
    void beginArchive(std::string_view format) override { collector.beginArchive(format); }
    void setComment(std::string text) override { collector.setComment(std::move(text)); }
    void addMember(ArchiveMember&& member) override
    {
        if (added++ == refuseAt) throw errors::overflow();
        collector.addMember(std::move(member));
    }
    void archiveInvalid() override { collector.archiveInvalid(); }
    void processPendingMessages() override { ++messageRounds; }

    MemberCollector collector;
    std::size_t refuseAt = std::numeric_limits<std::size_t>::max();
    std::size_t added = 0;
    int messageRounds = 0;
};

// What the reader of the format lists for a file; chosen is the encoding a host chose, if any.
inline Listing listThrough(ArchiveFormat format, RandomAccessFile& file, const TextCodec* chosen = nullptr,
                           std::size_t refuseAt = std::numeric_limits<std::size_t>::max())
{
    HostSink sink;
    sink.refuseAt = refuseAt;
    Listing listing;
    ByteSource source(file);
    try {
        readArchive(format, source, sink, chosen);
    } catch (const AutomationError&) {
        listing.errorEscaped = true;
    }
    listing.verdict = sink.collector.invalid ? ReadVerdict::NotAnArchive : ReadVerdict::Archive;
    listing.comment = std::move(sink.collector.comment);
    listing.members = std::move(sink.collector.members);
    listing.messageRounds = sink.messageRounds;
    return listing;
}

inline Listing listBytes(ArchiveFormat format, std::string_view bytes, const TextCodec* chosen = nullptr,
                         std::size_t refuseAt = std::numeric_limits<std::size_t>::max())
{
    MemoryFile file(bytes);
    return listThrough(format, file, chosen, refuseAt);
}

inline Listing listFile(ArchiveFormat format, const std::string& testFile, const TextCodec* chosen = nullptr)
{
    return listBytes(format, readFile(testData(testFile)), chosen);
}

inline std::string fullName(const ArchiveMember& m) { return m.extension.empty() ? m.baseName : m.baseName + "." + m.extension; }

// Each member as "BASE|EXTENSION".
inline std::vector<std::string> rowNames(const Listing& listing)
{
    std::vector<std::string> names;
    for (const ArchiveMember& member : listing.members) names.push_back(member.baseName + "|" + member.extension);
    return names;
}

inline std::vector<std::string> fullNames(const Listing& listing)
{
    std::vector<std::string> names;
    for (const ArchiveMember& member : listing.members) names.push_back(fullName(member));
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

// Little-endian bytes of a value, for archives built byte by byte.
inline std::string le(std::uint64_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return out;
}

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

// Sets TZ for one test and puts the previous one back.
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
        previous_ ? ::setenv("TZ", previous_->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

// One member as a peer lists it.
struct PeerEntry {
    std::string path;
    bool isDirectory = false;
    std::uint64_t size = 0;
    std::optional<std::uint64_t> packed{};
    std::optional<std::uint32_t> crc{};
    std::string modified{};                  // "YYYY-MM-DD hh:mm:ss"
    std::optional<std::uint64_t> dataOffset{}; // lsar: where the packed data start
};

struct PeerListing {
    std::string comment; // the archive's
    std::vector<PeerEntry> entries;
};

inline PeerListing sevenZipListing(const std::string& testFile)
{
    std::istringstream text(readFile(testData(testFile)));
    PeerListing listing;
    bool inEntries = false;
    for (std::string line; std::getline(text, line);) {
        inEntries = inEntries || line == "----------";
        const std::size_t equals = line.find(" = ");
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 3);
        if (!inEntries && key == "Comment") listing.comment = value;
        if (inEntries && key == "Path") listing.entries.push_back({value});
        if (!inEntries || listing.entries.empty() || value.empty()) continue;
        PeerEntry& entry = listing.entries.back();
        if (key == "Folder") entry.isDirectory = value == "+";
        if (key == "Size") entry.size = std::stoull(value);
        if (key == "Packed Size") entry.packed = std::stoull(value);
        if (key == "Modified") entry.modified = value.substr(0, 19);
        if (key == "CRC") entry.crc = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
    }
    return listing;
}

// A JSON value as text: a string without its quotes and escapes, anything else as written.
inline std::string jsonText(std::string_view value)
{
    if (value.size() < 2 || value.front() != '"') return std::string(value);
    std::string text;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] != '\\') {
            text.push_back(value[i]);
        } else if (value[++i] == 'u') {
            appendUtf8(text, static_cast<char32_t>(std::stoul(std::string(value.substr(i + 1, 4)), nullptr, 16)));
            i += 4;
        } else {
            text.push_back(value[i] == 'n' ? '\n' : value[i] == 'r' ? '\r' : value[i]);
        }
    }
    return text;
}

// lsar writes a field a line: a member's six spaces in within "lsarContents", the archive's four
// spaces in within "lsarProperties"; deeper lines belong to nested values.
inline PeerListing lsarListing(const std::string& testFile)
{
    std::istringstream text(readFile(testData(testFile)));
    PeerListing listing;
    std::string section;
    for (std::string line; std::getline(text, line);) {
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent == 2) section = line.substr(3, line.find('"', 3) - 3);
        if (section == "lsarContents" && line == "    {") listing.entries.emplace_back();
        const std::size_t colon = line.find("\": ");
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(indent + 1, colon - indent - 1);
        std::string value = line.substr(colon + 3);
        if (value.ends_with(',')) value.pop_back();
        value = jsonText(value);
        if (section == "lsarProperties" && indent == 4 && key == "XADComment") listing.comment = value;
        if (section != "lsarContents" || indent != 6 || listing.entries.empty()) continue;
        PeerEntry& entry = listing.entries.back();
        if (key == "XADFileName") entry.path = value;
        if (key == "XADIsDirectory") entry.isDirectory = value == "1";
        if (key == "XADFileSize") entry.size = std::stoull(value);
        if (key == "XADCompressedSize") entry.packed = std::stoull(value);
        if (key == "XADLastModificationDate") entry.modified = value.substr(0, 19);
        if (key == "XADDataOffset") entry.dataOffset = std::stoull(value);
        if (key.ends_with("CRC32") || key.ends_with("CRC16")) entry.crc = static_cast<std::uint32_t>(std::stoul(value));
    }
    return listing;
}

} // namespace quenarch::test
