// Feeds arbitrary bytes to one archive reader. Built once per format.

#include "quenarch/archive/archive_formats.h"
#include "quenarch/archive/member_collector.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quenarch::Utf8OrWindows1252Codec codec;
    quenarch::MemberCollector members;
    quenarch::readArchiveBytes(quenarch::ArchiveFormat::QUENARCH_FUZZ_FORMAT, {data, size}, members, codec);
    return 0;
}
