#include "quenarch/freedesktop/mime_database.h"

#include "quenarch/base/text_case.h"
#include "quenarch/base/utf8.h"
#include "quenarch/freedesktop/file_text.h"
#include "quenarch/freedesktop/mime_type_xml.h"

#include <algorithm>
#include <array>
#include <optional>

namespace quenarch::freedesktop {
namespace {

constexpr std::string_view noGlobsMarker = "__NOGLOBS__";

// Where the character is first found from start on; npos when it is not. A plain loop: the
// texts searched are short lines and fields.
std::size_t indexOf(std::string_view text, char wanted, std::size_t start = 0)
{
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == wanted) return i;
    }
    return std::string_view::npos;
}

// Calls take(line) for each line of the text that is neither empty nor a "#" comment.
template <typename Take>
void forEachLine(std::string_view text, Take take)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() != '#') take(line);
    }
}

// A file of one entry a line (types, aliases, icons), searched by how its lines start: by
// halves when its lines are sorted, as update-mime-database writes most of them, else line by
// line.
class LineFile {
public:
    explicit LineFile(const std::filesystem::path& file) : text_(fileText(file))
    {
        std::string_view rest = text_, previous;
        while (sorted_ && !rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view line = rest.substr(0, end);
            sorted_ = previous <= line;
            previous = line;
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
    }

    // The first line that starts with the prefix, or that is the whole prefix.
    std::optional<std::string_view> startingWith(std::string_view prefix, bool whole = false) const
    {
        const std::string_view text = text_;
        const auto lineAt = [&](std::size_t start) { return text.substr(start, std::min(text.find('\n', start), text.size()) - start); };
        const auto fits = [&](std::string_view line) { return whole ? line == prefix : line.starts_with(prefix); };
        if (sorted_) {
            // The start of the first line not before the prefix, between two line starts.
            std::size_t low = 0, high = text.size();
            while (low < high) {
                const std::size_t middle = low + (high - low) / 2;
                const std::size_t newline = middle == 0 ? std::string_view::npos : text.rfind('\n', middle - 1);
                const std::size_t start = newline == std::string_view::npos || newline < low ? low : newline + 1;
                const std::string_view line = lineAt(start);
                if (line < prefix)
                    low = std::min(start + line.size() + 1, text.size());
                else
                    high = start;
            }
            if (low < text.size() && fits(lineAt(low))) return lineAt(low);
            return std::nullopt;
        }
        for (std::size_t start = 0; start < text.size();) {
            if (text.compare(start, prefix.size(), prefix) == 0 && fits(lineAt(start))) return lineAt(start);
            const std::size_t next = text.find("\n" + std::string(prefix), start);
            if (next == std::string_view::npos) return std::nullopt;
            start = next + 1;
        }
        return std::nullopt;
    }

private:
    std::string text_;
    bool sorted_ = true;
};

std::size_t firstWildcard(std::string_view pattern)
{
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '*' || pattern[i] == '?' || pattern[i] == '[') return i;
    }
    return std::string_view::npos;
}

} // namespace

// The globs of one mime folder, sorted as mime.cache sorts them: names without wildcards, simple
// suffixes ("*" and then no wildcard, kept without the "*"), and the rest. The texts stay in the
// file's text; the suffixes are filed by their last byte.
struct MimeDatabase::Globs {
    struct Glob {
        std::string_view type;
        int weight = 50;
        GlobPattern pattern;
    };
    struct Suffix {
        std::string_view suffix;
        std::string_view type;
        int weight = 50;
        bool caseSensitive = false;
    };

    std::string text;
    std::vector<Glob> literals;
    std::vector<Suffix> suffixes;                  // by the last byte of their suffix
    std::array<std::uint32_t, 257> suffixesEnding; // where the suffixes ending in each byte start
    std::vector<Glob> others;

