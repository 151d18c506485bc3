#include "quenarch/control/file_property_bag.h"

#include "quenarch/control/headless_host.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/blank_text.h"
#include "quenarch/base/text_case.h"
#include "quenarch/platform/text_codec.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quenarch {
namespace {

constexpr std::string_view signature = "quenarch-properties 1";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
// How many characters of a key or a line an error quotes.
constexpr std::size_t excerptLength = 40;

bool isShownEscaped(char32_t c)
{
    // Controls, and the marks that reorder the text around them on screen.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

char32_t codePointOf(std::string_view sequence)
{
    if (sequence.size() == 1) return static_cast<unsigned char>(sequence[0]);
    char32_t c = static_cast<unsigned char>(sequence[0]) & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    return c;
}

// At most excerptLength characters of text, with quotes, backslashes, controls and bytes that
// are not UTF-8 written as escapes, and "..." where it was cut.
std::string excerpt(std::string_view text)
{
    std::string out;
    std::size_t i = 0;
    for (std::size_t shown = 0; i < text.size() && shown < excerptLength; ++shown) {
        const std::size_t length = utf8SequenceLength(text, i);
        const std::string_view sequence = text.substr(i, std::max<std::size_t>(length, 1));
        i += sequence.size();
        const char32_t c = codePointOf(sequence);
        char escape[16];
        if (length == 0 || (c < 0x80 && isShownEscaped(c))) {
            switch (c) {
            case '\n': out.append("\\n"); break;
            case '\r': out.append("\\r"); break;
            case '\t': out.append("\\t"); break;
            default:
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(sequence[0])));
                out.append(escape);
            }
        } else if (isShownEscaped(c)) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            out.append(escape);
        } else {
            if (c == '"' || c == '\\') out.push_back('\\');
            out.append(sequence);
        }
    }
    if (i < text.size()) out.append("...");
    return out;
}

std::string quotedExcerpt(std::string_view text) { return "\"" + excerpt(text) + "\""; }

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

// The bytes of a regular file (or of one a symbolic link leads to) of at most
// FilePropertyBag::maximumFileSize bytes. Anything else is refused without blocking: a pipe is
// opened without waiting for a writer, and neither it nor a device is read.
std::string readPropertyFileBytes(const std::filesystem::path& file)
{
    const auto failure = [&](const std::string& problem) { return PropertyFileError(file, 0, {}, problem); };
    FileDescriptor descriptor;
    descriptor.fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor.fd < 0) throw failure("cannot be read: " + std::generic_category().message(errno));
    struct stat status {};
    if (::fstat(descriptor.fd, &status) != 0) throw failure("cannot be read: " + std::generic_category().message(errno));
    if (!S_ISREG(status.st_mode)) throw failure("cannot be read: not a regular file");
    constexpr std::uintmax_t limit = FilePropertyBag::maximumFileSize;
    const auto tooLarge = [&] { return failure("is larger than " + std::to_string(limit) + " bytes, too large for a property file"); };
    if (static_cast<std::uintmax_t>(status.st_size) > limit) throw tooLarge();
    // Read in pieces and stop at the limit, so that a file that grows meanwhile is caught too.
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) throw failure("cannot be read: " + std::generic_category().message(errno));
        if (count == 0) break;
        if (bytes.size() + static_cast<std::size_t>(count) > limit) throw tooLarge();
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

constexpr std::string_view beginProperty = "BeginProperty ";

// Whether a line opens a property of its own, such as a font.
bool opensProperty(std::string_view line) { return equalsCaseBlind(line.substr(0, std::min(line.size(), beginProperty.size())), beginProperty); }

