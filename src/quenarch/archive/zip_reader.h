#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/name_decoder.h"
#include "quenarch/archive/reader_frame.h"

namespace quenarch {

// Lists a ZIP archive from its central directory, found through the end-of-central-directory
// record near the end of the file (and the ZIP64 end record where the archive has one).
ReadVerdict ReadZipArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names);

} // namespace quenarch
