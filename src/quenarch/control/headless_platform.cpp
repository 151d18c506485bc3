#include "quenarch/control/headless_platform.h"

#include "quenarch/listing/file_types.h"
#include "quenarch/platform/memory_registry.h"

namespace quenarch {

Platform headlessPlatform()
{
    auto registry = std::make_shared<MemoryRegistry>();
    auto locale = std::make_shared<Locale>();
    auto fileTypes = std::make_shared<RegistryFileTypes>(registry, locale);
    return Platform{
        std::move(registry),
        std::move(fileTypes),
        std::make_shared<IniFolder>(defaultSystemFolder()),
        std::move(locale),
        nullptr,
        std::make_shared<NoIconSource>(),
        std::make_shared<FixedDisplay>(24),
    };
}

} // namespace quenarch
