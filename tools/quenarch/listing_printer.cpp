#include "listing_printer.h"

#include "json_text.h"
#include "quenarch/listing/row_builder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

namespace quenarch::lister {
namespace {

// Characters, not bytes: every byte but a UTF-8 continuation byte (10xxxxxx) starts one.
std::size_t displayWidth(std::string_view text)
{
    std::size_t continuations = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        // One bit per continuation byte, at the bottom of its byte; the multiply sums the bytes.
        const std::uint64_t marks = (word & ~(word << 1) & 0x8080808080808080u) >> 7;
        continuations += static_cast<std::size_t>((marks * 0x0101010101010101u) >> 56);
    }
    for (; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++continuations;
    return text.size() - continuations;
}


// The number a size text shows, digits grouped or not; nothing for texts such as "0Kb".
std::optional<std::uint64_t> sizeValue(std::string_view text, std::string_view groupSeparator)
{
    std::string digits;
    for (std::size_t i = 0; i < text.size();) {
        if (!groupSeparator.empty() && !digits.empty() && text.substr(i, groupSeparator.size()) == groupSeparator) {
            i += groupSeparator.size();
        } else if (text[i] >= '0' && text[i] <= '9') {
            digits.push_back(text[i++]);
        } else {
            return std::nullopt;
        }
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

void appendJsonNumberOrNull(std::string& out, const std::optional<std::uint64_t>& value)
{
    if (!value) {
        out.append("null");
        return;
    }
    char buffer[24];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *value);
    out.append(buffer, end);
}

void appendIsoDate(std::string& out, AutomationDate date)
{
    const DateParts p = splitDate(date);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\"%04d-%02d-%02d\"", p.year, p.month, p.day);
    out.append(buffer);
}

void appendIsoTime(std::string& out, AutomationDate time)
{
    const DateParts p = splitDate(time);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\"%02d:%02d:%02d\"", p.hour, p.minute, p.second);
    out.append(buffer);
}

void appendField(std::string& out, std::string_view name, std::string_view text)
{
    appendJsonString(out, name);
    out.push_back(':');
    appendJsonString(out, text);
}

} // namespace

void writeReport(const QuenArchive& control, const TextSink& write)
{
    const ListView& list = control.fileview();
    constexpr std::size_t shownColumns = 5; // Name, Size, Packed, Type, Modified
    constexpr std::string_view columnGap = "  ";
    const auto cell = [](const ListRow& r, std::size_t column) -> std::string_view {
        return column == 0 ? std::string_view(r.text) : std::string_view(r.subItems[column - 1]);
    };

    // Each cell's width is measured once, for the column widths and again for its padding.
    std::array<std::size_t, shownColumns> widths{};
    std::vector<std::array<std::uint32_t, shownColumns>> cellWidths(list.count());
    for (std::size_t column = 0; column < shownColumns; ++column) widths[column] = displayWidth(list.columns()[column].caption);
    for (std::size_t i = 0; i < list.count(); ++i) {
        const ListRow& row = list.row(i + 1);
        for (std::size_t column = 0; column < shownColumns; ++column) {
            const std::size_t width = displayWidth(cell(row, column));
            cellWidths[i][column] = static_cast<std::uint32_t>(width);
            widths[column] = std::max(widths[column], width);
        }
    }

    // Lines are laid out in a buffer of a few hundred kilobytes that is handed on whenever the
    // next line might not fit: a line is at most its texts, the padding up to the column widths
    // and the gaps.
    std::size_t paddedWidth = 1; // the line end
    for (const std::size_t width : widths) paddedWidth += width + columnGap.size();
    std::string buffer(std::max<std::size_t>(256 * 1024, 2 * paddedWidth), '\0');
    char* at = buffer.data();
    const auto flush = [&] {
        write(std::string_view(buffer.data(), static_cast<std::size_t>(at - buffer.data())));
        at = buffer.data();
    };
    const auto makeRoom = [&](std::size_t bytes) {
        if (static_cast<std::size_t>(buffer.data() + buffer.size() - at) >= bytes) return;
        flush();
        if (buffer.size() < bytes) buffer.resize(bytes);
        at = buffer.data();
    };
    const auto put = [&](std::string_view text) {
        std::memcpy(at, text.data(), text.size());
        at += text.size();
    };
    // Padding is a few blanks: eight at a time, without a call.
    const auto pad = [&](std::size_t count) {
        constexpr std::uint64_t eightBlanks = 0x2020202020202020u;
        for (; count >= 8; count -= 8, at += 8) std::memcpy(at, &eightBlanks, 8);
        for (; count > 0; --count) *at++ = ' ';
    };
    const auto writeLine = [&](auto&& textOf, auto&& widthOf) {
        std::size_t textBytes = 0;
        for (std::size_t column = 0; column < shownColumns; ++column) textBytes += textOf(column).size();
        makeRoom(textBytes + paddedWidth);
        char* const lineStart = at;
        for (std::size_t column = 0; column < shownColumns; ++column) {
            const std::string_view text = textOf(column);
            if (column + 1 == shownColumns) {
                put(text);
                break;
            }
            const std::size_t padding = widths[column] - widthOf(column);
            const bool right = list.columns()[column].alignment == ColumnAlignment::Right;
            if (right) pad(padding);
            put(text);
            if (!right) pad(padding);
            put(columnGap);
        }
        while (at > lineStart && at[-1] == ' ') --at;
        *at++ = '\n';
    };
    writeLine([&](std::size_t column) -> std::string_view { return list.columns()[column].caption; },
              [&](std::size_t column) { return displayWidth(list.columns()[column].caption); });
    for (std::size_t i = 0; i < list.count(); ++i) {
        const ListRow& row = list.row(i + 1);
        writeLine([&](std::size_t column) { return cell(row, column); }, [&](std::size_t column) { return std::size_t{cellWidths[i][column]}; });
    }
    flush();

    std::string summary = std::to_string(list.count()) + (list.count() == 1 ? " row" : " rows");
    summary.append("; type: ");
    appendEscapedLine(summary, control.ArchiveType());
    summary.append("; comment: ");
    appendEscapedLine(summary, control.FileComment());
    summary.push_back('\n');
    write(summary);
}

