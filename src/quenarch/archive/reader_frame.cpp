#include "quenarch/archive/reader_frame.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/hex_text.h"
#include "quenarch/base/utf8.h"

#include <algorithm>

namespace quenarch {

NameParts memberNameParts(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return {name, {}};
    const std::string_view extension = name.substr(dot + 1);
    // At most 255 characters, not bytes: a UTF-8 sequence is one character.
    return {name.substr(0, dot), extension.substr(0, utf8PrefixSize(extension, 255))};
}

SplitName splitMemberName(std::string name)
{
    const NameParts parts = memberNameParts(name);
    std::string extension(parts.extension);
    name.resize(parts.base.size());
    return {std::move(name), std::move(extension)};
}

namespace {

void separateWithSlashes(std::string& path, bool backslashSeparates)
{
    if (backslashSeparates) std::replace(path.begin(), path.end(), '\\', '/');
    while (!path.empty() && path.back() == '/') path.pop_back();
}

} // namespace

std::string memberPath(std::string decodedName, bool backslashSeparates)
{
    separateWithSlashes(decodedName, backslashSeparates);
    return decodedName;
}

void assignMemberPath(std::string& path, std::string_view decodedName, bool backslashSeparates)
{
    path.assign(decodedName);
    separateWithSlashes(path, backslashSeparates);
}

std::string crcText(std::uint32_t crc)
{
    std::string text;
    appendUpperHex(text, crc);
    return text;
}

void addMemberResumingOnError(MemberSink& sink, ArchiveMember&& member)
{
    try {
        sink.addMember(std::move(member));
    } catch (const AutomationError&) {
        // The row keeps what was written before the failing step; the walk carries on.
    }
}

} // namespace quenarch
