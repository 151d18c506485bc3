#pragma once

#include "quenarch/base/automation_date.h"
#include "quenarch/base/text_writer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenarch {

// The user's conventions for numbers and dates, read once from the desktop. Patterns use the
// CLDR letters that Qt uses: d dd M MM MMM MMMM yy yyyy for dates, h hh H HH m mm s ss AP ap for
// times, text in single quotes; a time-zone letter t is dropped.
struct LocaleConventions {
    std::string thousandsSeparator = ",";
    std::string decimalPoint = ".";
    std::string shortDatePattern = "M/d/yyyy";
    std::string longTimePattern = "h:mm:ss AP";
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
    std::string amText = "AM";
    std::string pmText = "PM";
    std::array<std::string, 12> monthNames{"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
    std::array<std::string, 12> monthAbbreviations{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

    friend bool operator==(const LocaleConventions&, const LocaleConventions&) = default;
};

// Formats and parses numbers and dates by the conventions, from patterns compiled once, so that
// building a row costs no locale look-up.
class Locale {
public:
    explicit Locale(LocaleConventions conventions = {});

    const LocaleConventions& conventions() const { return conventions_; }

    // A whole number with its digits grouped in threes: the picture "###,###,###,###,##0".
    std::string groupedNumber(std::uint64_t value) const;
    template <typename String>
    void appendGroupedNumber(String& out, std::uint64_t value) const
    {
        char buffer[groupedNumberCapacity];
        out.append(formatGroupedNumber(value, buffer));
    }

    // The general date form: the short date (always with a four-digit year), a blank and the
    // long time; the short date alone at midnight, the long time alone on day 0.
    std::string generalDate(AutomationDate date) const;
    void appendGeneralDate(std::string& out, AutomationDate date) const;

    // The two halves of the general date form.
    template <typename String>
    void appendShortDate(String& out, const DateParts& parts) const
    {
        formatSteps(shortDateSteps_, parts, &appendTo<String>, &out);
    }
    template <typename String>
    void appendLongTime(String& out, const DateParts& parts) const
    {
        formatSteps(longTimeSteps_, parts, &appendTo<String>, &out);
    }

    // The time of day as "hh:mm": two-digit 24-hour hours, the locale's time separator, minutes.
    template <typename String>
    void appendShortTime(String& out, const DateParts& parts) const
    {
        formatShortTime(parts, &appendTo<String>, &out);
    }

    // A date formatted with a date picture: d dd m mm mmm mmmm yy yyyy in either letter case,
    // "/" for the locale's date separator, every other character as itself.
    std::string formatDatePicture(AutomationDate date, std::string_view picture) const;

    // Reads a date, a time, or both, in the locale's field order, with "/", "-", "." or blanks
    // between date fields, month names or numbers, ISO year-first dates, 12- or 24-hour times.
    std::optional<AutomationDate> parseDate(std::string_view text) const;

    // Reads a number with optional sign, grouping, decimal point and exponent, or &H / &O forms.
    std::optional<double> parseNumber(std::string_view text) const;

    // A double as text with up to 15 significant digits and the locale's decimal point.
    std::string formatNumber(double value, int significantDigits = 15) const;

    struct Token {
        enum class Kind : std::uint8_t {
            Literal, Day, Day2, MonthNumber, MonthNumber2, MonthShort, MonthLong, Year2, Year4,
            Hour, Hour2, Hour12, Hour12Padded, Minute, Minute2, Second, Second2, AmPm
        };
        Kind kind;
        std::string text;
    };

    // The order of day, month and year in the short date, which reads dates written with numbers.
    enum class FieldOrder { MonthDayYear, DayMonthYear, YearMonthDay };

private:
    template <typename String>
    static void appendTo(void* target, std::string_view piece)
    {
        static_cast<String*>(target)->append(piece);
    }
    // A pattern compiled for writing: each step writes its literal text, then its field. Numbers
    // are picked from an array by index rather than by a switch on the token, whose jump the
    // processor mispredicts token after token.
    struct FormatStep {
        enum class Field : std::uint8_t { None, Number, MonthShort, MonthLong, AmPm };
        std::string literal;
        Field field = Field::None;
        std::uint8_t number = 0; // which number of the moment, for Field::Number
        std::uint8_t width = 1;  // its fewest digits
    };
    static std::vector<FormatStep> formatStepsOf(const std::vector<Token>& tokens);
    void formatSteps(const std::vector<FormatStep>& steps, const DateParts& parts, TextAppender append, void* target) const;
    void formatShortTime(const DateParts& parts, TextAppender append, void* target) const;
    // Twenty digits and six separators of up to four bytes each.
    static constexpr std::size_t groupedNumberCapacity = 48;
    std::string_view formatGroupedNumber(std::uint64_t value, char (&buffer)[groupedNumberCapacity]) const;

    struct ParsedFields;
    bool matchPattern(std::string_view text, std::size_t& at, const std::vector<Token>& tokens, ParsedFields& fields) const;
    // Reads text written in the general date form (or either half of it) by these conventions.
    std::optional<AutomationDate> parseByPatterns(std::string_view text) const;

    LocaleConventions conventions_;
    std::vector<Token> shortDate_;
    std::vector<Token> longTime_;
    std::vector<FormatStep> shortDateSteps_;
    std::vector<FormatStep> longTimeSteps_;
    FieldOrder order_;
};

} // namespace quenarch