    explicit Globs(const std::filesystem::path& file) : text(fileText(file))
    {
        suffixes.reserve(text.size() / 24); // lines are about that long
        // Lines are "weight:type:pattern" with ":cs" after a case-sensitive pattern. A type marked
        // __NOGLOBS__ keeps the patterns the other folders give it, as Qt keeps them.
        forEachLine(text, [&](std::string_view line) {
            const std::size_t first = indexOf(line, ':');
            const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
            if (second == std::string_view::npos || first == 0) return;
            int weight = 0;
            for (const char digit : line.substr(0, first)) {
                if (digit < '0' || digit > '9' || weight > 1000) return;
                weight = weight * 10 + (digit - '0');
            }
            const std::string_view type = line.substr(first + 1, second - first - 1);
            std::string_view pattern = line.substr(second + 1);
            bool caseSensitive = false;
            if (const std::size_t flags = indexOf(pattern, ':'); flags != std::string_view::npos) {
                std::string_view list = pattern.substr(flags + 1);
                pattern = pattern.substr(0, flags);
                while (!list.empty()) {
                    const std::size_t comma = list.find(',');
                    caseSensitive = caseSensitive || list.substr(0, comma) == "cs";
                    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
                }
            }
            if (pattern.empty() || pattern == noGlobsMarker) return;
            const std::size_t wildcard = firstWildcard(pattern);
            if (wildcard == std::string_view::npos) {
                literals.push_back({type, weight, GlobPattern(pattern, caseSensitive)});
            } else if (wildcard == 0 && pattern.size() > 1 && firstWildcard(pattern.substr(1)) == std::string_view::npos) {
                suffixes.push_back({pattern.substr(1), type, weight, caseSensitive});
            } else {
                others.push_back({type, weight, GlobPattern(pattern, caseSensitive)});
            }
        });
        // Filed by their last byte, in the file's order within each byte.
        const auto lastByte = [](const Suffix& suffix) { return static_cast<unsigned char>(suffix.suffix.back()); };
        suffixesEnding.fill(0);
        for (const Suffix& suffix : suffixes) ++suffixesEnding[lastByte(suffix) + 1u];
        for (std::size_t byte = 1; byte < suffixesEnding.size(); ++byte) suffixesEnding[byte] += suffixesEnding[byte - 1];
        std::array<std::uint32_t, 257> next = suffixesEnding;
        std::vector<Suffix> filed(suffixes.size());
        for (const Suffix& suffix : suffixes) filed[next[lastByte(suffix)]++] = suffix;
        suffixes = std::move(filed);
    }

    // Of the lines that give a type the same pattern, the first counts, as in mime.cache.
    template <typename Entry, typename PatternOf>
    static bool isRepeat(const std::vector<Entry>& entries, const Entry& entry, PatternOf patternOf)
    {
        for (const Entry& earlier : entries) {
            if (&earlier == &entry) return false;
            if (earlier.type == entry.type && patternOf(earlier) == patternOf(entry)) return true;
        }
        return false;
    }
};

// What has been read of one mime folder.
struct MimeDatabase::Folder {
    std::filesystem::path path;
    std::optional<Globs> globs;
    std::optional<LineFile> icons, genericIcons; // "type:icon" a line
    std::optional<LineFile> types;               // one type a line
    std::optional<LineFile> aliases;             // "alias type" a line

    const Globs& readGlobs()
    {
        if (!globs) globs.emplace(path / "globs2");
        return *globs;
    }

    void readTypeNames()
    {
        if (!types) types.emplace(path / "types");
        if (!aliases) aliases.emplace(path / "aliases");
    }
};

// The types that glob patterns match, best first, as Qt keeps them.
struct MimeDatabase::MatchResult {
    std::vector<std::string> matching; // the types of the best weight and longest pattern so far
    std::vector<std::string> all;      // every type met
    int weight = 0;
    std::size_t patternLength = 0;

    void add(const std::string& type, int typeWeight, std::size_t length)
    {
        if (std::find(all.begin(), all.end(), type) != all.end()) return;
        if (typeWeight < weight) {
            all.push_back(type);
            return;
        }
        bool replace = typeWeight > weight;
        if (!replace) {
            if (length < patternLength) return;
            replace = length > patternLength; // "*.tar.gz" beats "*.gz"
        }
        if (replace) {
            matching.clear();
            patternLength = length;
            weight = typeWeight;
        }
        if (std::find(matching.begin(), matching.end(), type) == matching.end()) {
            matching.push_back(type);
            if (replace)
                all.insert(all.begin(), type);
            else
                all.push_back(type);
        }
    }
};

MimeDatabase::MimeDatabase(std::vector<std::filesystem::path> folders)
{
    for (std::filesystem::path& path : folders) folders_.push_back(Folder{std::move(path), {}, {}, {}, {}, {}});
}

MimeDatabase::~MimeDatabase() = default;

std::vector<std::filesystem::path> MimeDatabase::foldersOf(const Environment& environment)
{
    std::vector<std::filesystem::path> folders;
    for (const std::filesystem::path& data : dataFolders(environment)) {
        std::error_code error;
        if (std::filesystem::is_directory(data / "mime", error)) folders.push_back(data / "mime");
    }
    return folders;
}

