#include "quenarch/archive/reader_frame.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/hex_text.h"
#include "quenarch/base/utf8.h"

#include <algorithm>

namespace quenarch {

SplitName splitMemberName(std::string name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return {std::move(name), {}};
    std::string_view extension = std::string_view(name).substr(dot + 1);
    // At most 255 characters, not bytes: a UTF-8 sequence is one character.
    std::string ext(extension.substr(0, utf8PrefixSize(extension, 255)));
    name.resize(dot);
    return {std::move(name), std::move(ext)};
}

std::string memberPath(std::string decodedName, bool backslashSeparates)
{
    if (backslashSeparates) std::replace(decodedName.begin(), decodedName.end(), '\\', '/');
    while (!decodedName.empty() && decodedName.back() == '/') decodedName.pop_back();
    return decodedName;
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
