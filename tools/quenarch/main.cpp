// quenarch: lists archives the way the archive viewer control shows them.

#include "listing_printer.h"

#include "quenarch/control/headless_host.h"
#include "quenarch/control/property_bag.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/control/type_library.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/freedesktop/desktop_services.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int exitUsage = 1;
constexpr int exitSomeFailed = 2;

constexpr const char* helpText = R"(Usage: quenarch list [--json] [--encoding NAME] [--] ARCHIVE...
       quenarch typelib
       quenarch --help | --version

Lists the members of ZIP, ARJ, LZH, ARC, RAR and CAB archives as the quenarch
archive viewer control shows them. The reader is chosen by the last three
characters of the path (ZIP, ARJ, LZH, ARC, RAR, CAB, in any letter case);
nothing is extracted or decompressed.

For each archive, quenarch prints the rows of the control's report view:
Name, Size, Packed, Type (the desktop's description of the file type) and
Modified, then one line with the number of rows, the archive type and the
archive comment (control characters shown as escapes such as \n). A file that
is not an archive of its kind shows the single row "No valid archive". When
several archives are given, each listing starts with a line naming it.

Commands:
  list             List archives, as described above.
  typelib          Print the control's type library (its dispatch interface,
                   event interface and classes) as IDL.

Options of list:
  --json           Print one JSON object per archive, on one line, instead:
                     archive      the Archive property as read back (upper case)
                     type         the archive type text
                     comment      the archive comment
                     rows         one object per row with
                       name, size, packed, type, modified, crc
                                  the row's texts as the control holds them
                       icon       the key of the row's icon
                       bytes, packedBytes
                                  the sizes as numbers, or null where the
                                  size text is not a number
                       date, time "YYYY-MM-DD" and "hh:mm:ss" as the control's
                                  item queries read the row back, or null
                                  where the row has no date
  --encoding NAME  Decode member names and comments that the archive does not
                   mark as UTF-8 with this encoding (for example IBM437,
                   windows-1251, Shift_JIS: the names iconv knows). By default
                   such names stay as they are when they are valid UTF-8, and
                   are read in the code page of the format's tools otherwise:
                   IBM437 for ZIP, ARJ and ARC, Windows-1252 for LZH, RAR and
                   CAB.
  -h, --help       Show this help and exit.
  --version        Show the version and exit.

Numbers are written in the locale of LC_ALL, LC_NUMERIC or LANG, dates in that of
LC_ALL, LC_TIME or LANG. Regional settings may be overridden in the "intl"
section of win.ini in $XDG_CONFIG_HOME/quenarch (keys sShortDate, sDate,
sTime). File types and icons come from the desktop's shared MIME database and
icon theme, the types described in the language of LC_ALL, LC_MESSAGES or LANG
(or LANGUAGE).

Errors such as a missing file are reported on standard error as
  quenarch: PATH: Path/File not found (error 75)
  quenarch: PATH: This is not a valid archive (error 321)
and the listing goes on with the next archive.

Exit status: 0 when every archive was listed, 2 when any failed, 1 for a
usage error.
)";

void printError(const std::string& message) { std::fprintf(stderr, "quenarch: %s\n", message.c_str()); }

void writeOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

struct Options {
    bool json = false;
    std::string encoding;
    std::vector<std::string> archives;
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::fputs(helpText, stderr);
        return exitUsage;
    }
    if (arguments[0] == "-h" || arguments[0] == "--help" || arguments[0] == "help") {
        std::fputs(helpText, stdout);
        return 0;
    }
    if (arguments[0] == "--version") {
        std::printf("quenarch %s\n", QUENARCH_VERSION);
        return 0;
    }
    if (arguments[0] == "typelib") {
        writeOut(quenarch::typeLibraryIdl(quenarch::quenarchTypeLibrary()));
        return 0;
    }
    if (arguments[0] != "list") {
        printError("unknown command '" + arguments[0] + "' (try 'quenarch --help')");
        return exitUsage;
    }

    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.archives.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--encoding" && i + 1 < arguments.size()) {
            options.encoding = arguments[++i];
        } else if (argument.rfind("--encoding=", 0) == 0) {
            options.encoding = argument.substr(11);
        } else if (argument == "-h" || argument == "--help") {
            std::fputs(helpText, stdout);
            return 0;
        } else {
            printError("unknown option '" + argument + "' (try 'quenarch --help')");
            return exitUsage;
        }
    }
    if (options.archives.empty()) {
        printError("no archive given (try 'quenarch --help')");
        return exitUsage;
    }

    // The desktop's file types, icons and locale come from the freedesktop files themselves.
    quenarch::Platform platform;
    try {
        platform = quenarch::freedesktop::desktopServices({options.encoding, {}, {}, {}}).platform;
    } catch (const std::invalid_argument& error) {
        printError(error.what());
        return exitUsage;
    }
    // The report shows no icons, so it does not ask the desktop for them; the JSON form names
    // each row's icon key, which needs only to know whether the desktop has the icon.
    if (!options.json) platform.icons = std::make_shared<quenarch::NoIconSource>();

    // Hosted as a form hosts it at run time: created, its saved properties read (none), then
    // given each archive in turn.
    quenarch::HeadlessHost host;
    quenarch::QuenArchive control(host, std::move(platform));
    quenarch::MemoryPropertyBag noSavedProperties;
    control.ReadProperties(noSavedProperties);

    bool anyFailed = false;
    bool anyListed = false;
    for (const std::string& path : options.archives) {
        try {
            control.LetArchive(quenarch::Variant(path));
        } catch (const quenarch::AutomationError& error) {
            std::fflush(stdout);
            printError(path + ": " + error.description() + " (error " + std::to_string(error.number()) + ")");
            anyFailed = true;
            continue;
        }
        if (options.json) {
            quenarch::lister::writeJson(control, writeOut);
            continue;
        }
        // Listings are set apart by a blank line, whichever archives failed between them.
        if (options.archives.size() > 1) writeOut((anyListed ? "\n" : "") + path + ":\n");
        quenarch::lister::writeReport(control, writeOut);
        anyListed = true;
    }
    std::fflush(stdout);
    // Ending here spares freeing every row of the last listing one by one; the system takes the
    // memory back at once.
    std::_Exit(anyFailed ? exitSomeFailed : 0);
}
