#include "quenarch/base/locale.h"

#include "quenarch/base/text_case.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace quenarch {
namespace {

using Kind = Locale::Token::Kind;

// "00" to "99": a number below 100 is copied as a pair, or as the second digit of its pair.
constexpr char digitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Collects a formatted text in a buffer on the stack and hands it over in one append.
class TextWriter {
public:
    TextWriter(Locale::TextAppender append, void* target) : append_(append), target_(target) {}
    ~TextWriter() { flush(); }
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void text(std::string_view piece)
    {
        if (piece.size() > sizeof buffer_ - length_) flush();
        if (piece.size() > sizeof buffer_) {
            append_(target_, piece);
            return;
        }
        char* p = buffer_ + length_;
        for (const char c : piece) *p++ = c; // pieces are a few characters: no call for them
        length_ += piece.size();
    }

    // A number in decimal with at least minimumWidth digits.
    void digits(std::int64_t value, int minimumWidth)
    {
        if (sizeof buffer_ - length_ < 24) flush();
        char* p = buffer_ + length_;
        // Dates and times are mostly one or two digits whose count varies row by row: copying
        // two digits from a table and stepping over one or two avoids a branch that guesses
        // wrong half the time.
        if (value >= 0 && value < 100 && minimumWidth <= 2) {
            const bool oneDigit = value < 10 && minimumWidth < 2;
            std::memcpy(p, digitPairs + 2 * value + oneDigit, 2);
            p += 2 - static_cast<int>(oneDigit);
        } else if (value >= 1000 && value < 10000 && minimumWidth <= 4) {
            std::memcpy(p, digitPairs + 2 * (value / 100), 2);
            std::memcpy(p + 2, digitPairs + 2 * (value % 100), 2);
            p += 4;
        } else {
            char number[24];
            const auto [end, error] = std::to_chars(number, number + sizeof number, value);
            for (auto width = end - number; width < minimumWidth && p < buffer_ + sizeof buffer_ - 24; ++width) *p++ = '0';
            p = std::copy(number, end, p);
        }
        length_ = static_cast<std::size_t>(p - buffer_);
    }

private:
    void flush()
    {
        if (length_ != 0) append_(target_, {buffer_, length_});
        length_ = 0;
    }

