#pragma once

#include "quenarch/base/locale.h"
#include "quenarch/platform/registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quenarch {

// A value as the control reads it from the registry: nothing, a text or a number.
using RegistryData = std::variant<std::monostate, std::string, std::int32_t>;

// Reads one value of an open key into value. Returns 0 on success, 2 when the key or value is
// missing, -1 for a type other than text (1) or number (4), whose value is left unread.
std::int32_t ReadRegistryValue(const Registry& registry, Registry::Key key, std::string_view valueName, RegistryData& value);

// Opens a key of the current user, reads one value and closes the key; nothing when missing.
RegistryData ReadUserRegistryValue(const Registry& registry, std::string_view keyName, std::string_view valueName);

// The desktop's description of the file type of an extension (without its dot), or the
// extension followed by " file" when the desktop has none.
std::string GetFileTypeName(const Registry& registry, std::string_view extension);

struct IconLocation {
    std::string file;
    std::int32_t index = 0;
};

// Where the desktop keeps the icon of an extension's file type: the DefaultIcon entry of its
// class, split at its first comma. Nothing when there is no such entry or it has no comma.
// Raises "Type mismatch" when the text after the comma is not a number, "Overflow" when it does
// not fit 32 bits.
std::optional<IconLocation> GetDefaultIcon(const Registry& registry, std::string_view extension, const Locale& locale);

} // namespace quenarch
