#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

// Where the icon of a file type is kept: a file (or an icon name the platform's icon source
// knows) and the index of the icon in it.
struct IconLocation {
    std::string file;
    std::int32_t index = 0;

    friend bool operator==(const IconLocation&, const IconLocation&) = default;
};

// The desktop's file types, looked up by file extension (without its dot).
class FileTypeSource {
public:
    virtual ~FileTypeSource() = default;
    // The description of the extension's file type; nothing when the desktop has none.
    virtual std::optional<std::string> description(std::string_view extension) const = 0;
    // Where the icon of the extension's file type is; nothing when the desktop names none.
    virtual std::optional<IconLocation> icon(std::string_view extension) const = 0;
};

} // namespace quenarch
