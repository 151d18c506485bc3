#include "quenarch/qt/desktop_registry.h"

#include "quenarch/base/text_case.h"

#include <QMimeDatabase>
#include <QMimeType>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace quenarch::qt {
namespace {

// A key handle carries what the key is in its high half and the MIME type's position in its low half.
enum class KeyKind : Registry::Key { Extension = 1, Class, DefaultIcon, International };

Registry::Key makeKey(KeyKind kind, std::size_t type = 0)
{
    return static_cast<Registry::Key>(kind) << 32 | static_cast<Registry::Key>(type);
}

KeyKind kindOf(Registry::Key key) { return static_cast<KeyKind>(key >> 32); }
std::size_t typeOf(Registry::Key key) { return static_cast<std::size_t>(key & 0xFFFFFFFFu); }

std::string_view withoutOuterBackslashes(std::string_view path)
{
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return path;
}

constexpr std::string_view defaultIconSubkey = "\\DefaultIcon";

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Compares with an ASCII name; no other character folds to an ASCII letter.
bool endsWithCaseBlind(std::string_view text, std::string_view asciiSuffix)
{
    return text.size() >= asciiSuffix.size() &&
           std::equal(asciiSuffix.begin(), asciiSuffix.end(), text.end() - static_cast<std::ptrdiff_t>(asciiSuffix.size()),
                      [](char a, char b) { return asciiLower(a) == asciiLower(b); });
}

// A text folded as foldCase folds it; ASCII text is folded into a buffer, since every listing
// row looks up two keys.
class FoldedText {
public:
    explicit FoldedText(std::string_view text)
    {
        const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii && text.size() <= buffer_.size()) {
            std::transform(text.begin(), text.end(), buffer_.begin(), asciiLower);
            view_ = std::string_view(buffer_.data(), text.size());
        } else {
            folded_ = foldCase(text);
            view_ = folded_;
        }
    }
    FoldedText(const FoldedText&) = delete;
    FoldedText& operator=(const FoldedText&) = delete;

    std::string_view view() const { return view_; }

private:
    std::array<char, 128> buffer_;
    std::string folded_;
    std::string_view view_;
};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

template <typename Value>
using FoldedMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

// A text made on first use, after which reading it takes no lock.
class LazyText {
public:
    template <typename Make>
    const std::string& get(std::mutex& guard, Make make) const
    {
        if (!ready_.load(std::memory_order_acquire)) {
            std::lock_guard lock(guard);
            if (!ready_.load(std::memory_order_relaxed)) {
                text_ = make();
                ready_.store(true, std::memory_order_release);
            }
        }
        return text_;
    }

private:
    mutable std::atomic<bool> ready_{false};
    mutable std::string text_;
};

} // namespace

struct DesktopRegistry::TypeIndex {
    struct Type {
        QMimeType mime;
        std::string name;
        LazyText comment; // reading a comment loads the type's XML file
        LazyText defaultIcon;
    };

    QMimeDatabase database;
    std::vector<Type> types;
    FoldedMap<std::size_t> typeByName;
    mutable std::mutex extensionsGuard, lazyTextGuard;
    mutable FoldedMap<std::optional<std::size_t>> typeByExtension; // filled on demand

    TypeIndex()
    {
        const QList<QMimeType> all = database.allMimeTypes();
        types = std::vector<Type>(static_cast<std::size_t>(all.size()));
        for (std::size_t i = 0; i < types.size(); ++i) {
            types[i].mime = all[static_cast<qsizetype>(i)];
            types[i].name = types[i].mime.name().toStdString();
            typeByName.emplace(foldCase(types[i].name), i);
        }
    }

    std::optional<std::size_t> typeOfClass(std::string_view name) const
    {
        const FoldedText folded(name);
        const auto found = typeByName.find(folded.view());
        if (found == typeByName.end()) return std::nullopt;
        return found->second;
    }

    std::optional<std::size_t> typeOfExtension(std::string_view extension) const
    {
        const FoldedText folded(extension);
        {
            std::lock_guard lock(extensionsGuard);
            const auto found = typeByExtension.find(folded.view());
            if (found != typeByExtension.end()) return found->second;
        }
        std::optional<std::size_t> type = matchGlobs(folded.view());
        std::lock_guard lock(extensionsGuard);
        typeByExtension.try_emplace(std::string(folded.view()), type);
        return type;
    }

    // The file name "x.ext" meets the "*.ext" globs and no whole-name pattern such as "README*"
    // (the database's suffix search needs a character before the dot); where several types claim
    // the extension, the database's own choice stands.
    std::optional<std::size_t> matchGlobs(std::string_view extension) const
    {
        if (extension.find('/') != std::string_view::npos) return std::nullopt;
        const QMimeType mime = database.mimeTypeForFile(QString::fromUtf8("x." + std::string(extension)), QMimeDatabase::MatchExtension);
        if (mime.isDefault()) return std::nullopt;
        return typeOfClass(mime.name().toStdString());
    }

    const std::string& comment(const Type& type) const
    {
        return type.comment.get(lazyTextGuard, [&] { return type.mime.comment().toStdString(); });
    }

    const std::string& defaultIcon(const Type& type) const
    {
        return type.defaultIcon.get(lazyTextGuard, [&] { return type.mime.iconName().toStdString() + ",0"; });
    }
};

DesktopRegistry::DesktopRegistry(const QLocale& locale)
    : shortDatePattern_(locale.dateFormat(QLocale::ShortFormat).toStdString()), types_(std::make_unique<TypeIndex>())
{
}

DesktopRegistry::~DesktopRegistry() = default;

Registry::Key DesktopRegistry::openKey(RegistryRoot root, std::string_view path) const
{
    path = withoutOuterBackslashes(path);
    if (root == RegistryRoot::CurrentUser) return equalsCaseBlind(path, "International") ? makeKey(KeyKind::International) : noKey;

    if (path.starts_with('.')) {
        if (path.find('\\') != std::string_view::npos) return noKey;
        const std::optional<std::size_t> type = types_->typeOfExtension(path.substr(1));
        return type ? makeKey(KeyKind::Extension, *type) : noKey;
    }
    KeyKind kind = KeyKind::Class;
    if (path.size() > defaultIconSubkey.size() && endsWithCaseBlind(path, defaultIconSubkey)) {
        kind = KeyKind::DefaultIcon;
        path.remove_suffix(defaultIconSubkey.size());
    }
    const std::optional<std::size_t> type = types_->typeOfClass(path);
    return type ? makeKey(kind, *type) : noKey;
}

std::optional<RegistryValue> DesktopRegistry::queryValue(Key key, std::string_view valueName) const
{
    const KeyKind kind = kindOf(key);
    if (kind == KeyKind::International) {
        if (typeOf(key) != 0 || !equalsCaseBlind(valueName, "sShortDate")) return std::nullopt;
        return RegistryValue::string(shortDatePattern_);
    }
    if (!valueName.empty() || key == noKey) return std::nullopt;

    const TypeIndex& index = *types_;
    if (typeOf(key) >= index.types.size()) return std::nullopt;
    const TypeIndex::Type& type = index.types[typeOf(key)];
    switch (kind) {
    case KeyKind::Extension: return RegistryValue::string(type.name);
    case KeyKind::Class: return RegistryValue::string(index.comment(type));
    case KeyKind::DefaultIcon: return RegistryValue::string(index.defaultIcon(type));
    default: return std::nullopt;
    }
}

} // namespace quenarch::qt
