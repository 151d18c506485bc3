#include "quenarch/platform/platform.h"

#include "quenarch/platform/memory_registry.h"

namespace quenarch {

Platform headlessPlatform()
{
    return Platform{
        std::make_shared<MemoryRegistry>(),
        std::make_shared<IniFolder>(defaultSystemFolder()),
        std::make_shared<Locale>(),
        nullptr,
        std::make_shared<NoIconSource>(),
        std::make_shared<FixedDisplay>(24),
    };
}

} // namespace quenarch
