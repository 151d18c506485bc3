#include "quenarch/control/file_property_bag.h"

#include "quenarch/control/headless_host.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace quenarch {
namespace {

constexpr std::string_view signature = "quenarch-properties 1";

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<Variant> parseValue(std::string_view text)
{
    if (text.empty()) return std::nullopt;
    if (text.front() == '"') {
        std::string value;
        for (std::size_t i = 1; i < text.size(); ++i) {
            if (text[i] != '"') {
                value.push_back(text[i]);
                continue;
            }
            if (i + 1 < text.size() && text[i + 1] == '"') {
                value.push_back('"');
                ++i;
                continue;
            }
            if (i + 1 != text.size()) return std::nullopt;
            return Variant(std::move(value));
        }
        return std::nullopt; // no closing quote
    }
    const std::string folded = foldCase(text);
    if (folded == "true") return Variant(true);
    if (folded == "false") return Variant(false);
    if (folded.size() > 3 && folded.compare(0, 2, "&h") == 0 && folded.back() == '&') {
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(folded.data() + 2, folded.data() + folded.size() - 1, value, 16);
        if (error != std::errc() || end != folded.data() + folded.size() - 1) return std::nullopt;
        return Variant(static_cast<std::int32_t>(value));
    }
    std::int64_t whole = 0;
    if (auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole); error == std::errc() && end == text.data() + text.size()) {
        if (whole >= INT32_MIN && whole <= INT32_MAX) return Variant(static_cast<std::int32_t>(whole));
        return Variant(static_cast<double>(whole));
    }
    double number = 0;
    if (auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number); error == std::errc() && end == text.data() + text.size() && std::isfinite(number))
        return Variant(number);
    return std::nullopt;
}

std::string quotedText(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        out.push_back(c);
        if (c == '"') out.push_back('"');
    }
    return out + "\"";
}

std::string formatValue(const Variant& value)
{
    if (const auto* b = value.get<bool>()) return *b ? "True" : "False";
    if (const auto* i = value.get<std::int16_t>()) return std::to_string(*i);
    if (const auto* l = value.get<std::int32_t>()) {
        // Colours read best in hexadecimal, as the system colours have their top bit set.
        if (*l < 0) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "&H%08X&", static_cast<std::uint32_t>(*l));
            return buffer;
        }
        return std::to_string(*l);
    }
    if (const auto* f = value.get<float>()) return std::to_string(*f);
    if (const auto* d = value.get<double>()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", *d);
        return buffer;
    }
    if (const auto* s = value.get<std::string>()) return quotedText(*s);
    return {};
}

struct FontField {
    std::string_view name;
    void (*apply)(Font&, const Variant&, const Locale&);
};

const FontField fontFields[] = {
    {"Name", [](Font& f, const Variant& v, const Locale& l) { f.name = toText(v, l); }},
    {"Size", [](Font& f, const Variant& v, const Locale& l) { f.size = toDouble(v, l); }},
    {"Weight", [](Font& f, const Variant& v, const Locale& l) { f.weight = toInteger(v, l); }},
    {"Italic", [](Font& f, const Variant& v, const Locale& l) { f.italic = toBoolean(v, l); }},
    {"Underline", [](Font& f, const Variant& v, const Locale& l) { f.underline = toBoolean(v, l); }},
    {"Strikethrough", [](Font& f, const Variant& v, const Locale& l) { f.strikethrough = toBoolean(v, l); }},
    {"Charset", [](Font& f, const Variant& v, const Locale& l) { f.charset = toInteger(v, l); }},
};

} // namespace

PropertyFileError::PropertyFileError(const std::filesystem::path& file, int line, std::string key, const std::string& problem)
    : std::runtime_error(file.string() + (line > 0 ? ":" + std::to_string(line) : std::string()) +
                         (key.empty() ? std::string() : ": " + key) + ": " + problem),
      file_(file),
      line_(line),
      key_(std::move(key))
{
}

