#include "quenarch/base/locale.h"

#include "quenarch/base/ascii_case.h"
#include "quenarch/base/blank_text.h"
#include "quenarch/base/text_case.h"

// Reading dates and times: text in the conventions' own patterns first, then looser forms.
namespace quenarch {

struct Locale::ParsedFields {
    std::optional<std::int64_t> year, month, day, hour, minute, second;
    int yearDigits = 0;
    std::optional<bool> pm;
};

namespace {

using Kind = Locale::Token::Kind;

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

bool startsWithCaseBlind(std::string_view text, std::string_view prefix)
{
    if (prefix.empty() || text.size() < prefix.size()) return false;
    return foldCase(text.substr(0, prefix.size())) == foldCase(prefix);
}

// The time of day of an hour, a minute and a second, the hour on a 12-hour clock where pm says
// which half of the day it is in; none when a field is out of range.
std::optional<double> timeOfDayOf(std::int64_t hour, std::int64_t minute, std::int64_t second, std::optional<bool> pm)
{
    if (pm) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (*pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return makeTimeOfDay(hour, minute, second);
}

// The date of a year, a month and a day, a year of one or two digits read as 1930 to 2029;
// none when a field is out of range.
std::optional<AutomationDate> dateOf(std::int64_t year, int yearDigits, std::int64_t month, std::int64_t day)
{
    if (yearDigits <= 2) year += year < 30 ? 2000 : 1900;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, static_cast<int>(month)))
        return std::nullopt;
    return makeDate(year, month, day);
}

// A piece of a loosely written date or time: a number or a word, and the separator after it.
struct LoosePart {
    bool isNumber;
    std::int64_t number;
    int digits;
    std::string_view word;
    char separatorAfter; // ':' time separator, 'd' date separator, ' ' blank, 0 none
};

// Cuts a loosely written text into numbers and words; none when a separator follows nothing or
// another separator.
std::optional<std::vector<LoosePart>> loosePartsOf(std::string_view text, const LocaleConventions& conventions)
{
    std::vector<LoosePart> parts;
    const std::string_view timeSeparator = conventions.timeSeparator;
    const std::string_view dateSeparator = conventions.dateSeparator;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isAsciiDigit(c)) {
            std::int64_t value = 0;
            int digits = 0;
            while (i < text.size() && isAsciiDigit(text[i])) {
                if (digits < 9) value = value * 10 + (text[i] - '0');
                ++digits;
                ++i;
            }
            parts.push_back({true, value, digits, {}, 0});
        } else if (c == ' ' || c == ',' || c == '\t') {
            if (!parts.empty() && parts.back().separatorAfter == 0) parts.back().separatorAfter = ' ';
            ++i;
        } else if (c == ':' || (!timeSeparator.empty() && text.substr(i, timeSeparator.size()) == timeSeparator &&
                                 !parts.empty() && parts.back().isNumber && timeSeparator != dateSeparator)) {
            if (parts.empty() || parts.back().separatorAfter != 0) return std::nullopt;
            parts.back().separatorAfter = ':';
            i += c == ':' ? 1 : timeSeparator.size();
        } else if (c == '/' || c == '-' || c == '.' || (!dateSeparator.empty() && text.substr(i, dateSeparator.size()) == dateSeparator)) {
            if (parts.empty() || parts.back().separatorAfter != 0) return std::nullopt;
            parts.back().separatorAfter = 'd';
            i += (c == '/' || c == '-' || c == '.') ? 1 : dateSeparator.size();
        } else {
            const std::size_t start = i;
            while (i < text.size() && !isAsciiDigit(text[i]) && text[i] != ' ' && text[i] != ',' && text[i] != '\t' &&
                   text[i] != '/' && text[i] != '-' && text[i] != ':')
                ++i;
            if (!text.substr(start, i - start).empty() && text[i - 1] == '.') --i; // "Dec." ends at the dot
            if (i == start) ++i;
            parts.push_back({false, 0, 0, text.substr(start, i - start), 0});
        }
    }
    return parts;
}

// The time in a loosely written text, and the parts left for the date.
struct LooseTime {
    std::optional<std::int64_t> hour, minute, second;
    std::optional<bool> pm;
    std::vector<LoosePart> dateParts;
};

