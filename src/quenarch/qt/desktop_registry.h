#pragma once

#include "quenarch/platform/registry.h"

#include <QLocale>

#include <memory>
#include <string>

namespace quenarch::qt {

// The desktop's file associations in the shape of a registry, read from the shared-mime-info
// database through QMimeDatabase:
//   HKEY_CLASSES_ROOT\.ext                    default value: the MIME type that the file name
//                                             ".ext" matches by its glob patterns, e.g. text/plain
//   HKEY_CLASSES_ROOT\text/plain              default value: the type's comment in the user's language
//   HKEY_CLASSES_ROOT\text/plain\DefaultIcon  default value: the type's icon name and ",0"
//   HKEY_CURRENT_USER\International           sShortDate: the locale's short date pattern
// The type names are read when the registry is made (about a millisecond), each extension,
// comment and icon name on first use; after that a key costs one hash look-up. Needs no
// QCoreApplication. Safe to share between threads.
class DesktopRegistry final : public Registry {
public:
    explicit DesktopRegistry(const QLocale& locale = QLocale::system());
    ~DesktopRegistry() override;
    DesktopRegistry(const DesktopRegistry&) = delete;
    DesktopRegistry& operator=(const DesktopRegistry&) = delete;

    Key openKey(RegistryRoot root, std::string_view path) const override;
    std::optional<RegistryValue> queryValue(Key key, std::string_view valueName) const override;
    void closeKey(Key) const override {}

private:
    struct TypeIndex;

    std::string shortDatePattern_;
    std::unique_ptr<TypeIndex> types_;
};

} // namespace quenarch::qt