std::string MimeDatabase::typeOfFileName(std::string_view fileName) const
{
    if (fileName.empty()) return {};
    std::lock_guard lock(mutex_);
    MatchResult result;
    const std::string lowered = toLower(fileName);
    // Each folder adds its matches to the result; once a folder has found a type, the folders
    // after it add only their literal names.
    const auto patternText = [](const Globs::Glob& glob) -> std::string_view { return glob.pattern.text(); };
    const auto suffixText = [](const Globs::Suffix& suffix) { return suffix.suffix; };
    for (Folder& folder : folders_) {
        const Globs& globs = folder.readGlobs();
        for (const Globs::Glob& glob : globs.literals) {
            if (glob.pattern.matches(fileName) && !Globs::isRepeat(globs.literals, glob, patternText))
                result.add(std::string(glob.type), glob.weight, utf16Length(glob.pattern.text()));
        }
        // The longest suffix that some pattern names wins; a suffix covers all but the first
        // character at most, unless the name is one character long. Case-blind patterns meet the
        // lower-cased name first; when none matches, every pattern meets the name as it is.
        for (const bool asGiven : {false, true}) {
            if (!result.matching.empty()) break;
            const std::string_view name = asGiven ? fileName : std::string_view(lowered);
            const std::size_t first = utf8CharacterEnd(name, 0);
            const std::size_t longest = first < name.size() ? name.size() - first : name.size();
            std::size_t bestLength = 0;
            std::vector<const Globs::Suffix*> best;
            const auto last = static_cast<unsigned char>(name.back());
            for (std::uint32_t position = globs.suffixesEnding[last]; position < globs.suffixesEnding[last + 1u]; ++position) {
                const Globs::Suffix& suffix = globs.suffixes[position];
                if ((suffix.caseSensitive && !asGiven) || suffix.suffix.size() > longest || suffix.suffix.size() < bestLength ||
                    !name.ends_with(suffix.suffix) || Globs::isRepeat(globs.suffixes, suffix, suffixText))
                    continue;
                if (suffix.suffix.size() > bestLength) best.clear();
                bestLength = suffix.suffix.size();
                best.push_back(&suffix);
            }
            for (const Globs::Suffix* suffix : best) result.add(std::string(suffix->type), suffix->weight, 1 + utf16Length(suffix->suffix));
        }
        if (result.matching.empty()) {
            for (const Globs::Glob& glob : globs.others) {
                if (glob.pattern.matches(fileName) && !Globs::isRepeat(globs.others, glob, patternText))
                    result.add(std::string(glob.type), glob.weight, utf16Length(glob.pattern.text()));
            }
        }
    }
    if (result.matching.empty()) return {};
    return *std::min_element(result.matching.begin(), result.matching.end());
}

std::string MimeDatabase::comment(std::string_view type, const std::vector<std::string>& languages) const
{
    // update-mime-database has written lower-cased file names since shared-mime-info 1.3.
    for (const Folder& folder : folders_) {
        std::string text = fileText(folder.path / (toLower(type) + ".xml"));
        if (text.empty()) text = fileText(folder.path / (std::string(type) + ".xml"));
        std::optional<std::string> comment = commentOfMimeTypeXml(text, languages);
        if (comment) return comment->empty() ? std::string(type) : std::move(*comment);
    }
    return std::string(type);
}

std::string MimeDatabase::iconEntry(std::string_view type, bool generic) const
{
    std::lock_guard lock(mutex_);
    const std::string prefix = std::string(type) + ':';
    for (Folder& folder : folders_) {
        std::optional<LineFile>& entries = generic ? folder.genericIcons : folder.icons;
        if (!entries) entries.emplace(folder.path / (generic ? "generic-icons" : "icons"));
        const std::optional<std::string_view> line = entries->startingWith(prefix);
        if (line && line->size() > prefix.size()) return std::string(line->substr(prefix.size()));
    }
    return {};
}

std::string MimeDatabase::iconName(std::string_view type) const
{
    std::string name = iconEntry(type, false);
    if (!name.empty()) return name;
    name = type;
    if (const std::size_t slash = name.find('/'); slash != std::string::npos) name[slash] = '-';
    return name;
}

std::string MimeDatabase::genericIconName(std::string_view type) const
{
    std::string name = iconEntry(type, true);
    if (!name.empty()) return name;
    return std::string(type.substr(0, type.find('/'))) + "-x-generic";
}

std::string MimeDatabase::knownType(std::string_view nameOrAlias) const
{
    std::lock_guard lock(mutex_);
    std::string name(nameOrAlias);
    for (Folder& folder : folders_) {
        folder.readTypeNames();
        const std::optional<std::string_view> alias = folder.aliases->startingWith(name + ' ');
        if (alias) {
            name = alias->substr(name.size() + 1);
            break;
        }
    }
    const bool known = std::any_of(folders_.begin(), folders_.end(), [&](const Folder& folder) { return folder.types->startingWith(name, true).has_value(); });
    return known ? name : std::string();
}

} // namespace quenarch::freedesktop
