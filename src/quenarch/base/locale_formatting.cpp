#include "quenarch/base/locale.h"

#include <algorithm>

// Writing moments by the conventions' compiled patterns and by date pictures.
namespace quenarch {
namespace {

using Kind = Locale::Token::Kind;

void appendToString(void* target, std::string_view piece) { static_cast<std::string*>(target)->append(piece); }

void appendDigits(std::string& out, std::int64_t value, int minimumWidth)
{
    BufferedTextWriter(appendToString, &out).digits(value, minimumWidth);
}

// The numbers of a moment that patterns show, in the order formatSteps lists them.
enum MomentValue : std::uint8_t { dayValue, monthValue, shortYearValue, yearValue, hourValue, clockHourValue, minuteValue, secondValue };

} // namespace

std::vector<Locale::FormatStep> Locale::formatStepsOf(const std::vector<Token>& tokens)
{
    using Field = FormatStep::Field;
    std::vector<FormatStep> steps;
    FormatStep step;
    auto field = [&](Field kind, std::uint8_t number = 0, std::uint8_t width = 1) {
        step.field = kind;
        step.number = number;
        step.width = width;
        steps.push_back(std::move(step));
        step = FormatStep{};
    };
    for (const Token& token : tokens) {
        switch (token.kind) {
        case Kind::Literal: step.literal.append(token.text); break;
        case Kind::Day: field(Field::Number, dayValue); break;
        case Kind::Day2: field(Field::Number, dayValue, 2); break;
        case Kind::MonthNumber: field(Field::Number, monthValue); break;
        case Kind::MonthNumber2: field(Field::Number, monthValue, 2); break;
        case Kind::MonthShort: field(Field::MonthShort); break;
        case Kind::MonthLong: field(Field::MonthLong); break;
        case Kind::Year2: field(Field::Number, shortYearValue, 2); break;
        case Kind::Year4: field(Field::Number, yearValue, 4); break;
        case Kind::Hour: field(Field::Number, hourValue); break;
        case Kind::Hour2: field(Field::Number, hourValue, 2); break;
        case Kind::Hour12: field(Field::Number, clockHourValue); break;
        case Kind::Hour12Padded: field(Field::Number, clockHourValue, 2); break;
        case Kind::Minute: field(Field::Number, minuteValue); break;
        case Kind::Minute2: field(Field::Number, minuteValue, 2); break;
        case Kind::Second: field(Field::Number, secondValue); break;
        case Kind::Second2: field(Field::Number, secondValue, 2); break;
        case Kind::AmPm: field(Field::AmPm); break;
        }
    }
    if (!step.literal.empty()) steps.push_back(std::move(step));
    return steps;
}

void Locale::formatSteps(const std::vector<FormatStep>& steps, const DateParts& p, TextAppender append, void* target) const
{
    using Field = FormatStep::Field;
    const std::int64_t numbers[] = {p.day, p.month, p.year % 100, p.year, p.hour, p.hour % 12 == 0 ? 12 : p.hour % 12, p.minute, p.second};
    BufferedTextWriter writer(append, target);
    for (const FormatStep& step : steps) {
        writer.text(step.literal);
        if (step.field == Field::Number) {
            writer.digits(numbers[step.number], step.width);
            continue;
        }
        switch (step.field) {
        case Field::MonthShort: writer.text(conventions_.monthAbbreviations[p.month - 1]); break;
        case Field::MonthLong: writer.text(conventions_.monthNames[p.month - 1]); break;
        case Field::AmPm: writer.text(p.hour < 12 ? conventions_.amText : conventions_.pmText); break;
        case Field::None:
        case Field::Number: break;
        }
    }
}

void Locale::appendGeneralDate(std::string& out, AutomationDate date) const
{
    const DateParts parts = splitDate(date);
    const bool hasTime = parts.hour != 0 || parts.minute != 0 || parts.second != 0;
    if (dayNumber(date) == 0) {
        appendLongTime(out, parts);
        return;
    }
    appendShortDate(out, parts);
    if (hasTime) {
        out.push_back(' ');
        appendLongTime(out, parts);
    }
}

std::string Locale::generalDate(AutomationDate date) const
{
    std::string out;
    appendGeneralDate(out, date);
    return out;
}

void Locale::formatShortTime(const DateParts& parts, TextAppender append, void* target) const
{
    BufferedTextWriter writer(append, target);
    writer.digits(parts.hour, 2);
    writer.text(conventions_.timeSeparator);
    writer.digits(parts.minute, 2);
}

std::string Locale::formatDatePicture(AutomationDate date, std::string_view picture) const
{
    const DateParts p = splitDate(date);
    std::string out;
    std::size_t i = 0;
    auto runOf = [&](char lower) {
        std::size_t run = 0;
        while (i + run < picture.size() && (picture[i + run] | 0x20) == lower) ++run;
        return run;
    };
    while (i < picture.size()) {
        const char c = static_cast<char>(picture[i] | 0x20);
        if (c == 'd') {
            const std::size_t take = std::min<std::size_t>(runOf('d'), 2);
            appendDigits(out, p.day, static_cast<int>(take));
            i += take;
        } else if (c == 'm') {
            const std::size_t take = std::min<std::size_t>(runOf('m'), 4);
            if (take <= 2)
                appendDigits(out, p.month, static_cast<int>(take));
            else
                out.append(take == 3 ? conventions_.monthAbbreviations[p.month - 1] : conventions_.monthNames[p.month - 1]);
            i += take;
        } else if (c == 'y' && runOf('y') >= 2) {
            const std::size_t take = runOf('y') >= 4 ? 4 : 2;
            appendDigits(out, take == 4 ? p.year : p.year % 100, static_cast<int>(take));
            i += take;
        } else if (picture[i] == '/') {
            out.append(conventions_.dateSeparator);
            ++i;
        } else if (picture[i] == '\'' || picture[i] == '"') {
            // Text in quotes stands for itself; two single quotes are one quote.
            const char quote = picture[i];
            const std::size_t close = picture.find(quote, i + 1);
            if (quote == '\'' && close == i + 1) {
                out.push_back('\'');
                i += 2;
                continue;
            }
            const std::size_t end = close == std::string_view::npos ? picture.size() : close;
            out.append(picture.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            out.push_back(picture[i]);
            ++i;
        }
    }
    return out;
}

} // namespace quenarch
