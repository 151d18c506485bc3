#pragma once

#include "quenarch/base/locale.h"
#include "quenarch/platform/file_type_source.h"
#include "quenarch/platform/registry.h"

#include <cstdint>
#include <memory>
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

// The file types of a registry that a host supplies: HKEY_CLASSES_ROOT\.ext names the class of
// the extension, the class's default value describes it, and its DefaultIcon key holds the icon
// location as "file,index". Missing keys, empty values and values that are not text count as
// missing.
class RegistryFileTypes final : public FileTypeSource {
public:
    RegistryFileTypes(std::shared_ptr<const Registry> registry, std::shared_ptr<const Locale> locale);

    std::optional<std::string> description(std::string_view extension) const override;
    // The DefaultIcon text split at its first comma; nothing without a comma. The index is read
    // as a number by the locale's rules and rounded half to even: raises "Type mismatch" when it
    // is not a number and "Overflow" when it does not fit 32 bits.
    std::optional<IconLocation> icon(std::string_view extension) const override;

private:
    std::string classOf(std::string_view extension) const;

    std::shared_ptr<const Registry> registry_;
    std::shared_ptr<const Locale> locale_;
};

// The description of the file type of an extension (without its dot), or the extension followed
// by " file" when the desktop has none.
std::string GetFileTypeName(const FileTypeSource& fileTypes, std::string_view extension);

} // namespace quenarch