    Locale::TextAppender append_;
    void* target_;
    char buffer_[160];
    std::size_t length_ = 0;
};

void appendToString(void* target, std::string_view piece) { static_cast<std::string*>(target)->append(piece); }

void appendDigits(std::string& out, std::int64_t value, int minimumWidth) { TextWriter(appendToString, &out).digits(value, minimumWidth); }

// Compiles a CLDR-style pattern; runs of one letter become one field.
std::vector<Locale::Token> compilePattern(std::string_view pattern, bool fourDigitYears)
{
    std::vector<Locale::Token> tokens;
    auto literal = [&](std::string_view text) {
        if (text.empty()) return;
        if (!tokens.empty() && tokens.back().kind == Kind::Literal)
            tokens.back().text.append(text);
        else
            tokens.push_back({Kind::Literal, std::string(text)});
    };
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t close = pattern.find('\'', i + 1);
            if (close == i + 1) {
                literal("'");
                i += 2;
                continue;
            }
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            literal(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        switch (c) {
        case 'd': tokens.push_back({run == 1 ? Kind::Day : Kind::Day2, {}}); break;
        case 'M':
            tokens.push_back({run == 1 ? Kind::MonthNumber : run == 2 ? Kind::MonthNumber2 : run == 3 ? Kind::MonthShort : Kind::MonthLong, {}});
            break;
        case 'y': tokens.push_back({run <= 2 && !fourDigitYears ? Kind::Year2 : Kind::Year4, {}}); break;
        case 'h': tokens.push_back({run == 1 ? Kind::Hour12 : Kind::Hour12Padded, {}}); break;
        case 'H': tokens.push_back({run == 1 ? Kind::Hour : Kind::Hour2, {}}); break;
        case 'm': tokens.push_back({run == 1 ? Kind::Minute : Kind::Minute2, {}}); break;
        case 's': tokens.push_back({run == 1 ? Kind::Second : Kind::Second2, {}}); break;
        case 'A':
        case 'a':
            tokens.push_back({Kind::AmPm, {}});
            if (run == 1 && i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) ++run;
            break;
        case 't':
        case 'z':
            break; // time zones are not part of a stored moment
        default: literal(pattern.substr(i, run)); break;
        }
        i += run;
    }
    // "h" counts the hours of a 12-hour clock only where the pattern shows AM or PM.
    const bool twelveHour = std::any_of(tokens.begin(), tokens.end(), [](const Locale::Token& t) { return t.kind == Kind::AmPm; });
    if (!twelveHour) {
        for (Locale::Token& token : tokens) {
            if (token.kind == Kind::Hour12) token.kind = Kind::Hour;
            if (token.kind == Kind::Hour12Padded) token.kind = Kind::Hour2;
        }
    }
    // Dropping a time zone can leave blanks at either end.
    while (!tokens.empty() && tokens.back().kind == Kind::Literal && !tokens.back().text.empty() && tokens.back().text.back() == ' ') {
        tokens.back().text.pop_back();
        if (tokens.back().text.empty()) tokens.pop_back();
    }
    return tokens;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool startsWithCaseBlind(std::string_view text, std::string_view prefix)
{
    if (prefix.empty() || text.size() < prefix.size()) return false;
    return foldCase(text.substr(0, prefix.size())) == foldCase(prefix);
}

} // namespace

Locale::Locale(LocaleConventions conventions) : conventions_(std::move(conventions))
{
    shortDate_ = compilePattern(conventions_.shortDatePattern, true);
    longTime_ = compilePattern(conventions_.longTimePattern, false);
    shortDateSteps_ = formatStepsOf(shortDate_);
    longTimeSteps_ = formatStepsOf(longTime_);
    std::size_t dayAt = std::string::npos, monthAt = std::string::npos, yearAt = std::string::npos;
    for (std::size_t i = 0; i < shortDate_.size(); ++i) {
        switch (shortDate_[i].kind) {
        case Kind::Day:
        case Kind::Day2: dayAt = std::min(dayAt, i); break;
        case Kind::MonthNumber:
        case Kind::MonthNumber2:
        case Kind::MonthShort:
        case Kind::MonthLong: monthAt = std::min(monthAt, i); break;
        case Kind::Year2:
        case Kind::Year4: yearAt = std::min(yearAt, i); break;
        default: break;
        }
    }
    if (yearAt < monthAt && yearAt < dayAt)
        order_ = FieldOrder::YearMonthDay;
    else if (dayAt < monthAt)
        order_ = FieldOrder::DayMonthYear;
    else
        order_ = FieldOrder::MonthDayYear;
}

std::string_view Locale::formatGroupedNumber(std::uint64_t value, char (&buffer)[groupedNumberCapacity]) const
{
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    const auto count = static_cast<std::size_t>(end - digits);
    const std::string& separator = conventions_.thousandsSeparator;
    const std::size_t separatorSize = std::min<std::size_t>(separator.size(), 4);
    char* out = buffer;
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0 && (count - i) % 3 == 0) out = std::copy_n(separator.data(), separatorSize, out);
        *out++ = digits[i];
    }
    return {buffer, static_cast<std::size_t>(out - buffer)};
}

std::string Locale::groupedNumber(std::uint64_t value) const
{
    char buffer[groupedNumberCapacity];
    return std::string(formatGroupedNumber(value, buffer));
}

namespace {

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
    TextWriter writer(append, target);
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
    TextWriter writer(append, target);
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

struct Locale::ParsedFields {
    std::optional<std::int64_t> year, month, day, hour, minute, second;
    int yearDigits = 0;
    std::optional<bool> pm;
};

namespace {

// Reads up to maxDigits digits at text[at].
std::optional<std::int64_t> readNumber(std::string_view text, std::size_t& at, std::size_t maxDigits, int* digitsRead = nullptr)
{
    std::size_t end = at;
    while (end < text.size() && end - at < maxDigits && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == at) return std::nullopt;
    std::int64_t value = 0;
    for (std::size_t i = at; i < end; ++i) value = value * 10 + (text[i] - '0');
    if (digitsRead != nullptr) *digitsRead = static_cast<int>(end - at);
    at = end;
    return value;
}

// Matches the longest of the candidates at text[at], without regard to letter case.
std::optional<std::size_t> matchLongest(std::string_view text, std::size_t at, const std::string* candidates, std::size_t count)
{
    std::optional<std::size_t> best;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& candidate = candidates[i];
        if (candidate.empty() || candidate.size() <= bestLength || at + candidate.size() > text.size()) continue;
        if (equalsCaseBlind(text.substr(at, candidate.size()), candidate)) {
            best = i;
            bestLength = candidate.size();
        }
    }
    return best;
}

} // namespace