// Takes the time from the parts: numbers joined by time separators, then an optional AM or PM
// word. None when the time has more than three numbers, an hour alone, or AM or PM alone.
std::optional<LooseTime> separateTime(const std::vector<LoosePart>& parts, const LocaleConventions& conventions)
{
    LooseTime time;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const LoosePart& part = parts[k];
        const bool inTime = part.isNumber && (part.separatorAfter == ':' || (k > 0 && parts[k - 1].separatorAfter == ':'));
        if (inTime) {
            if (!time.hour)
                time.hour = part.number;
            else if (!time.minute)
                time.minute = part.number;
            else if (!time.second)
                time.second = part.number;
            else
                return std::nullopt;
            continue;
        }
        if (!part.isNumber) {
            const std::string folded = foldCase(part.word);
            auto is = [&](std::string_view marker, std::string_view fallback) {
                return (!marker.empty() && folded == foldCase(marker)) || folded == fallback;
            };
            if (is(conventions.amText, "am") || folded == "a") {
                time.pm = false;
                continue;
            }
            if (is(conventions.pmText, "pm") || folded == "p") {
                time.pm = true;
                continue;
            }
        }
        time.dateParts.push_back(part);
    }
    if (time.hour && !time.minute) return std::nullopt;
    if (time.pm && !time.hour) return std::nullopt;
    return time;
}

// The month a word names: its full name, its abbreviation, or three or more first letters of
// its full name, in any letter case.
std::optional<std::int64_t> monthNamed(std::string_view word, const LocaleConventions& conventions)
{
    const std::string folded = foldCase(word);
    for (int m = 0; m < 12; ++m) {
        const std::string& full = conventions.monthNames[m];
        if (folded == foldCase(full) || folded == foldCase(conventions.monthAbbreviations[m]) ||
            (folded.size() >= 3 && startsWithCaseBlind(full, word)))
            return m + 1;
    }
    return std::nullopt;
}

// The date of the date parts: three numbers, or two numbers and a month name, in the locale's
// field order unless a number of three or more digits shows which is the year.
std::optional<AutomationDate> looseDateOf(const std::vector<LoosePart>& dateParts, const LocaleConventions& conventions,
                                          Locale::FieldOrder order)
{
    std::optional<std::int64_t> monthByName;
    std::vector<const LoosePart*> numbers;
    for (const LoosePart& part : dateParts) {
        if (part.isNumber) {
            numbers.push_back(&part);
            continue;
        }
        if (monthByName) return std::nullopt;
        monthByName = monthNamed(part.word, conventions);
        if (!monthByName) return std::nullopt;
    }

    std::int64_t year = 0, month = 0, day = 0;
    int yearDigits = 0;
    auto takeYear = [&](const LoosePart* p) {
        year = p->number;
        yearDigits = p->digits;
    };
    if (monthByName) {
        if (numbers.size() != 2) return std::nullopt;
        month = *monthByName;
        if (numbers[0]->digits >= 3) {
            takeYear(numbers[0]);
            day = numbers[1]->number;
        } else if (numbers[1]->digits >= 3 || order != Locale::FieldOrder::YearMonthDay) {
            day = numbers[0]->number;
            takeYear(numbers[1]);
        } else {
            takeYear(numbers[0]);
            day = numbers[1]->number;
        }
    } else {
        // A month and a day of the current year are not accepted: a stored cell always has its year.
        if (numbers.size() != 3) return std::nullopt;
        if (numbers[0]->digits >= 3 || order == Locale::FieldOrder::YearMonthDay) {
            takeYear(numbers[0]);
            month = numbers[1]->number;
            day = numbers[2]->number;
        } else if (order == Locale::FieldOrder::DayMonthYear) {
            day = numbers[0]->number;
            month = numbers[1]->number;
            takeYear(numbers[2]);
        } else {
            month = numbers[0]->number;
            day = numbers[1]->number;
            takeYear(numbers[2]);
        }
    }
    return dateOf(year, yearDigits, month, day);
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
            const auto time = timeOfDayOf(*f.hour, f.minute.value_or(0), f.second.value_or(0), f.pm);
            if (!time) return std::nullopt;
            timeOfDay = *time;
        }
        if (!f.year && !f.month && !f.day) return f.hour ? std::optional<AutomationDate>(timeOfDay) : std::nullopt;
        if (!f.year || !f.month || !f.day) return std::nullopt;
        const auto date = dateOf(*f.year, f.yearDigits, *f.month, *f.day);
        if (!date) return std::nullopt;
        return combineDateAndTime(*date, timeOfDay);
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
    text = trimmed(text, spacesAndTabs);
    if (const auto exact = parseByPatterns(text)) return exact;
    if (text.empty()) return std::nullopt;

    const auto parts = loosePartsOf(text, conventions_);
    if (!parts) return std::nullopt;
    const auto time = separateTime(*parts, conventions_);
    if (!time) return std::nullopt;
    double timeOfDay = 0;
    if (time->hour) {
        const auto known = timeOfDayOf(*time->hour, *time->minute, time->second.value_or(0), time->pm);
        if (!known) return std::nullopt;
        timeOfDay = *known;
    }
    if (time->dateParts.empty()) return time->hour ? std::optional<AutomationDate>(timeOfDay) : std::nullopt;
    const auto date = looseDateOf(time->dateParts, conventions_, order_);
    if (!date) return std::nullopt;
    return combineDateAndTime(*date, timeOfDay);
}

} // namespace quenarch
