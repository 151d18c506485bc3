// quenarch: lists archives the way the archive viewer control shows them.

#include "listing_printer.h"

#include "quenarch/control/headless_host.h"
#include "quenarch/control/property_bag.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/control/type_library.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/freedesktop/desktop_services.h"

#include "quenarch/archive/archive_formats.h"
#include "quenarch/control/archive_source.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

namespace {

constexpr int exitUsage = 1;
constexpr int exitSomeFailed = 2;

constexpr const char* helpText = R"(Usage: quenarch list [--json] [--format FORMAT] [--encoding NAME] [--] ARCHIVE...
       quenarch typelib
       quenarch --help | --version

Lists the members of ZIP, ARJ, LZH, ARC, RAR and CAB archives as the quenarch
archive viewer control shows them. The reader is chosen by the last three
characters of the path (ZIP, ARJ, LZH, ARC, RAR, CAB, in any letter case), or
by --format; nothing is extracted or decompressed. An ARCHIVE of "-" is
standard input.

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
  --json           Print one JSON object per archive listed, on one line,
                   instead:
                     file         the path as given
                     archive      the Archive property as read back (upper case)
                     valid        true, or false when the file is not a valid
                                  archive of its kind (the "No valid archive"
                                  row)
                     type         the archive type text
                     comment      the archive comment
                     rows         one object per row with
                       name, size, packed, type, modified, crc
                                  the row's texts as the control holds them
                       path       the member's full stored path, decoded,
                                  folders joined by "/", without a "/" at the
                                  end and as stored (not proper-cased); "" for
                                  the "No valid archive" row
                       isDir      whether the member is a folder
                       icon       the key of the row's icon
                       bytes, packedBytes
                                  the sizes as numbers, or null where the
                                  size text is not a number
                       date, time "YYYY-MM-DD" and "hh:mm:ss" as the control's
                                  item queries read the row back, or null
                                  where the row has no date
                   Every line is valid UTF-8. A text that is not (such as a
                   path given in another encoding) has U+FFFD in place of
                   each byte that starts no UTF-8 character, and its key with
                   "Hex" appended follows, holding the exact bytes in
                   lower-case hexadecimal, as in
                     "file":"\uFFFD.zip","fileHex":"ff2e7a6970"
  --format FORMAT  Read every ARCHIVE with this reader, whatever its name:
                   zip, arj, lzh, arc, rar or cab (a .jar, .docx or .apk is a
                   zip, for example).
  --encoding NAME  Decode member names and comments that the archive does not
                   mark as UTF-8 with this encoding (for example IBM437,
                   windows-1251, Shift_JIS: the names iconv knows). By default
                   such names stay as they are when they are valid UTF-8, and
                   are read in the code page of the format's tools otherwise:
                   IBM437 for ZIP, ARJ and ARC, Windows-1252 for LZH, RAR and
                   CAB.
  -h, --help       Show this help and exit.
  --version        Show the version and exit.

Standard input ("-") needs --format. It is read into memory, at most 512 MiB;
a longer input is not listed (list such an archive from its file).

Numbers are written in the locale of LC_ALL, LC_NUMERIC or LANG, dates in that of
LC_ALL, LC_TIME or LANG. Regional settings may be overridden in the "intl"
section of win.ini in $XDG_CONFIG_HOME/quenarch (keys sShortDate, sDate,
sTime). File types and icons come from the desktop's shared MIME database and
icon theme, the types described in the language of LC_ALL, LC_MESSAGES or LANG
(or LANGUAGE).

Each archive that fails is named on standard error, in one line, and the
listing goes on with the next archive:
  quenarch: PATH: Path/File not found (error 75)
  quenarch: PATH: This is not a valid archive (error 321)
                   the control could not open it (the control's error)
  quenarch: PATH: not a valid ZIP archive
                   it was read, and listed as the "No valid archive" row
  quenarch: -: standard input is longer than 512 MiB
  quenarch: -: cannot read standard input: REASON
When standard output cannot be written, quenarch stops with
  quenarch: standard output: REASON
A closed pipe (as in "quenarch list x.zip | head -1") ends it quietly.

Exit status: 0 when every archive was listed as a valid archive of its kind,
2 when any archive could not be opened or read, was not valid, or its listing
could not be written, 1 for a usage error.
)";

void printError(const std::string& message) { std::fprintf(stderr, "quenarch: %s\n", message.c_str()); }

// The most of standard input that is read into memory to be listed.
constexpr std::size_t standardInputLimit = std::size_t{512} << 20;
constexpr const char* standardInputLimitText = "512 MiB";

// Standard output, written through stdio, remembering the first failed write: the rest of the
// output is dropped then, and the lister stops after the listing at hand.
class StandardOutput {
public:
    void write(std::string_view text)
    {
        if (failure_ != 0 || text.empty()) return;
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) failure_ = errno != 0 ? errno : EIO;
    }
    // Writes what stdio still holds, remembering a failure.
    void sync()
    {
        if (failure_ != 0) return;
        errno = 0;
        if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) failure_ = errno != 0 ? errno : EIO;
    }
    // The same; false (after one message) when any write failed.
    bool flush()
    {
        sync();
        if (failure_ == 0) return true;
        printError(std::string("standard output: ") + std::strerror(failure_));
        return false;
    }
    // Whether the standard output is open at all: with it closed, the first file opened would
    // take its descriptor.
    bool open()
    {
        if (fcntl(STDOUT_FILENO, F_GETFD) != -1) return true;
        failure_ = errno;
        return false;
    }
    bool failed() const { return failure_ != 0; }
    // A large listing is written faster than a reader at the other end of a pipe takes it in:
    // with the system's 64 KiB pipe the lister keeps stopping to wait. A pipe of 1 MiB lets both
    // run on. Where that fails (not a pipe, or beyond the user's pipe allowance) nothing changes.
    static void widenPipe() { fcntl(STDOUT_FILENO, F_SETPIPE_SZ, widePipeSize); }

