// Feeds arbitrary bytes to one archive reader, through the byte source as files are read. Built
// once per format.

#include "quenarch/archive/archive_formats.h"
#include "quenarch/archive/member_collector.h"
#include "quenarch/platform/memory_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    quenarch::MemoryFile file({data, size});
    quenarch::ByteSource source(file);
    quenarch::MemberCollector members;
    quenarch::readArchive(quenarch::ArchiveFormat::QUENARCH_FUZZ_FORMAT, source, members, nullptr);
    return 0;
}
