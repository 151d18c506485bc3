#include "quenarch/platform/ini_source.h"

#include "quenarch/base/blank_text.h"
#include "quenarch/base/text_case.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quenarch {
std::optional<std::string> findIniValue(std::string_view text, std::string_view section, std::string_view key)
{
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start), lineBlanks);
        start = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name = trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1), lineBlanks);
            // Only the first section of a name counts, as the desktop reads it.
            inSection = !sectionSeen && equalsCaseBlind(name, section);
            if (inSection) sectionSeen = true;
            continue;
        }
        if (!inSection) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (!equalsCaseBlind(trimmed(line.substr(0, equals), lineBlanks), key)) continue;
        std::string_view value = trimmed(line.substr(equals + 1), lineBlanks);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

IniFolder::IniFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::optional<std::string> IniFolder::readString(std::string_view section, std::string_view key, std::string_view fileName) const
{
    std::ifstream file(folder_ / std::filesystem::path(std::string(fileName)), std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return findIniValue(content.str(), section, key);
}

std::filesystem::path defaultSystemFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/')
        return std::filesystem::path(config) / "quenarch";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::filesystem::path(home) / ".config" / "quenarch";
    return std::filesystem::path("/etc/quenarch");
}

} // namespace quenarch