FilePropertyBag FilePropertyBag::load(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream) throw PropertyFileError(file, 0, {}, "cannot be read: " + std::generic_category().message(errno));
    FilePropertyBag bag;
    const Locale locale;
    std::string line;
    int number = 0;
    bool signed_ = false;
    std::shared_ptr<Font> font; // the font being read between BeginProperty and EndProperty
    std::string fontKey;
    while (std::getline(stream, line)) {
        ++number;
        const std::string_view text = trimmed(line);
        if (!signed_) {
            if (text.empty()) continue;
            if (text != signature) throw PropertyFileError(file, number, {}, "not a quenarch property file (its first line must be \"" + std::string(signature) + "\")");
            signed_ = true;
            continue;
        }
        if (text.empty() || text.front() == '\'') continue;
        if (equalsCaseBlind(text.substr(0, std::min<std::size_t>(text.size(), 14)), "BeginProperty ")) {
            if (font) throw PropertyFileError(file, number, fontKey, "BeginProperty inside another property");
            fontKey = std::string(trimmed(text.substr(14)));
            font = std::make_shared<Font>();
            continue;
        }
        if (equalsCaseBlind(text, "EndProperty")) {
            if (!font) throw PropertyFileError(file, number, {}, "EndProperty without BeginProperty");
            bag.writeProperty(fontKey, Variant(FontRef(font)), Variant());
            font.reset();
            continue;
        }
        const std::size_t equals = text.find('=');
        const std::string key(trimmed(text.substr(0, equals == std::string_view::npos ? text.size() : equals)));
        const std::string qualified = font ? fontKey + "." + key : key;
        if (equals == std::string_view::npos || key.empty()) throw PropertyFileError(file, number, qualified, "expected KEY = VALUE");
        const std::optional<Variant> value = parseValue(trimmed(text.substr(equals + 1)));
        if (!value) throw PropertyFileError(file, number, qualified, "the value is neither True, False, a number nor a quoted text");
        if (!font) {
            bag.writeProperty(key, *value, Variant());
            continue;
        }
        const FontField* field = nullptr;
        for (const FontField& candidate : fontFields)
            if (equalsCaseBlind(candidate.name, key)) field = &candidate;
        if (field == nullptr) throw PropertyFileError(file, number, qualified, "a font has no such attribute");
        try {
            field->apply(*font, *value, locale);
        } catch (const AutomationError& error) {
            throw PropertyFileError(file, number, qualified, error.description());
        }
    }
    if (!signed_) throw PropertyFileError(file, 0, {}, "is empty, not a quenarch property file");
    if (font) throw PropertyFileError(file, number, fontKey, "BeginProperty without EndProperty");
    return bag;
}

void FilePropertyBag::save(const std::filesystem::path& file) const
{
    std::ostringstream out;
    out << signature << '\n';
    for (const std::string& folded : order_) {
        const Entry& entry = entries_.at(folded);
        if (const auto* font = entry.value.get<FontRef>()) {
            const Font& f = **font;
            out << "BeginProperty " << entry.key << '\n'
                << "   Name = " << quotedText(f.name) << '\n'
                << "   Size = " << formatValue(Variant(f.size)) << '\n'
                << "   Weight = " << f.weight << '\n'
                << "   Italic = " << (f.italic ? "True" : "False") << '\n'
                << "   Underline = " << (f.underline ? "True" : "False") << '\n'
                << "   Strikethrough = " << (f.strikethrough ? "True" : "False") << '\n'
                << "   Charset = " << f.charset << '\n'
                << "EndProperty\n";
            continue;
        }
        // Values without a written form (an empty value, a picture) are not kept.
        if (const std::string text = formatValue(entry.value); !text.empty()) out << entry.key << " = " << text << '\n';
    }
    const std::filesystem::path partial = file.string() + ".partial";
    {
        std::ofstream stream(partial, std::ios::binary | std::ios::trunc);
        stream << out.str();
        stream.flush();
        if (!stream) throw PropertyFileError(file, 0, {}, "cannot be written: " + std::generic_category().message(errno));
    }
    std::error_code error;
    std::filesystem::rename(partial, file, error);
    if (error) {
        std::filesystem::remove(partial, error);
        throw PropertyFileError(file, 0, {}, "cannot be written: " + error.message());
    }
}

Variant FilePropertyBag::readProperty(std::string_view key, const Variant& defaultValue)
{
    lastKeyRead_ = std::string(key);
    auto found = entries_.find(foldCase(key));
    return found == entries_.end() ? defaultValue : found->second.value;
}

void FilePropertyBag::writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue)
{
    const std::string folded = foldCase(key);
    if (!value.isObject() && value == defaultValue) {
        if (entries_.erase(folded) != 0) std::erase(order_, folded);
        return;
    }
    auto [entry, added] = entries_.insert_or_assign(folded, Entry{std::string(key), value});
    if (added) order_.push_back(folded);
}

void readPropertiesFromFile(QuenArchive& control, const std::filesystem::path& file)
{
    FilePropertyBag bag = FilePropertyBag::load(file);
    HeadlessHost scratchHost;
    QuenArchive scratch(scratchHost, control.platform());
    try {
        scratch.ReadProperties(bag);
    } catch (const AutomationError& error) {
        throw PropertyFileError(file, 0, bag.lastKeyRead(), error.description());
    }
    control.ReadProperties(bag);
}

void writePropertiesToFile(QuenArchive& control, const std::filesystem::path& file)
{
    FilePropertyBag bag;
    control.WriteProperties(bag);
    bag.save(file);
}

} // namespace quenarch
