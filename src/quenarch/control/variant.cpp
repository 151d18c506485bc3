#include "quenarch/control/variant.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"

#include <cmath>
#include <limits>

namespace quenarch {
namespace {

// A number of any numeric form, or nothing for the types that are not numbers.
std::optional<double> numericValue(const Variant& value)
{
    if (const auto* v = value.get<bool>()) return *v ? -1.0 : 0.0;
    if (const auto* v = value.get<std::int16_t>()) return *v;
    if (const auto* v = value.get<std::int32_t>()) return *v;
    if (const auto* v = value.get<float>()) return *v;
    if (const auto* v = value.get<double>()) return *v;
    if (const auto* v = value.get<Variant::DateValue>()) return v->value;
    if (value.isEmpty()) return 0.0;
    return std::nullopt;
}

double numberOf(const Variant& value, const Locale& locale)
{
    if (value.isNull()) throw errors::invalidUseOfNull();
    if (const auto number = numericValue(value)) return *number;
    if (const auto* text = value.get<std::string>()) {
        if (const auto parsed = locale.parseNumber(*text)) return *parsed;
        const std::string folded = foldCase(*text);
        if (folded == "true") return -1;
        if (folded == "false") return 0;
        // A text that reads as a date converts to the date's number, as scripting hosts do.
        if (const auto date = locale.parseDate(*text)) return *date;
    }
    throw errors::typeMismatch();
}

template <typename Integer>
Integer roundedInto(double number)
{
    const double rounded = std::nearbyint(number);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Integer>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Integer>::max())))
        throw errors::overflow();
    return static_cast<Integer>(rounded);
}

} // namespace

std::string toText(const Variant& value, const Locale& locale)
{
    switch (value.type()) {
    case Variant::Type::Empty: return {};
    case Variant::Type::Null: throw errors::invalidUseOfNull();
    case Variant::Type::Boolean: return *value.get<bool>() ? "True" : "False";
    case Variant::Type::Integer: return std::to_string(*value.get<std::int16_t>());
    case Variant::Type::Long: return std::to_string(*value.get<std::int32_t>());
    case Variant::Type::Single: return locale.formatNumber(*value.get<float>(), 7);
    case Variant::Type::Double: return locale.formatNumber(*value.get<double>(), 15);
    case Variant::Type::Date: return locale.generalDate(value.get<Variant::DateValue>()->value);
    case Variant::Type::String: return *value.get<std::string>();
    default: throw errors::typeMismatch();
    }
}

std::int32_t toLong(const Variant& value, const Locale& locale) { return roundedInto<std::int32_t>(numberOf(value, locale)); }

std::int16_t toInteger(const Variant& value, const Locale& locale) { return roundedInto<std::int16_t>(numberOf(value, locale)); }

bool toBoolean(const Variant& value, const Locale& locale) { return numberOf(value, locale) != 0; }

double toDouble(const Variant& value, const Locale& locale) { return numberOf(value, locale); }

AutomationDate toDate(const Variant& value, const Locale& locale)
{
    if (const auto* text = value.get<std::string>()) {
        if (const auto date = locale.parseDate(*text)) return *date;
        if (const auto number = locale.parseNumber(*text)) return *number;
        throw errors::typeMismatch();
    }
    const double number = numberOf(value, locale);
    if (number < minAutomationDate || number > maxAutomationDate) throw errors::overflow();
    return number;
}

FontRef toFont(const Variant& value)
{
    if (const auto* font = value.get<FontRef>(); font != nullptr && *font) return *font;
    throw errors::objectRequired();
}

} // namespace quenarch
