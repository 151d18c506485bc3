#include "quenarch/freedesktop/mime_type_xml.h"

#include "quenarch/platform/text_codec.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdint>
#include <optional>
#include <vector>

namespace quenarch::freedesktop {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Appends text with its entity and character references decoded.
void appendDecoded(std::string& out, std::string_view text)
{
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        out.append(text.substr(0, amp));
        if (amp == std::string_view::npos) return;
        text.remove_prefix(amp);
        const std::size_t semicolon = text.find(';');
        const std::string_view name = semicolon == std::string_view::npos ? std::string_view() : text.substr(1, semicolon - 1);
        static constexpr std::pair<std::string_view, char> named[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        bool decoded = false;
        for (const auto& [entity, character] : named) {
            if (name == entity) {
                out.push_back(character);
                decoded = true;
            }
        }
        if (!decoded && name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            std::uint32_t codePoint = 0;
            const std::string_view digits = name.substr(hex ? 2 : 1);
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), codePoint, hex ? 16 : 10);
            if (error == std::errc() && end == digits.data() + digits.size() && codePoint <= 0x10FFFF) {
                appendUtf8(out, codePoint);
                decoded = true;
            }
        }
        if (!decoded) {
            out.push_back('&');
            text.remove_prefix(1);
            continue;
        }
        text.remove_prefix(semicolon + 1);
    }
}

// One tag of the text: its name, its attributes' text and its kind.
struct Tag {
    std::string_view name;
    std::string_view attributes;
    bool closing = false;
    bool empty = false; // written as <name ... />
};

// Walks the tags of XML text with memchr, as the files are long and their tags many.
class XmlScanner {
public:
    explicit XmlScanner(std::string_view xml) : at_(xml.data()), end_(xml.data() + xml.size()) {}

    // The next element tag, skipping comments, declarations and processing instructions; the
    // text before it is left in text, to be decoded on demand.
    std::optional<Tag> nextTag()
    {
        text.clear();
        while (true) {
            const char* open = find('<', at_);
            if (open == nullptr) return std::nullopt;
            if (open > at_) text.push_back({std::string_view(at_, static_cast<std::size_t>(open - at_)), false});
            at_ = open;
            const std::string_view rest(at_, static_cast<std::size_t>(end_ - at_));
            if (rest.size() > 1 && rest[1] != '!' && rest[1] != '?') return readTag();
            if (rest.starts_with("<![CDATA[")) {
                const std::size_t close = rest.find("]]>", 9);
                if (close == std::string_view::npos) return std::nullopt;
                text.push_back({rest.substr(9, close - 9), true});
                at_ += close + 3;
            } else {
                const std::string_view closing = rest.starts_with("<!--") ? "-->" : rest.starts_with("<?") ? "?>" : ">";
                const std::size_t close = rest.find(closing, 1);
                if (close == std::string_view::npos) return std::nullopt;
                at_ += close + closing.size();
            }
        }
    }

    std::string decodedText() const
    {
        std::string decoded;
        for (const auto& [piece, verbatim] : text) {
            if (verbatim)
                decoded.append(piece);
            else
                appendDecoded(decoded, piece);
        }
        return decoded;
    }

    std::vector<std::pair<std::string_view, bool>> text; // pieces of text, and whether each is CDATA

private:
    const char* find(char wanted, const char* from) const
    {
        return static_cast<const char*>(std::memchr(from, wanted, static_cast<std::size_t>(end_ - from)));
    }