// Whether a key, written as "KEY = VALUE", would read back as the opening of a property.
bool readsAsOpening(std::string_view key) { return opensProperty(std::string(key) + " = "); }

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
        if (end != folded.data() + folded.size() - 1) return std::nullopt;
        if (error == std::errc::result_out_of_range) throw errors::overflow();
        if (error != std::errc()) return std::nullopt;
        return Variant(static_cast<std::int32_t>(value));
    }
    std::int64_t whole = 0;
    if (auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole); error == std::errc() && end == text.data() + text.size()) {
        if (whole >= INT32_MIN && whole <= INT32_MAX) return Variant(static_cast<std::int32_t>(whole));
        return Variant(static_cast<double>(whole));
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (end != text.data() + text.size()) return std::nullopt;
    if (error == std::errc::result_out_of_range) throw errors::overflow();
    if (error != std::errc() || !std::isfinite(number)) return std::nullopt;
    return Variant(number);
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
        // The shortest text that reads back as the same number, with a decimal point where it
        // would otherwise read back as a whole number.
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, *d).ptr;
        std::string text(buffer, end);
        if (text.find_first_not_of("-0123456789") == std::string::npos) text += ".0";
        return text;
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
    {"Size",
     [](Font& f, const Variant& v, const Locale& l) {
         const double size = toDouble(v, l);
         if (!isDrawableFontSize(size)) throw errors::invalidPropertyValue();
         f.size = size;
     }},
    {"Weight", [](Font& f, const Variant& v, const Locale& l) { f.weight = toInteger(v, l); }},
    {"Italic", [](Font& f, const Variant& v, const Locale& l) { f.italic = toBoolean(v, l); }},
    {"Underline", [](Font& f, const Variant& v, const Locale& l) { f.underline = toBoolean(v, l); }},
    {"Strikethrough", [](Font& f, const Variant& v, const Locale& l) { f.strikethrough = toBoolean(v, l); }},
    {"Charset", [](Font& f, const Variant& v, const Locale& l) { f.charset = toInteger(v, l); }},
};

} // namespace

PropertyFileError::PropertyFileError(const std::filesystem::path& file, int line, std::string_view key, const std::string& problem)
    : std::runtime_error(file.string() + (line > 0 ? ":" + std::to_string(line) : std::string()) +
                         (key.empty() ? std::string() : ": " + excerpt(key)) + ": " + problem),
      file_(file),
      line_(line),
      key_(excerpt(key))
{
}

FilePropertyBag FilePropertyBag::load(const std::filesystem::path& file) { return parse(readPropertyFileBytes(file), file); }

FilePropertyBag FilePropertyBag::parse(std::string_view content, const std::filesystem::path& file)
{
    if (content.starts_with(byteOrderMark)) content.remove_prefix(byteOrderMark.size());
    FilePropertyBag bag;
    const Locale locale;
    int number = 0;
    bool signed_ = false;
    std::shared_ptr<Font> font; // the font being read between BeginProperty and EndProperty
    std::string fontKey;
    int fontLine = 0;
    while (!content.empty()) {
        const std::size_t lineEnd = std::min(content.find('\n'), content.size());
        const std::string_view text = trimmed(content.substr(0, lineEnd), lineBlanks);
        content.remove_prefix(std::min(lineEnd + 1, content.size()));
        ++number;
        if (!signed_) {
            if (text.empty()) continue;
            if (text != signature)
                throw PropertyFileError(file, number, {},
                                        "not a quenarch property file (its first line must be \"" + std::string(signature) + "\", not " +
                                            quotedExcerpt(text) + ")");
            signed_ = true;
            continue;
        }
        if (text.empty() || text.front() == '\'') continue;
        if (opensProperty(text)) {
            if (font) throw PropertyFileError(file, number, fontKey, "BeginProperty inside another property");
            fontKey = std::string(trimmed(text.substr(beginProperty.size()), lineBlanks));
            fontLine = number;
            font = std::make_shared<Font>();
            continue;
        }
        if (equalsCaseBlind(text, "EndProperty")) {
            if (!font) throw PropertyFileError(file, number, {}, "EndProperty without BeginProperty");
            bag.store(fontKey, Variant(FontRef(font)), fontLine);
            font.reset();
            continue;
        }
        const std::size_t equals = text.find('=');
        const std::string_view key = trimmed(text.substr(0, equals == std::string_view::npos ? text.size() : equals), lineBlanks);
        const std::string qualified = font ? fontKey + "." + std::string(key) : std::string(key);
        if (equals == std::string_view::npos || key.empty()) throw PropertyFileError(file, number, qualified, "expected KEY = VALUE");
        if (!font && readsAsOpening(key)) throw PropertyFileError(file, number, qualified, "expected BeginProperty NAME");
        const std::string_view valueText = trimmed(text.substr(equals + 1), lineBlanks);
        const FontField* field = nullptr;
        if (font) {
            for (const FontField& candidate : fontFields)
                if (equalsCaseBlind(candidate.name, key)) field = &candidate;
            if (field == nullptr) throw PropertyFileError(file, number, qualified, "a font has no such attribute");
        }
        try {
            const std::optional<Variant> value = parseValue(valueText);
            if (!value)
                throw PropertyFileError(file, number, qualified,
                                        "the value " + quotedExcerpt(valueText) + " is neither True, False, a number nor a quoted text");
            if (field != nullptr)
                field->apply(*font, *value, locale);
            else
                bag.store(key, *value, number);
        } catch (const AutomationError& error) {
            throw PropertyFileError(file, number, qualified, error.description());
        }
    }
    if (!signed_) throw PropertyFileError(file, 0, {}, "is empty, not a quenarch property file");
    if (font) throw PropertyFileError(file, number, fontKey, "BeginProperty without EndProperty");
    return bag;
}

