#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/archive/reader_frame.h"
#include "quenarch/platform/text_codec.h"

namespace quenarch {

// Lists a ZIP archive from its central directory, found through the end-of-central-directory
// record near the end of the file (and the ZIP64 end record where the archive has one).
ReadVerdict ReadZipArchive(Bytes file, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
