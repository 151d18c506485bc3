#pragma once

#include "quenarch/base/automation_date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

// One member of an archive as a reader reports it.
struct ArchiveMember {
    std::string baseName;   // the name before its last dot
    std::string extension;  // the text after that dot, without it; may be empty
    // The member's full stored path, decoded, with "/" between names and no trailing "/".
    std::string path;
    bool isDirectory = false;
    std::uint64_t unpackedSize = 0;
    std::uint64_t packedSize = 0;
    std::optional<AutomationDate> date;  // midnight of the modification day
    std::optional<double> time;          // modification time of day
    std::uint32_t crc = 0;               // shown as crcText(crc)
};

// Where a reader delivers what it finds. The control's row builder is one; a plain collector
// serves tests, fuzzers and hosts that want members without a list.
class MemberSink {
public:
    // The most members a reader announces through expectMembers: 1,048,576. Archives with more
    // still list them all; the sink makes room for them as they come.
    static constexpr std::uint64_t maximumExpectedMembers = std::uint64_t{1} << 20;

    virtual ~MemberSink() = default;
    // A reader starts: the archive comment becomes empty and the type text is that of the
    // format's extension ("ZIP", "ARJ", "LZH", "ARC", "RAR" or "CAB").
    virtual void beginArchive(std::string_view formatExtension) = 0;
    virtual void setComment(std::string comment) = 0;
    // How many members follow, when the archive says so: a hint to make room, never more than
    // the file can hold nor more than maximumExpectedMembers, whatever a header claims.
    virtual void expectMembers(std::uint64_t /*count*/) {}
    // The member is the sink's to keep: the reader is done with it.
    virtual void addMember(ArchiveMember&& member) = 0;
    // The file is not an archive of the format that its name announced.
    virtual void archiveInvalid() = 0;
    // Lets the host handle its pending user-interface messages once.
    virtual void processPendingMessages() {}
};

struct SplitName {
    std::string base;
    std::string extension;
};
struct NameParts {
    std::string_view base;
    std::string_view extension;
};

// Splits a member name at its last dot. A name without a dot, or ending in one, is all base; an
// extension longer than 255 characters keeps its first 255.
NameParts memberNameParts(std::string_view name);
SplitName splitMemberName(std::string name);

// A member's full path as listings show it: "/" between its names, also where the format
// separated them with backslashes (backslashSeparates), and no "/" at its end.
std::string memberPath(std::string decodedName, bool backslashSeparates);
// The same, written over `path`, whose room is reused.
void assignMemberPath(std::string& path, std::string_view decodedName, bool backslashSeparates);

// A CRC as upper-case hexadecimal without leading zeros ("0" for zero).
std::string crcText(std::uint32_t crc);

// Adds a member for the readers that carry on past a failing step: an error raised while the
// row is built leaves the row as far as it got, and the walk goes on.
void addMemberResumingOnError(MemberSink& sink, ArchiveMember&& member);

enum class ReadVerdict { Archive, NotAnArchive };

} // namespace quenarch
