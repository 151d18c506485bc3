#include "quenarch/freedesktop/ini_file.h"

#include "quenarch/base/blank_text.h"
#include "quenarch/freedesktop/file_text.h"

#include <algorithm>
#include <charconv>

namespace quenarch::freedesktop {
namespace {

bool isLineBlank(char c) { return lineBlanks.find(c) != std::string_view::npos; }

std::string_view trimmed(std::string_view text) { return quenarch::trimmed(text, lineBlanks); }

// Calls found(bracket, lineStart, lineEnd) for each section header: a line whose first character
// other than a blank is "[". Headers are few among the lines, so they are found by their "[".
template <typename Found>
void forEachHeader(std::string_view all, Found found)
{
    for (std::size_t bracket = all.find('['); bracket != std::string_view::npos; bracket = all.find('[', bracket + 1)) {
        std::size_t lineStart = bracket;
        while (lineStart > 0 && isLineBlank(all[lineStart - 1])) --lineStart;
        if (lineStart > 0 && all[lineStart - 1] != '\n') continue;
        const std::size_t end = std::min(all.find('\n', bracket), all.size());
        found(bracket, lineStart, end);
        bracket = end == all.size() ? end - 1 : end;
    }
}

std::string_view headerName(std::string_view all, std::size_t bracket, std::size_t end)
{
    const std::string_view header = all.substr(bracket + 1, end - bracket - 1);
    return header.substr(0, header.find(']'));
}

} // namespace

IniFile IniFile::read(const std::filesystem::path& path) { return IniFile(fileText(path)); }

IniFile::IniFile(std::string text) : text_(std::move(text))
{
    const std::string_view all = text_;
    runs_.push_back({{}, {}});
    std::size_t linesStart = 0;
    forEachHeader(all, [&](std::size_t bracket, std::size_t lineStart, std::size_t end) {
        runs_.back().lines = all.substr(linesStart, lineStart - linesStart);
        runs_.push_back({headerName(all, bracket, end), {}});
        linesStart = std::min(end + 1, all.size());
    });
    runs_.back().lines = all.substr(linesStart);
}

std::vector<std::string_view> IniFile::runsOf(std::string_view name) const
{
    constexpr std::size_t questionsBeforeSorting = 32;
    std::vector<std::string_view> runs;
    if (++questions_ <= questionsBeforeSorting) {
        for (const Run& run : runs_) {
            if (run.section == name) runs.push_back(run.lines);
        }
        return runs;
    }
    if (byName_.empty()) {
        byName_.resize(runs_.size());
        for (std::size_t i = 0; i < byName_.size(); ++i) byName_[i] = i;
        std::sort(byName_.begin(), byName_.end(), [&](std::size_t a, std::size_t b) {
            return runs_[a].section != runs_[b].section ? runs_[a].section < runs_[b].section : a < b;
        });
    }
    auto at = std::lower_bound(byName_.begin(), byName_.end(), name, [&](std::size_t run, std::string_view wanted) { return runs_[run].section < wanted; });
    for (; at != byName_.end() && runs_[*at].section == name; ++at) runs.push_back(runs_[*at].lines);
    return runs;
}

IniFile::Section IniFile::section(std::string_view name) const
{
    Section section;
    for (std::string_view rest : runsOf(name)) {
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view line = trimmed(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            if (line.empty() || line.front() == ';' || line.front() == '#') continue;
            const std::size_t equals = line.find('=');
            if (equals == std::string_view::npos) continue;
            std::string_view value = trimmed(line.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            section.entries_.emplace_back(trimmed(line.substr(0, equals)), value);
        }
    }
    return section;
}

std::optional<std::string_view> IniFile::Section::value(std::string_view key) const
{
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (entry->first == key) return entry->second;
    }
    return std::nullopt;
}

std::optional<int> IniFile::Section::number(std::string_view key) const
{
    std::optional<std::string_view> text = value(key);
    if (!text) return std::nullopt;
    if (text->starts_with('+')) text->remove_prefix(1);
    int number = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
    return number;
}

std::vector<std::string_view> IniFile::Section::list(std::string_view key) const
{
    std::vector<std::string_view> items;
    const std::optional<std::string_view> text = value(key);
    if (!text || text->empty()) return items;
    std::string_view rest = *text;
    while (true) {
        const std::size_t comma = rest.find(',');
        items.push_back(trimmed(rest.substr(0, comma)));
        if (comma == std::string_view::npos) return items;
        rest.remove_prefix(comma + 1);
    }
}

} // namespace quenarch::freedesktop
