#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quenarch {

// Initialisation files (INI) looked up by bare file name in the platform's system folder.
class IniSource {
public:
    virtual ~IniSource() = default;
    // The value of key in section, or nothing when the file, section or key is missing.
    virtual std::optional<std::string> readString(std::string_view section, std::string_view key,
                                                  std::string_view fileName) const = 0;
};

// Reads INI files from one folder. Section and key names match without regard to letter case,
// the first matching section and key win, blanks around names and values are dropped, and a
// value wrapped in one pair of matching quotes loses them. Lines starting with ";" are comments.
class IniFolder final : public IniSource {
public:
    explicit IniFolder(std::filesystem::path folder);
    std::optional<std::string> readString(std::string_view section, std::string_view key,
                                          std::string_view fileName) const override;

    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

// Looks a value up in INI text.
std::optional<std::string> findIniValue(std::string_view text, std::string_view section, std::string_view key);

// The folder that stands for the system folder of the desktop: $XDG_CONFIG_HOME/quenarch, or
// ~/.config/quenarch when XDG_CONFIG_HOME is not set.
std::filesystem::path defaultSystemFolder();

} // namespace quenarch
