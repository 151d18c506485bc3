#include "json_text.h"

#include "quenarch/base/utf8.h"

#include <cstdio>

namespace quenarch::lister {
namespace {

void appendControlEscape(std::string& out, unsigned char c, bool json)
{
    switch (c) {
    case '\n': out.append("\\n"); return;
    case '\r': out.append("\\r"); return;
    case '\t': out.append("\\t"); return;
    case '\b': out.append("\\b"); return;
    case '\f': out.append("\\f"); return;
    default: break;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, json ? "\\u%04X" : "\\x%02X", c);
    out.append(escape);
}

// Printable ASCII that a JSON string holds as it is.
bool isPlainJson(unsigned char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; }

void appendHex(std::string& out, std::string_view bytes)
{
    constexpr char digits[] = "0123456789abcdef";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 0x0F]);
    }
}

} // namespace

bool appendJsonString(std::string& out, std::string_view text)
{
    bool exact = true;
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of plain characters, most of any name, go in at once.
        std::size_t run = i;
        while (run < text.size() && isPlainJson(static_cast<unsigned char>(text[run]))) ++run;
        out.append(text.substr(i, run - i));
        i = run;
        if (i == text.size()) break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (c < 0x80) {
            appendControlEscape(out, c, true);
            ++i;
        } else if (const std::size_t length = utf8SequenceLength(text, i); length != 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out.append("\\uFFFD");
            exact = false;
            ++i;
        }
    }
    out.push_back('"');
    return exact;
}

void appendJsonField(std::string& out, std::string_view key, std::string_view text)
{
    appendJsonString(out, key);
    out.push_back(':');
    if (appendJsonString(out, text)) return;
    out.append(",\"");
    out.append(key);
    out.append("Hex\":\"");
    appendHex(out, text);
    out.push_back('"');
}

void appendEscapedLine(std::string& out, std::string_view text)
{
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out.append("\\\\");
        } else if (c < 0x20 || c == 0x7F) {
            appendControlEscape(out, c, false);
        } else {
            out.push_back(ch);
        }
    }
}

} // namespace quenarch::lister