void writeJson(QuenArchive& control, const TextSink& write)
{
    constexpr std::size_t pieceSize = 256 * 1024;
    const ListView& list = control.fileview();
    const std::string& groupSeparator = control.platform().locale->conventions().thousandsSeparator;
    std::string out;
    out.reserve(pieceSize + 4096);
    out.push_back('{');
    appendField(out, "archive", toText(control.Archive(), *control.platform().locale));
    out.push_back(',');
    appendField(out, "type", control.ArchiveType());
    out.push_back(',');
    appendField(out, "comment", control.FileComment());
    out.append(",\"rows\":[");
    for (std::size_t i = 1; i <= list.count(); ++i) {
        if (i == 1 ? control.MoveFirst() != 0 : control.MoveNext() != 0) break;
        const ListRow& row = list.row(i);
        if (i > 1) out.push_back(',');
        out.push_back('{');
        appendField(out, "name", row.text);
        out.push_back(',');
        appendField(out, "size", row.subItems[SizeColumn - 1]);
        out.push_back(',');
        appendField(out, "packed", row.subItems[PackedColumn - 1]);
        out.push_back(',');
        appendField(out, "type", row.subItems[TypeColumn - 1]);
        out.push_back(',');
        appendField(out, "modified", row.subItems[ModifiedColumn - 1]);
        out.push_back(',');
        appendField(out, "crc", row.subItems[CrcColumn - 1]);
        out.push_back(',');
        appendField(out, "icon", row.icon);
        out.append(",\"bytes\":");
        appendJsonNumberOrNull(out, sizeValue(row.subItems[SizeColumn - 1], groupSeparator));
        out.append(",\"packedBytes\":");
        appendJsonNumberOrNull(out, sizeValue(row.subItems[PackedColumn - 1], groupSeparator));
        // Date 0 is what the item queries give for a row without a date.
        const AutomationDate date = row.subItems[DateColumn - 1].empty() ? 0 : control.ItemDate();
        const bool hasDate = date != 0;
        out.append(",\"date\":");
        if (hasDate)
            appendIsoDate(out, date);
        else
            out.append("null");
        out.append(",\"time\":");
        if (hasDate)
            appendIsoTime(out, control.ItemTime());
        else
            out.append("null");
        out.push_back('}');
        if (out.size() >= pieceSize) {
            write(out);
            out.clear();
        }
    }
    out.append("]}\n");
    write(out);
}

} // namespace quenarch::lister
