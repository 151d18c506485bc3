#include "quenarch/platform/memory_registry.h"

#include "quenarch/base/text_case.h"

namespace quenarch {

std::string MemoryRegistry::normalizedPath(RegistryRoot root, std::string_view path)
{
    std::string folded = foldCase(path);
    while (!folded.empty() && folded.back() == '\\') folded.pop_back();
    while (!folded.empty() && folded.front() == '\\') folded.erase(folded.begin());
    return (root == RegistryRoot::ClassesRoot ? "hkcr\\" : "hkcu\\") + folded;
}

void MemoryRegistry::createKey(RegistryRoot root, std::string_view path)
{
    std::string_view rest = path;
    std::size_t end = 0;
    do {
        end = rest.find('\\', end);
        const std::string key = normalizedPath(root, rest.substr(0, end));
        auto found = index_.find(key);
        if (found == index_.end()) {
            index_.emplace(key, keys_.size());
            keys_.emplace_back();
        } else {
            keys_[found->second].deleted = false;
        }
        if (end != std::string_view::npos) ++end;
    } while (end != std::string_view::npos);
}

void MemoryRegistry::setValue(RegistryRoot root, std::string_view path, std::string_view valueName, RegistryValue value)
{
    createKey(root, path);
    keys_[index_.at(normalizedPath(root, path))].values[foldCase(valueName)] = std::move(value);
}

void MemoryRegistry::setString(RegistryRoot root, std::string_view path, std::string_view valueName, std::string text)
{
    setValue(root, path, valueName, RegistryValue::string(std::move(text)));
}

void MemoryRegistry::deleteKey(RegistryRoot root, std::string_view path)
{
    const std::string prefix = normalizedPath(root, path);
    for (auto& [key, position] : index_) {
        if (key == prefix || (key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 && key[prefix.size()] == '\\')) {
            keys_[position].deleted = true;
            keys_[position].values.clear();
        }
    }
}

void MemoryRegistry::deleteValue(RegistryRoot root, std::string_view path, std::string_view valueName)
{
    auto found = index_.find(normalizedPath(root, path));
    if (found != index_.end()) keys_[found->second].values.erase(foldCase(valueName));
}

Registry::Key MemoryRegistry::openKey(RegistryRoot root, std::string_view path) const
{
    auto found = index_.find(normalizedPath(root, path));
    if (found == index_.end() || keys_[found->second].deleted) return noKey;
    return found->second + 1;
}

std::optional<RegistryValue> MemoryRegistry::queryValue(Key key, std::string_view valueName) const
{
    if (key == noKey || key > keys_.size()) return std::nullopt;
    const KeyData& data = keys_[key - 1];
    auto found = data.values.find(foldCase(valueName));
    if (found == data.values.end()) return std::nullopt;
    return found->second;
}

} // namespace quenarch