std::string FilePropertyBag::text(const std::filesystem::path& file) const
{
    // What the reader would take for something else is refused rather than written.
    const auto checkKey = [&](std::string_view key, bool ofFont) {
        const bool readsBack = !key.empty() && trimmed(key, lineBlanks) == key && key.find('\n') == std::string_view::npos &&
                               (ofFont || (key.find('=') == std::string_view::npos && key.front() != '\'' && !readsAsOpening(key)));
        if (!readsBack) throw PropertyFileError(file, 0, key, "a key that would not read back as itself cannot be saved");
    };
    const auto checkText = [&](std::string_view key, std::string_view text) {
        if (text.find('\n') != std::string_view::npos) throw PropertyFileError(file, 0, key, "a text with a line break cannot be saved");
    };
    std::ostringstream out;
    out << signature << '\n';
    for (const std::string& folded : order_) {
        const Entry& entry = entries_.at(folded);
        const auto* font = entry.value.get<FontRef>();
        checkKey(entry.key, font != nullptr);
        if (font != nullptr) {
            const Font& f = **font;
            checkText(entry.key, f.name);
            char size[32];
            *std::to_chars(size, size + sizeof size - 1, f.size).ptr = '\0';
            out << "BeginProperty " << entry.key << '\n'
                << "   Name = " << quotedText(f.name) << '\n'
                << "   Size = " << size << '\n'
                << "   Weight = " << f.weight << '\n'
                << "   Italic = " << (f.italic ? "True" : "False") << '\n'
                << "   Underline = " << (f.underline ? "True" : "False") << '\n'
                << "   Strikethrough = " << (f.strikethrough ? "True" : "False") << '\n'
                << "   Charset = " << f.charset << '\n'
                << "EndProperty\n";
            continue;
        }
        if (const auto* text = entry.value.get<std::string>()) checkText(entry.key, *text);
        // Values without a written form (an empty value, a picture) are not kept.
        if (const std::string text = formatValue(entry.value); !text.empty()) out << entry.key << " = " << text << '\n';
    }
    return out.str();
}

void FilePropertyBag::save(const std::filesystem::path& file) const
{
    const std::string content = text(file);
    const std::filesystem::path partial = file.string() + ".partial";
    {
        std::ofstream stream(partial, std::ios::binary | std::ios::trunc);
        stream << content;
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

int FilePropertyBag::lineOfLastKeyRead() const
{
    const auto found = entries_.find(foldCase(lastKeyRead_));
    return found == entries_.end() ? 0 : found->second.line;
}

void FilePropertyBag::writeProperty(std::string_view key, const Variant& value, const Variant& defaultValue)
{
    if (!value.isObject() && value == defaultValue) {
        const std::string folded = foldCase(key);
        if (entries_.erase(folded) != 0) std::erase(order_, folded);
        return;
    }
    store(key, value, 0);
}

void FilePropertyBag::store(std::string_view key, const Variant& value, int line)
{
    const std::string folded = foldCase(key);
    auto [entry, added] = entries_.insert_or_assign(folded, Entry{std::string(key), value, line});
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
        throw PropertyFileError(file, bag.lineOfLastKeyRead(), bag.lastKeyRead(), error.description());
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