private:
    static constexpr int widePipeSize = 1 << 20;
    int failure_ = 0;
};

// All of standard input, or why it is not there. The bytes grow by realloc, which moves the
// pages of a large block rather than copying them, so that reading needs little more memory than
// the input itself.
struct StandardInput {
    struct Free {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<std::uint8_t, Free> bytes;
    std::size_t length = 0;
    std::string error; // empty when read

    std::span<const std::uint8_t> read() const { return {bytes.get(), length}; }
};

StandardInput readStandardInput()
{
    StandardInput input;
    std::size_t capacity = 0;
    while (input.error.empty()) {
        if (capacity - input.length < 64 * 1024) {
            capacity = std::min(std::max<std::size_t>(2 * capacity, 1 << 20), standardInputLimit + 1);
            auto* grown = static_cast<std::uint8_t*>(std::realloc(input.bytes.get(), capacity));
            if (grown == nullptr) {
                input.error = "standard input does not fit in memory";
                break;
            }
            static_cast<void>(input.bytes.release());
            input.bytes.reset(grown);
        }
        const ssize_t got = ::read(STDIN_FILENO, input.bytes.get() + input.length, capacity - input.length);
        if (got == 0) break;
        if (got < 0) {
            if (errno != EINTR) input.error = std::string("cannot read standard input: ") + std::strerror(errno);
            continue;
        }
        input.length += static_cast<std::size_t>(got);
        if (input.length > standardInputLimit) input.error = std::string("standard input is longer than ") + standardInputLimitText;
    }
    if (!input.error.empty()) {
        input.bytes.reset();
        input.length = 0;
    }
    return input;
}

struct Options {
    bool help = false;
    bool json = false;
    std::string encoding;
    std::optional<quenarch::ArchiveFormat> format;
    std::vector<std::string> archives;
};

// Parses the options of list; an error text for a usage error.
std::variant<Options, std::string> parseListOptions(const std::vector<std::string>& arguments)
{
    Options options;
    bool optionsEnded = false;
    const auto chooseFormat = [&](const std::string& name) -> std::optional<std::string> {
        options.format = quenarch::formatForName(name);
        if (options.format) return std::nullopt;
        return "unknown format '" + name + "' (zip, arj, lzh, arc, rar or cab)";
    };
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
        } else if (argument.starts_with("--encoding=")) {
            options.encoding = argument.substr(11);
        } else if (argument == "--format" && i + 1 < arguments.size()) {
            if (auto error = chooseFormat(arguments[++i])) return *error;
        } else if (argument.starts_with("--format=")) {
            if (auto error = chooseFormat(argument.substr(9))) return *error;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
            return options;
        } else {
            return "unknown option '" + argument + "' (try 'quenarch --help')";
        }
    }
    if (options.archives.empty()) return std::string("no archive given (try 'quenarch --help')");
    if (!options.format && std::ranges::find(options.archives, "-") != options.archives.end())
        return std::string("standard input ('-') needs --format (try 'quenarch --help')");
    return options;
}