bool Locale::matchPattern(std::string_view text, std::size_t& at, const std::vector<Token>& tokens, ParsedFields& fields) const
{
    for (const Token& token : tokens) {
        switch (token.kind) {
        case Kind::Literal:
            if (text.substr(at, token.text.size()) != token.text) return false;
            at += token.text.size();
            break;
        case Kind::Day:
        case Kind::Day2:
            if (!(fields.day = readNumber(text, at, 2))) return false;
            break;
        case Kind::MonthNumber:
        case Kind::MonthNumber2:
            if (!(fields.month = readNumber(text, at, 2))) return false;
            break;
        case Kind::MonthShort:
        case Kind::MonthLong: {
            const auto full = matchLongest(text, at, conventions_.monthNames.data(), 12);
            const auto abbreviated = matchLongest(text, at, conventions_.monthAbbreviations.data(), 12);
            const bool takeFull = full && (!abbreviated || conventions_.monthNames[*full].size() >= conventions_.monthAbbreviations[*abbreviated].size());
            if (!full && !abbreviated) return false;
            const std::size_t month = takeFull ? *full : *abbreviated;
            at += (takeFull ? conventions_.monthNames[month] : conventions_.monthAbbreviations[month]).size();
            fields.month = static_cast<std::int64_t>(month) + 1;
            break;
        }
        case Kind::Year2:
        case Kind::Year4:
            if (!(fields.year = readNumber(text, at, token.kind == Kind::Year2 ? 2 : 4, &fields.yearDigits))) return false;
            break;
        case Kind::Hour:
        case Kind::Hour2:
        case Kind::Hour12:
        case Kind::Hour12Padded:
            if (!(fields.hour = readNumber(text, at, 2))) return false;
            break;
        case Kind::Minute:
        case Kind::Minute2:
            if (!(fields.minute = readNumber(text, at, 2))) return false;
            break;
        case Kind::Second:
        case Kind::Second2:
            if (!(fields.second = readNumber(text, at, 2))) return false;
            break;
        case Kind::AmPm: {
            const std::string markers[2] = {conventions_.amText, conventions_.pmText};
            const auto marker = matchLongest(text, at, markers, 2);
            if (!marker) return false;
            at += markers[*marker].size();
            fields.pm = *marker == 1;
            break;
        }
        }
    }
    return true;
}

std::optional<AutomationDate> Locale::parseByPatterns(std::string_view text) const
{
    const auto finish = [&](const ParsedFields& f) -> std::optional<AutomationDate> {
        double timeOfDay = 0;
        if (f.hour) {
            std::int64_t hour = *f.hour;
            if (f.pm) {
                if (hour < 1 || hour > 12) return std::nullopt;
                hour = hour % 12 + (*f.pm ? 12 : 0);
            }
            if (hour > 23 || f.minute.value_or(0) > 59 || f.second.value_or(0) > 59) return std::nullopt;
            timeOfDay = makeTimeOfDay(hour, f.minute.value_or(0), f.second.value_or(0));
        }
        if (!f.year && !f.month && !f.day) return f.hour ? std::optional<AutomationDate>(timeOfDay) : std::nullopt;
        if (!f.year || !f.month || !f.day) return std::nullopt;
        std::int64_t year = *f.year;
        if (f.yearDigits <= 2) year += year < 30 ? 2000 : 1900;
        if (year < 100 || *f.month < 1 || *f.month > 12 || *f.day < 1 || *f.day > daysInMonth(year, static_cast<int>(*f.month)))
            return std::nullopt;
        return combineDateAndTime(makeDate(year, *f.month, *f.day), timeOfDay);
    };
    // The general date form: the short date, a blank and the long time; either half alone.
    {
        ParsedFields fields;
        std::size_t at = 0;
        if (matchPattern(text, at, shortDate_, fields)) {
            if (at == text.size()) return finish(fields);
            if (text[at] == ' ' && matchPattern(text, ++at, longTime_, fields) && at == text.size()) return finish(fields);
        }
    }
    ParsedFields fields;
    std::size_t at = 0;
    if (matchPattern(text, at, longTime_, fields) && at == text.size()) return finish(fields);
    return std::nullopt;
}

