// Feeds arbitrary bytes to the readers of the desktop's text files: a MIME type's XML file, an
// INI file such as index.theme, and glob patterns with a file name.

#include "quenarch/freedesktop/glob_pattern.h"
#include "quenarch/freedesktop/ini_file.h"
#include "quenarch/freedesktop/mime_type_xml.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quenarch::freedesktop;
    const std::string text(reinterpret_cast<const char*>(data), size);
    commentOfMimeTypeXml(text, {"de", "pt_BR", "default"});

    const IniFile ini(text);
    const IniFile::Section about = ini.section("Icon Theme");
    for (const std::string_view directory : about.list("Directories")) ini.section(directory).number("Size");

    // The first line is a pattern, the rest a file name.
    const std::size_t newline = text.find('\n');
    const std::string pattern = text.substr(0, newline);
    const std::string name = newline == std::string::npos ? std::string() : text.substr(newline + 1);
    GlobPattern(pattern, false).matches(name);
    GlobPattern(pattern, true).matches(name);
    return 0;
}
