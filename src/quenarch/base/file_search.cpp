#include "quenarch/base/file_search.h"

#include "quenarch/base/text_case.h"
#include "quenarch/base/utf8.h"

#include <algorithm>
#include <vector>

namespace quenarch {
namespace fs = std::filesystem;
namespace {

std::string withSlashes(std::string_view path)
{
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool entryExists(const fs::path& path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

// The entries of a folder, sorted, so that case-blind matches are found in a stable order.
std::vector<std::string> entriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string_view> namesOf(std::string_view path)
{
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// Resolves the folder part of a path name by name, exactly where possible and else case-blind.
std::optional<fs::path> resolveNames(const std::vector<std::string_view>& names, std::size_t count, bool absolute)
{
    fs::path current = absolute ? fs::path("/") : fs::path();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view name = names[i];
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            current /= "..";
            continue;
        }
        const fs::path exact = current / std::string(name);
        if (entryExists(exact)) {
            current = exact;
            continue;
        }
        std::optional<fs::path> match;
        for (const std::string& entry : entriesOf(current)) {
            if (equalsCaseBlind(entry, name)) {
                match = current / entry;
                break;
            }
        }
        if (!match) return std::nullopt;
        current = *match;
    }
    return current;
}

} // namespace

bool matchesWildcard(std::string_view name, std::string_view pattern)
{
    const std::string text = foldCase(name);
    const std::string mask = foldCase(pattern);
    // Steps over one character of the text, however many bytes its UTF-8 form takes.
    const auto nextCharacter = [&](std::size_t at) { return utf8CharacterEnd(text, at); };
    std::size_t t = 0, m = 0, starMask = std::string::npos, starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && mask[m] == '?') {
            t = nextCharacter(t);
            ++m;
        } else if (m < mask.size() && mask[m] == text[t]) {
            ++t;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starText = t;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            t = starText = nextCharacter(starText);
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::int32_t FileExists(std::string_view path)
{
    if (path.empty() || path.back() == '/') return 0;
    const bool exact = entryExists(fs::path(path));
    const std::string slashed = withSlashes(path);
    const std::vector<std::string_view> names = namesOf(slashed);
    const std::string_view last = names.back();
    const bool wildcards = last.find_first_of("*?") != std::string_view::npos;
    if (exact && !wildcards) return 1;
    if (last.empty()) return exact ? 1 : 0;

    const bool absolute = slashed.front() == '/';
    std::int32_t count = 0;
    if (!wildcards) {
        count = resolveNames(names, names.size(), absolute) ? 1 : 0;
    } else if (const std::optional<fs::path> folder = resolveNames(names, names.size() - 1, absolute)) {
        for (const std::string& entry : entriesOf(*folder))
            if (matchesWildcard(entry, last) && count < INT32_MAX) ++count;
    }
    return exact ? std::max(count, 1) : count;
}

std::optional<fs::path> locateFile(std::string_view path)
{
    if (path.empty()) return std::nullopt;
    if (entryExists(fs::path(path))) return fs::path(path);
    const std::string slashed = withSlashes(path);
    const std::vector<std::string_view> names = namesOf(slashed);
    return resolveNames(names, names.size(), slashed.front() == '/');
}

} // namespace quenarch
