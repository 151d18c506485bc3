#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenarch::freedesktop {

// A desktop configuration file in INI form (index.theme, GTK's settings.ini, kdeglobals) read as
// Qt's QSettings reads one: names match in their letter case, a later value of a key replaces an
// earlier one (also in a section named again), blanks around names and values are dropped, a
// value in double quotes loses them, and lines starting with ";" or "#" are comments. A section's
// lines are read when it is asked for; the sections are found by a walk over their headers for
// the first few questions, by a sorted index after that. So a theme's index of hundreds of
// directories is quick to read for a few of them, and for all of them. Not for concurrent use.
class IniFile {
public:
    // The keys and values of one section, in the file's order.
    class Section {
    public:
        std::optional<std::string_view> value(std::string_view key) const;
        // A value as a whole number; nothing when it is missing or not a number.
        std::optional<int> number(std::string_view key) const;
        // A value as a list split at its commas, each item trimmed; empty items are kept.
        std::vector<std::string_view> list(std::string_view key) const;

    private:
        friend class IniFile;
        std::vector<std::pair<std::string_view, std::string_view>> entries_;
    };

    // An empty file when it cannot be read.
    static IniFile read(const std::filesystem::path& path);
    explicit IniFile(std::string text);
    IniFile(IniFile&&) noexcept = default;
    IniFile& operator=(IniFile&&) noexcept = default;

    Section section(std::string_view name) const;
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const { return this->section(section).value(key); }

private:
    // The lines under one section header.
    struct Run {
        std::string_view section;
        std::string_view lines;
    };

    // The runs of a section, in the file's order.
    std::vector<std::string_view> runsOf(std::string_view name) const;

    std::string text_;
    std::vector<Run> runs_; // in the file's order; the first holds the lines before any header
    mutable std::size_t questions_ = 0;
    mutable std::vector<std::size_t> byName_; // positions in runs_, by section name and then position
};

} // namespace quenarch::freedesktop
