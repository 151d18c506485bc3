#include "json_text.h"

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

} // namespace

void appendJsonString(std::string& out, std::string_view text)
{
    out.push_back('"');
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20 || c == 0x7F) {
            appendControlEscape(out, c, true);
        } else {
            out.push_back(ch);
        }
    }
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