std::optional<AutomationDate> Locale::parseDate(std::string_view text) const
{
    if (const auto exact = parseByPatterns(trimmed(text))) return exact;

    struct Part {
        bool isNumber;
        std::int64_t number;
        int digits;
        std::string_view word;
        char separatorAfter; // ':' time separator, 'd' date separator, ' ' blank, 0 none
    };
    std::vector<Part> parts;
    text = trimmed(text);
    if (text.empty()) return std::nullopt;

    const std::string_view timeSeparator = conventions_.timeSeparator;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c)) {
            std::int64_t value = 0;
            int digits = 0;
            while (i < text.size() && isDigit(text[i])) {
                if (digits < 9) value = value * 10 + (text[i] - '0');
                ++digits;
                ++i;
            }
            parts.push_back({true, value, digits, {}, 0});
        } else if (c == ' ' || c == ',' || c == '\t') {
            if (!parts.empty() && parts.back().separatorAfter == 0) parts.back().separatorAfter = ' ';
            ++i;
        } else if (c == ':' || (!timeSeparator.empty() && text.substr(i, timeSeparator.size()) == timeSeparator &&
                                 !parts.empty() && parts.back().isNumber && timeSeparator != conventions_.dateSeparator)) {
            if (parts.empty() || parts.back().separatorAfter != 0) return std::nullopt;
            parts.back().separatorAfter = ':';
            i += c == ':' ? 1 : timeSeparator.size();
        } else if (c == '/' || c == '-' || c == '.' ||
                   (!conventions_.dateSeparator.empty() && text.substr(i, conventions_.dateSeparator.size()) == conventions_.dateSeparator)) {
            if (parts.empty() || parts.back().separatorAfter != 0) return std::nullopt;
            parts.back().separatorAfter = 'd';
            i += (c == '/' || c == '-' || c == '.') ? 1 : conventions_.dateSeparator.size();
        } else {
            const std::size_t start = i;
            while (i < text.size() && !isDigit(text[i]) && text[i] != ' ' && text[i] != ',' && text[i] != '\t' &&
                   text[i] != '/' && text[i] != '-' && text[i] != ':')
                ++i;
            if (!text.substr(start, i - start).empty() && text[i - 1] == '.') --i; // "Dec." ends at the dot
            if (i == start) ++i;
            parts.push_back({false, 0, 0, text.substr(start, i - start), 0});
        }
    }

    // Time: numbers joined by time separators, then an optional AM/PM word.
    std::optional<std::int64_t> hour, minute, second;
    std::optional<bool> pm;
    std::vector<Part> dateParts;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const Part& part = parts[k];
        const bool inTime = part.isNumber && (part.separatorAfter == ':' || (k > 0 && parts[k - 1].separatorAfter == ':'));
        if (inTime) {
            if (!hour)
                hour = part.number;
            else if (!minute)
                minute = part.number;
            else if (!second)
                second = part.number;
            else
                return std::nullopt;
            continue;
        }
        if (!part.isNumber) {
            const std::string folded = foldCase(part.word);
            auto is = [&](std::string_view marker, std::string_view fallback) {
                return (!marker.empty() && folded == foldCase(marker)) || folded == fallback;
            };
            if (is(conventions_.amText, "am") || folded == "a") {
                pm = false;
                continue;
            }
            if (is(conventions_.pmText, "pm") || folded == "p") {
                pm = true;
                continue;
            }
        }
        dateParts.push_back(part);
    }
    if (hour && !minute) return std::nullopt;
    if (pm && !hour) return std::nullopt;

    double timeOfDay = 0;
    if (hour) {
        std::int64_t h = *hour;
        if (pm) {
            if (h < 1 || h > 12) return std::nullopt;
            h = (h % 12) + (*pm ? 12 : 0);
        }
        if (h > 23 || *minute > 59 || second.value_or(0) > 59) return std::nullopt;
        timeOfDay = makeTimeOfDay(h, *minute, second.value_or(0));
    }
    if (dateParts.empty()) {
        if (!hour) return std::nullopt;
        return timeOfDay;
    }

    // Date: three fields, of which one may be a month name.
    std::optional<std::int64_t> monthByName;
    std::vector<const Part*> numbers;
    for (const Part& part : dateParts) {
        if (part.isNumber) {
            numbers.push_back(&part);
            continue;
        }
        if (monthByName) return std::nullopt;
        for (int m = 0; m < 12; ++m) {
            const std::string& full = conventions_.monthNames[m];
            const std::string& abbreviation = conventions_.monthAbbreviations[m];
            const std::string folded = foldCase(part.word);
            if (folded == foldCase(full) || folded == foldCase(abbreviation) ||
                (folded.size() >= 3 && startsWithCaseBlind(full, part.word))) {
                monthByName = m + 1;
                break;
            }
        }
        if (!monthByName) return std::nullopt;
    }

    std::int64_t year = 0, month = 0, day = 0;
    int yearDigits = 0;
    auto takeYear = [&](const Part* p) {
        year = p->number;
        yearDigits = p->digits;
    };
    if (monthByName) {
        if (numbers.size() != 2) return std::nullopt;
        month = *monthByName;
        if (numbers[0]->digits >= 3) {
            takeYear(numbers[0]);
            day = numbers[1]->number;
        } else if (numbers[1]->digits >= 3 || order_ != FieldOrder::YearMonthDay) {
            day = numbers[0]->number;
            takeYear(numbers[1]);
        } else {
            takeYear(numbers[0]);
            day = numbers[1]->number;
        }
    } else {
        if (numbers.size() == 2) {
            // A month and a day of the current year are not accepted: a stored cell always has its year.
            return std::nullopt;
        }
        if (numbers.size() != 3) return std::nullopt;
        if (numbers[0]->digits >= 3 || order_ == FieldOrder::YearMonthDay) {
            takeYear(numbers[0]);
            month = numbers[1]->number;
            day = numbers[2]->number;
        } else if (order_ == FieldOrder::DayMonthYear) {
            day = numbers[0]->number;
            month = numbers[1]->number;
            takeYear(numbers[2]);
        } else {
            month = numbers[0]->number;
            day = numbers[1]->number;
            takeYear(numbers[2]);
        }
    }
    if (yearDigits <= 2) year += year < 30 ? 2000 : 1900;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, static_cast<int>(month)))
        return std::nullopt;
    return combineDateAndTime(makeDate(year, month, day), timeOfDay);
}

