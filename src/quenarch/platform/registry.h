#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

enum class RegistryRoot { ClassesRoot, CurrentUser };

// Value type codes as the registry stores them.
enum RegistryValueType : std::uint32_t {
    RegistryString = 1,
    RegistryExpandString = 2,
    RegistryBinary = 3,
    RegistryDword = 4,
};

struct RegistryValue {
    std::uint32_t type = RegistryString;
    std::string text;          // for string types, without a terminating zero
    std::uint32_t number = 0;  // for RegistryDword

    static RegistryValue string(std::string text) { return {RegistryString, std::move(text), 0}; }
    static RegistryValue dword(std::uint32_t value) { return {RegistryDword, {}, value}; }
};

// Read access to a hierarchical registry of keys and named values. Key paths use "\" between
// names and match without regard to letter case; the empty value name is the key's default value.
class Registry {
public:
    using Key = std::uint64_t;
    static constexpr Key noKey = 0;

    virtual ~Registry() = default;

    // noKey when the key does not exist.
    virtual Key openKey(RegistryRoot root, std::string_view path) const = 0;
    // Nothing for noKey, or when the key has no value of that name.
    virtual std::optional<RegistryValue> queryValue(Key key, std::string_view valueName) const = 0;
    virtual void closeKey(Key key) const = 0;
};

} // namespace quenarch
