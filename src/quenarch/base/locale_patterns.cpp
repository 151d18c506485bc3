#include "quenarch/base/locale.h"

#include <algorithm>

// Compiling the conventions' date and time patterns into tokens, once per locale.
namespace quenarch {
namespace {

using Kind = Locale::Token::Kind;

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

// Where the short date puts the year, the month and the day.
Locale::FieldOrder fieldOrderOf(const std::vector<Locale::Token>& shortDate)
{
    std::size_t dayAt = std::string::npos, monthAt = std::string::npos, yearAt = std::string::npos;
    for (std::size_t i = 0; i < shortDate.size(); ++i) {
        switch (shortDate[i].kind) {
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
    if (yearAt < monthAt && yearAt < dayAt) return Locale::FieldOrder::YearMonthDay;
    if (dayAt < monthAt) return Locale::FieldOrder::DayMonthYear;
    return Locale::FieldOrder::MonthDayYear;
}

} // namespace

Locale::Locale(LocaleConventions conventions) : conventions_(std::move(conventions))
{
    shortDate_ = compilePattern(conventions_.shortDatePattern, true);
    longTime_ = compilePattern(conventions_.longTimePattern, false);
    shortDateSteps_ = formatStepsOf(shortDate_);
    longTimeSteps_ = formatStepsOf(longTime_);
    order_ = fieldOrderOf(shortDate_);
}

} // namespace quenarch
