#pragma once

#include "quenarch/control/property_bag.h"
#include "quenarch/platform/platform.h"

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

namespace quenarch {

class QuenArchive;

// A saved-properties file that could not be used, naming the file, the line and the key.
class PropertyFileError : public std::runtime_error {
public:
    PropertyFileError(const std::filesystem::path& file, int line, std::string key, const std::string& problem);

    const std::filesystem::path& file() const { return file_; }
    int line() const { return line_; } // 0 when the problem is not on one line
    const std::string& key() const { return key_; }

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
// The first line names the format. Keys match without regard to letter case. Values are True or
// False, whole numbers (decimal, or &H...& hexadecimal), decimals, or texts in double quotes
// (a quote inside written twice). Lines starting with ' are comments. Plain values equal to
// their defaults are left out when saving.
class FilePropertyBag final : public PropertyBag {
public:
    FilePropertyBag() = default;
    // Reads and checks a whole file; raises PropertyFileError for a missing, damaged or foreign file.
    static FilePropertyBag load(const std::filesystem::path& file);
    // Writes the file anew, replacing it only once it is complete.
    void save(const std::filesystem::path& file) const;

    Variant readProperty(std::string_view key, const Variant& defaultValue) override;
    void writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue) override;

    // The key of the last read, so that a failing conversion can be named.
    const std::string& lastKeyRead() const { return lastKeyRead_; }

private:
    struct Entry {
        std::string key; // as written
        Variant value;
    };
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
