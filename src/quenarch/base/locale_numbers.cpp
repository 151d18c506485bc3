#include "quenarch/base/locale.h"

#include "quenarch/base/ascii_case.h"
#include "quenarch/base/blank_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

// Number texts: grouped whole numbers, and reading and writing numbers by the conventions.
namespace quenarch {

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

std::optional<double> Locale::parseNumber(std::string_view text) const
{
    text = trimmed(text, spacesAndTabs);
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
        if (isAsciiDigit(c)) {
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
            while (i < text.size() && isAsciiDigit(text[i])) plain.push_back(text[i++]);
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