std::optional<double> Locale::parseNumber(std::string_view text) const
{
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    if (text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o')) {
        const int base = (text[1] == 'H' || text[1] == 'h') ? 16 : 8;
        std::uint64_t value = 0;
        auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, base);
        if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFFu) return std::nullopt;
        // Hexadecimal and octal literals are 16- or 32-bit patterns, so high bits make them negative.
        if (value <= 0xFFFF && text.size() - 2 <= (base == 16 ? 4u : 6u)) return static_cast<double>(static_cast<std::int16_t>(value));
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    }
    std::string plain;
    bool negative = false;
    std::size_t i = 0;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    bool sawDigit = false, sawPoint = false;
    const std::string& group = conventions_.thousandsSeparator;
    const std::string& point = conventions_.decimalPoint;
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c)) {
            plain.push_back(c);
            sawDigit = true;
            ++i;
        } else if (!sawPoint && !point.empty() && text.substr(i, point.size()) == point) {
            plain.push_back('.');
            sawPoint = true;
            i += point.size();
        } else if (!sawPoint && sawDigit && !group.empty() && text.substr(i, group.size()) == group) {
            i += group.size();
        } else if ((c == 'e' || c == 'E') && sawDigit) {
            plain.push_back('e');
            ++i;
            if (i < text.size() && (text[i] == '-' || text[i] == '+')) plain.push_back(text[i++]);
            const std::size_t exponentStart = plain.size();
            while (i < text.size() && isDigit(text[i])) plain.push_back(text[i++]);
            if (plain.size() == exponentStart) return std::nullopt;
            break;
        } else {
            return std::nullopt;
        }
    }
    if (i != text.size() || !sawDigit) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::string Locale::formatNumber(double value, int significantDigits) const
{
    if (value == 0) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", significantDigits, value);
    std::string text(buffer);
    // %G writes E+020 style exponents on some platforms and always two digits: tidy to E+20.
    const std::size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    std::string exponent = e == std::string::npos ? std::string() : text.substr(e);
    if (!exponent.empty()) {
        const char sign = exponent[1];
        std::size_t digitsStart = 2;
        while (digitsStart + 1 < exponent.size() && exponent[digitsStart] == '0') ++digitsStart;
        exponent = std::string("E") + sign + exponent.substr(digitsStart);
    }
    const std::size_t dot = mantissa.find('.');
    if (dot != std::string::npos) mantissa.replace(dot, 1, conventions_.decimalPoint);
    return mantissa + exponent;
}

} // namespace quenarch
