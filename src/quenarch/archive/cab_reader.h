#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/name_decoder.h"
#include "quenarch/archive/reader_frame.h"

namespace quenarch {

// Lists a cabinet from its file entries, as many as its header announces and the file holds.
// A file that does not start with "MSCF" is not a cabinet. An error raised by the sink while a
// member is added leaves the reader.
ReadVerdict ReadCabArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names);

} // namespace quenarch
