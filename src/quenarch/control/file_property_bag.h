#pragma once

#include "quenarch/control/property_bag.h"
#include "quenarch/platform/platform.h"

#include <filesystem>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quenarch {

class QuenArchive;

// A saved-properties file that could not be used, naming the file, the line and the key. Keys
// and pieces of lines quoted from the file are shortened and escaped, so a damaged or hostile
// file can neither flood the message nor slip control characters into it.
class PropertyFileError : public std::runtime_error {
public:
    PropertyFileError(const std::filesystem::path& file, int line, std::string_view key, const std::string& problem);

    const std::filesystem::path& file() const { return file_; }
    int line() const { return line_; } // 0 when the problem is not on one line
    const std::string& key() const { return key_; } // as shown: shortened and escaped

private:
    std::filesystem::path file_;
    int line_;
    std::string key_;
};

// A property bag kept in a text file a person can read and edit:
//
//     quenarch-properties 1
//     BackColor = &H80000005&
//     Enabled = True
//     View = "2-List"
//     BeginProperty Font
//        Name = "DejaVu Sans"
//        Size = 9
//        Weight = 700
//        Italic = False
//        Underline = False
//        Strikethrough = False
//        Charset = 0
//     EndProperty
//
// The first line names the format; a UTF-8 byte-order mark before it is skipped. Keys match
// without regard to letter case. Values are True or False, whole numbers (decimal, or &H...&
// hexadecimal), decimals, or texts in double quotes (a quote inside written twice) on one line.
// Lines starting with ' are comments. Plain values equal to their defaults are left out when
// saving. A font's Size must be one a font can be drawn at (see isDrawableFontSize).
class FilePropertyBag final : public PropertyBag {
public:
    // Property files are small; a larger file is refused unread.
    static constexpr std::uintmax_t maximumFileSize = 1024 * 1024;

    FilePropertyBag() = default;
    // Reads and checks a whole file; raises PropertyFileError for a missing, damaged or foreign
    // file, for one over maximumFileSize, and for anything that is not a regular file (a folder,
    // a pipe, a device), which is refused without waiting on it or reading it.
    static FilePropertyBag load(const std::filesystem::path& file);
    // Reads and checks the text of a property file; file names it in errors.
    static FilePropertyBag parse(std::string_view text, const std::filesystem::path& file);
    // Writes the file anew, replacing it only once it is complete.
    void save(const std::filesystem::path& file) const;
    // The text save writes; file names it in errors. Raises PropertyFileError for a key or a
    // text that would not read back as itself (a text with a line break, a key with "=").
    std::string text(const std::filesystem::path& file) const;

    Variant readProperty(std::string_view key, const Variant& defaultValue) override;
    void writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue) override;

    // The key of the last read and the line it was read from (0 for a key the file does not
    // hold), so that a failing conversion can be named.
    const std::string& lastKeyRead() const { return lastKeyRead_; }
    int lineOfLastKeyRead() const;

private:
    struct Entry {
        std::string key; // as written
        Variant value;
        int line = 0; // where the file held it
    };
    void store(std::string_view key, const Variant& value, int line);

    std::map<std::string, Entry> entries_; // by folded key, in file order of first writing
    std::vector<std::string> order_;
    std::string lastKeyRead_;
};

// Reads a control's saved properties from a file. The values are tried on a scratch control
// first, so a value the control cannot take raises PropertyFileError naming its key and leaves
// the control untouched.
void readPropertiesFromFile(QuenArchive& control, const std::filesystem::path& file);

// Saves a control's properties to a file.
void writePropertiesToFile(QuenArchive& control, const std::filesystem::path& file);

} // namespace quenarch