// The reader that the last three characters of a path name, for messages.
std::optional<quenarch::ArchiveFormat> readerNamedBy(std::string_view path)
{
    return path.size() >= 3 ? quenarch::formatForName(path.substr(path.size() - 3)) : std::nullopt;
}

// Writes what a command printed; the exit status.
int finishOutput(StandardOutput& out, int status) { return out.flush() ? status : exitSomeFailed; }

} // namespace

int main(int argc, char** argv)
{
    // A reader that stops reading (as head does) ends the lister quietly, even where the parent
    // left the signal ignored.
    std::signal(SIGPIPE, SIG_DFL);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    StandardOutput out;
    if (arguments.empty()) {
        std::fputs(helpText, stderr);
        return exitUsage;
    }
    if (arguments[0] == "-h" || arguments[0] == "--help" || arguments[0] == "help") {
        out.write(helpText);
        return finishOutput(out, 0);
    }
    if (arguments[0] == "--version") {
        out.write(std::string("quenarch ") + QUENARCH_VERSION + "\n");
        return finishOutput(out, 0);
    }
    if (arguments[0] == "typelib") {
        out.write(quenarch::typeLibraryIdl(quenarch::quenarchTypeLibrary()));
        return finishOutput(out, 0);
    }
    if (arguments[0] != "list") {
        printError("unknown command '" + arguments[0] + "' (try 'quenarch --help')");
        return exitUsage;
    }

    auto parsed = parseListOptions(arguments);
    if (const std::string* usageError = std::get_if<std::string>(&parsed)) {
        printError(*usageError);
        return exitUsage;
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
        out.write(helpText);
        return finishOutput(out, 0);
    }
    if (!out.open()) return finishOutput(out, exitSomeFailed);
    out.widenPipe();

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

    const quenarch::lister::TextSink write = [&](std::string_view text) { out.write(text); };
    const auto fail = [&](const std::string& path, const std::string& what) {
        out.sync();
        printError(path + ": " + what);
    };
    // Standard input is read once, however often "-" is named.
    std::optional<StandardInput> standardInput;
    bool anyFailed = false;
    bool anyListed = false;
    for (const std::string& path : options.archives) {
        if (out.failed()) break;
        quenarch::ArchiveSource source{options.format, std::nullopt};
        if (path == "-") {
            if (!standardInput) standardInput = readStandardInput();
            if (!standardInput->error.empty()) {
                fail(path, standardInput->error);
                anyFailed = true;
                continue;
            }
            source.bytes = standardInput->read();
        }
        try {
            control.openArchive(path, source);
        } catch (const quenarch::AutomationError& error) {
            fail(path, error.description() + " (error " + std::to_string(error.number()) + ")");
            anyFailed = true;
            continue;
        }
        if (options.json) {
            quenarch::lister::writeJson(control, path, write);
        } else {
            // Listings are set apart by a blank line, whichever archives failed between them.
            if (options.archives.size() > 1) out.write((anyListed ? "\n" : "") + path + ":\n");
            quenarch::lister::writeReport(control, write);
        }
        anyListed = true;
        if (!quenarch::lister::listedAsValid(control)) {
            const std::optional<quenarch::ArchiveFormat> format = options.format ? options.format : readerNamedBy(path);
            fail(path, format ? "not a valid " + std::string(quenarch::extensionOf(*format)) + " archive" : "not a valid archive");
            anyFailed = true;
        }
    }
    const int status = finishOutput(out, anyFailed ? exitSomeFailed : 0);
    // Ending here spares freeing every row of the last listing one by one; the system takes the
    // memory back at once.
    std::_Exit(status);
}
