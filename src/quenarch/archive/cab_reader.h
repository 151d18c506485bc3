#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/archive/reader_frame.h"
#include "quenarch/platform/text_codec.h"

namespace quenarch {

// Lists a cabinet from its file entries, as many as its header announces and the file holds.
// A file that does not start with "MSCF" is not a cabinet. An error raised by the sink while a
// member is added leaves the reader.
ReadVerdict ReadCabArchive(Bytes file, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
