#include "quenarch/listing/file_types.h"

#include "quenarch/base/automation_error.h"

#include <cmath>

namespace quenarch {
namespace {

constexpr std::int32_t statusMissing = 2;

// Opens a key for the length of one lookup.
class OpenKey {
public:
    OpenKey(const Registry& registry, RegistryRoot root, std::string_view path)
        : registry_(registry), key_(registry.openKey(root, path))
    {
    }
    ~OpenKey() { registry_.closeKey(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    RegistryData read(std::string_view valueName) const
    {
        RegistryData value;
        ReadRegistryValue(registry_, key_, valueName, value);
        return value;
    }

private:
    const Registry& registry_;
    Registry::Key key_;
};

std::string textOf(const RegistryData& value)
{
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
    return {};
}

} // namespace

std::int32_t ReadRegistryValue(const Registry& registry, Registry::Key key, std::string_view valueName, RegistryData& value)
{
    const std::optional<RegistryValue> stored = registry.queryValue(key, valueName);
    if (!stored) return statusMissing;
    switch (stored->type) {
    case RegistryString: value = stored->text; return 0;
    case RegistryDword: value = static_cast<std::int32_t>(stored->number); return 0;
    default: return -1;
    }
}

RegistryData ReadUserRegistryValue(const Registry& registry, std::string_view keyName, std::string_view valueName)
{
    return OpenKey(registry, RegistryRoot::CurrentUser, keyName).read(valueName);
}

RegistryFileTypes::RegistryFileTypes(std::shared_ptr<const Registry> registry, std::shared_ptr<const Locale> locale)
    : registry_(std::move(registry)), locale_(std::move(locale))
{
}

std::string RegistryFileTypes::classOf(std::string_view extension) const
{
    return textOf(OpenKey(*registry_, RegistryRoot::ClassesRoot, "." + std::string(extension)).read(""));
}

std::optional<std::string> RegistryFileTypes::description(std::string_view extension) const
{
    const std::string className = classOf(extension);
    if (className.empty()) return std::nullopt;
    std::string description = textOf(OpenKey(*registry_, RegistryRoot::ClassesRoot, className).read(""));
    if (description.empty()) return std::nullopt;
    return description;
}

std::optional<IconLocation> RegistryFileTypes::icon(std::string_view extension) const
{
    const std::string className = classOf(extension);
    if (className.empty()) return std::nullopt;
    const std::string location = textOf(OpenKey(*registry_, RegistryRoot::ClassesRoot, className + "\\DefaultIcon").read(""));
    if (location.empty()) return std::nullopt;
    const std::size_t comma = location.find(',');
    if (comma == std::string::npos) return std::nullopt;

    const std::optional<double> number = locale_->parseNumber(std::string_view(location).substr(comma + 1));
    if (!number) throw errors::typeMismatch();
    const double rounded = std::nearbyint(*number); // halves go to the even neighbour
    if (rounded < INT32_MIN || rounded > INT32_MAX) throw errors::overflow();
    return IconLocation{location.substr(0, comma), static_cast<std::int32_t>(rounded)};
}

std::string GetFileTypeName(const FileTypeSource& fileTypes, std::string_view extension)
{
    std::optional<std::string> description = fileTypes.description(extension);
    return description ? std::move(*description) : std::string(extension) + " file";
}

} // namespace quenarch