    // The tag at at_, which points at its "<".
    std::optional<Tag> readTag()
    {
        // A ">" inside a quoted attribute value does not end the tag: the tag runs from one
        // quoted value to the next until a ">" comes before the next quote.
        const char* from = at_ + 1;
        const char* close = nullptr;
        while (true) {
            close = find('>', from);
            if (close == nullptr) return std::nullopt;
            const char* quote = from;
            while (quote < close && *quote != '"' && *quote != '\'') ++quote;
            if (quote == close) break;
            const char* quoteEnd = find(*quote, quote + 1);
            if (quoteEnd == nullptr) return std::nullopt;
            from = quoteEnd + 1;
        }
        std::string_view inside(at_ + 1, static_cast<std::size_t>(close - at_ - 1));
        at_ = close + 1;
        Tag tag;
        if (!inside.empty() && inside.front() == '/') {
            tag.closing = true;
            inside.remove_prefix(1);
        }
        if (!inside.empty() && inside.back() == '/') {
            tag.empty = true;
            inside.remove_suffix(1);
        }
        std::size_t nameEnd = 0;
        while (nameEnd < inside.size() && !isSpace(inside[nameEnd])) ++nameEnd;
        tag.name = inside.substr(0, nameEnd);
        tag.attributes = inside.substr(nameEnd);
        return tag;
    }

    const char* at_;
    const char* end_;
};

// The value of an attribute as written, with its entities left in; nothing when the tag lacks it.
std::optional<std::string_view> rawAttribute(std::string_view attributes, std::string_view name)
{
    while (true) {
        while (!attributes.empty() && isSpace(attributes.front())) attributes.remove_prefix(1);
        const std::size_t equals = attributes.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        std::string_view key = attributes.substr(0, equals);
        while (!key.empty() && isSpace(key.back())) key.remove_suffix(1);
        attributes.remove_prefix(equals + 1);
        while (!attributes.empty() && isSpace(attributes.front())) attributes.remove_prefix(1);
        if (attributes.empty() || (attributes.front() != '"' && attributes.front() != '\'')) return std::nullopt;
        const std::size_t close = attributes.find(attributes.front(), 1);
        if (close == std::string_view::npos) return std::nullopt;
        if (key == name) return attributes.substr(1, close - 1);
        attributes.remove_prefix(close + 1);
    }
}

} // namespace

std::optional<std::string> commentOfMimeTypeXml(std::string_view xml, const std::vector<std::string>& languages)
{
    XmlScanner scanner(xml);
    std::optional<Tag> tag = scanner.nextTag();
    if (!tag || tag->closing || tag->name != "mime-type" || tag->empty) return std::nullopt;

    // The last comment in each language asked for, by the language's place in the list.
    std::vector<std::optional<std::string>> found(languages.size() + 1);
    bool anyComment = false;
    const auto placeOf = [&](const Tag& comment) {
        const std::optional<std::string_view> raw = rawAttribute(comment.attributes, "xml:lang");
        std::string decoded;
        if (raw && raw->find('&') != std::string_view::npos) appendDecoded(decoded, *raw);
        const std::string_view language = !raw ? std::string_view("default") : decoded.empty() ? *raw : std::string_view(decoded);
        return static_cast<std::size_t>(std::find(languages.begin(), languages.end(), language) - languages.begin());
    };
    constexpr std::size_t noComment = SIZE_MAX;
    // Depth below <mime-type>; a comment counts only as its direct child.
    int depth = 0;
    std::size_t openComment = noComment; // the place of the comment being read
    while ((tag = scanner.nextTag())) {
        if (openComment != noComment && tag->closing && depth == 1 && tag->name == "comment") {
            if (openComment < languages.size()) found[openComment] = scanner.decodedText();
            anyComment = true;
            openComment = noComment;
            depth = 0;
            continue;
        }
        openComment = noComment;
        if (tag->closing) {
            if (depth == 0) break; // </mime-type>
            --depth;
            continue;
        }
        const bool comment = depth == 0 && tag->name == "comment";
        if (tag->empty) {
            if (comment) found[std::min(placeOf(*tag), languages.size())] = std::string();
            anyComment = anyComment || comment;
        } else {
            if (comment) openComment = placeOf(*tag);
            ++depth;
        }
    }
    if (!anyComment) return std::nullopt;
    for (std::size_t place = 0; place < languages.size(); ++place) {
        if (found[place] && !found[place]->empty()) return std::move(*found[place]);
    }
    return std::string();
}

} // namespace quenarch::freedesktop
