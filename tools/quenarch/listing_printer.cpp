#include "listing_printer.h"

#include "json_text.h"

#include "quenarch/base/utf8.h"
#include "quenarch/listing/invalid_row.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace quenarch::lister {
namespace {

// Three numbers with their fewest digits, joined by a separator: a date or a time of day.
void appendNumbers(std::string& out, std::array<int, 3> numbers, std::array<int, 3> widths, char separator)
{
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) out.push_back(separator);
        char digits[12];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, numbers[i]);
        if (error != std::errc()) continue;
        for (auto length = static_cast<int>(end - digits); length < widths[i]; ++length) out.push_back('0');
        out.append(digits, end);
    }
}

void appendJsonNumberOrNull(std::string& out, const std::optional<std::uint64_t>& value)
{
    if (!value) {
        out.append("null");
        return;
    }
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, *value);
    out.append(digits, end);
}

// "YYYY-MM-DD" and "hh:mm:ss" of a moment, quoted, or null without one.
void appendJsonDateAndTime(std::string& out, const std::optional<AutomationDate>& moment)
{
    // Date 0 is what the item queries give for a row without a date.
    if (!moment || dayNumber(*moment) == 0) {
        out.append(",\"date\":null,\"time\":null");
        return;
    }
    const DateParts parts = datePartsOf(dayNumber(*moment), secondOfDay(*moment));
    out.append(",\"date\":\"");
    appendNumbers(out, {parts.year, parts.month, parts.day}, {4, 2, 2}, '-');
    out.append("\",\"time\":\"");
    appendNumbers(out, {parts.hour, parts.minute, parts.second}, {2, 2, 2}, ':');
    out.push_back('"');
}

constexpr std::size_t shownColumns = 5; // Name, Size, Packed, Type, Modified
constexpr std::string_view columnGap = "  ";

// The widths of the report's columns, in characters: the widest of each heading and its cells.
// The last column needs none, as nothing follows it to be aligned.
std::array<std::size_t, shownColumns> columnWidths(const ListView& list)
{
    std::array<std::size_t, shownColumns> widths{};
    for (std::size_t column = 0; column < shownColumns; ++column) widths[column] = utf8CharacterCount(list.columns()[column].caption);
    // A grouped number is never narrower than a smaller one: only the largest size is written.
    std::uint64_t largestSize = 0;
    std::uint64_t largestPacked = 0;
    std::string scratch;
    for (std::size_t i = 1; i <= list.count(); ++i) {
        const ListRow row = list.row(i);
        widths[NameColumn] = std::max(widths[NameColumn], row.characters(NameColumn, scratch));
        if (const auto size = row.unpackedSize())
            largestSize = std::max(largestSize, *size);
        else
            widths[SizeColumn] = std::max(widths[SizeColumn], row.characters(SizeColumn, scratch));
        if (const auto size = row.packedSize())
            largestPacked = std::max(largestPacked, *size);
        else
            widths[PackedColumn] = std::max(widths[PackedColumn], row.characters(PackedColumn, scratch));
        widths[TypeColumn] = std::max(widths[TypeColumn], row.characters(TypeColumn, scratch));
    }
    for (const auto& [column, largest] : {std::pair{SizeColumn, largestSize}, std::pair{PackedColumn, largestPacked}}) {
        scratch.clear();
        list.locale().appendGroupedNumber(scratch, largest);
        widths[column] = std::max(widths[column], utf8CharacterCount(scratch));
    }
    return widths;
}

} // namespace

void writeReport(const QuenArchive& control, const TextSink& write)
{
    const ListView& list = control.fileview();
    const std::array<std::size_t, shownColumns> widths = columnWidths(list);
    PieceWriter out(write);
    std::string& text = out.text();

    // One line of cells: each padded to its column's width, the sizes on the right, the last
    // one as it is, and no blanks at the end of the line. appendCell appends a cell and returns
    // its characters. A left-aligned cell is written in place; a right-aligned one is written
    // aside first, to put its padding before it.
    std::string aside;
    const auto writeLine = [&](auto&& appendCell) {
        const std::size_t lineStart = text.size();
        for (std::size_t column = 0; column < shownColumns; ++column) {
            if (column + 1 == shownColumns) {
                appendCell(text, column);
                break;
            }
            if (list.columns()[column].alignment == ColumnAlignment::Right) {
                aside.clear();
                text.append(widths[column] - appendCell(aside, column), ' ');
                text.append(aside);
            } else {
                text.append(widths[column] - appendCell(text, column), ' ');
            }
            text.append(columnGap);
        }
        std::size_t end = text.size();
        while (end > lineStart && text[end - 1] == ' ') --end;
        text.resize(end);
        text.push_back('\n');
        out.endOfLine();
    };
    writeLine([&](std::string& into, std::size_t column) {
        const std::string& caption = list.columns()[column].caption;
        into.append(caption);
        return utf8CharacterCount(caption);
    });
    for (std::size_t i = 1; i <= list.count(); ++i) {
        const ListRow row = list.row(i);
        writeLine([&](std::string& into, std::size_t column) { return row.appendCountedText(into, column); });
    }

    text.append(std::to_string(list.count())).append(list.count() == 1 ? " row" : " rows");
    text.append("; type: ");
    appendEscapedLine(text, control.ArchiveType());
    text.append("; comment: ");
    appendEscapedLine(text, control.FileComment());
    text.push_back('\n');
}

bool listedAsValid(const QuenArchive& control) { return control.ArchiveType() != invalidArchiveText; }

void writeJson(const QuenArchive& control, std::string_view file, const TextSink& write)
{
    const ListView& list = control.fileview();
    PieceWriter writer(write);
    std::string& out = writer.text();
    std::string scratch;
    out.push_back('{');
    appendJsonField(out, "file", file);
    out.push_back(',');
    appendJsonField(out, "archive", toText(control.Archive(), *control.platform().locale));
    out.append(listedAsValid(control) ? ",\"valid\":true," : ",\"valid\":false,");
    appendJsonField(out, "type", control.ArchiveType());
    out.push_back(',');
    appendJsonField(out, "comment", control.FileComment());
    out.append(",\"rows\":[");
    for (std::size_t i = 1; i <= list.count(); ++i) {
        const ListRow row = list.row(i);
        if (i > 1) out.push_back(',');
        out.push_back('{');
        appendJsonField(out, "name", row.text(NameColumn, scratch));
        out.push_back(',');
        appendJsonField(out, "path", row.path());
        out.append(row.isDirectory() ? ",\"isDir\":true," : ",\"isDir\":false,");
        appendJsonField(out, "size", row.text(SizeColumn, scratch));
        out.push_back(',');
        appendJsonField(out, "packed", row.text(PackedColumn, scratch));
        out.push_back(',');
        appendJsonField(out, "type", row.text(TypeColumn, scratch));
        out.push_back(',');
        appendJsonField(out, "modified", row.text(ModifiedColumn, scratch));
        out.push_back(',');
        appendJsonField(out, "crc", row.text(CrcColumn, scratch));
        out.push_back(',');
        appendJsonField(out, "icon", row.icon());
        out.append(",\"bytes\":");
        appendJsonNumberOrNull(out, row.unpackedSize());
        out.append(",\"packedBytes\":");
        appendJsonNumberOrNull(out, row.packedSize());
        appendJsonDateAndTime(out, row.moment(DateColumn));
        out.push_back('}');
        writer.endOfLine();
    }
    out.append("]}\n");
}

} // namespace quenarch::lister
