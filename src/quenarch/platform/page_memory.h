#pragma once

#include <cstddef>

namespace quenarch {

// Memory taken from the system in whole pages, for blocks large enough to deserve a mapping of
// their own. A host may supply its own; tests supply one that counts.
class PageMemory {
public:
    virtual ~PageMemory() = default;
    // A block of at least `bytes` bytes, aligned at least to the system's page size; raises
    // std::bad_alloc when the system has none to give.
    virtual void* map(std::size_t bytes) = 0;
    // Gives back a block that map(bytes) returned, with the same `bytes`.
    virtual void unmap(void* block, std::size_t bytes) = 0;
};

// Anonymous private mappings, each starting on a huge-page boundary and advised to use huge
// pages where the kernel allows them. Stateless: one instance serves the whole process.
PageMemory& systemPageMemory();

} // namespace quenarch
