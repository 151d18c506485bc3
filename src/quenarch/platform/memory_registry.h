#pragma once

#include "quenarch/platform/registry.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace quenarch {

// A registry held in memory, filled by the host or from a .reg file.
class MemoryRegistry final : public Registry {
public:
    // Creates the key and its parents when missing.
    void createKey(RegistryRoot root, std::string_view path);
    void setValue(RegistryRoot root, std::string_view path, std::string_view valueName, RegistryValue value);
    void setString(RegistryRoot root, std::string_view path, std::string_view valueName, std::string text);
    void deleteKey(RegistryRoot root, std::string_view path);
    void deleteValue(RegistryRoot root, std::string_view path, std::string_view valueName);

    Key openKey(RegistryRoot root, std::string_view path) const override;
    std::optional<RegistryValue> queryValue(Key key, std::string_view valueName) const override;
    void closeKey(Key) const override {}

private:
    struct KeyData {
        std::map<std::string, RegistryValue> values; // by folded value name
        bool deleted = false;
    };
    static std::string normalizedPath(RegistryRoot root, std::string_view path);

    std::vector<KeyData> keys_;
    std::unordered_map<std::string, std::size_t> index_; // normalized path -> position in keys_
};

} // namespace quenarch
