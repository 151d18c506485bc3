#pragma once

#include "quenarch/listing/font.h"
#include "quenarch/base/automation_date.h"
#include "quenarch/base/image.h"
#include "quenarch/base/locale.h"

#include <cstdint>
#include <string>
#include <variant>

namespace quenarch {

class ListView;

// An automation value. Objects are held by reference: a font object, a picture, or the list's
// row collection.
class Variant {
public:
    enum class Type { Empty, Null, Boolean, Integer, Long, Single, Double, Date, String, Font, Picture, ListItems };

    struct NullValue {
        friend bool operator==(NullValue, NullValue) = default;
    };
    struct DateValue {
        AutomationDate value;
        friend bool operator==(DateValue, DateValue) = default;
    };
    struct PictureValue {
        quenarch::Picture picture;
        friend bool operator==(const PictureValue&, const PictureValue&) = default;
    };
    struct ListItemsValue {
        ListView* list;
        friend bool operator==(ListItemsValue, ListItemsValue) = default;
    };

    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(std::int16_t value) : value_(value) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(float value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(FontRef font) : value_(std::move(font)) {}

    static Variant null() { return Variant(NullValue{}); }
    static Variant date(AutomationDate value) { return Variant(DateValue{value}); }
    static Variant picture(quenarch::Picture picture) { return Variant(PictureValue{std::move(picture)}); }
    static Variant listItems(ListView* list) { return Variant(ListItemsValue{list}); }

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isObject() const { return type() >= Type::Font; }

    template <typename T>
    const T* get() const
    {
        return std::get_if<T>(&value_);
    }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    explicit Variant(NullValue value) : value_(value) {}
    explicit Variant(DateValue value) : value_(value) {}
    explicit Variant(PictureValue value) : value_(std::move(value)) {}
    explicit Variant(ListItemsValue value) : value_(value) {}

    std::variant<std::monostate, NullValue, bool, std::int16_t, std::int32_t, float, double, DateValue, std::string, FontRef,
                 PictureValue, ListItemsValue>
        value_;
};

// The automation conversions, under the user's conventions. Each raises what a scripting host
// raises: "Invalid use of Null" for Null, "Type mismatch" for a value with no such form,
// "Overflow" for a number out of range. Numbers round halves to the even neighbour.
std::string toText(const Variant& value, const Locale& locale);
std::int32_t toLong(const Variant& value, const Locale& locale);
std::int16_t toInteger(const Variant& value, const Locale& locale);
bool toBoolean(const Variant& value, const Locale& locale);
double toDouble(const Variant& value, const Locale& locale);
AutomationDate toDate(const Variant& value, const Locale& locale);
FontRef toFont(const Variant& value);

// Boolean true as automation stores it in a number.
inline constexpr std::int16_t automationTrue = -1;

} // namespace quenarch
