#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/name_decoder.h"
#include "quenarch/archive/reader_frame.h"

namespace quenarch {

// Lists a RAR archive from its block headers: the RAR 1.5 to 4.x block format and RAR5 alike.
// Archives whose headers are encrypted list nothing. Adding a member that raises an
// AutomationError ends the walk; the members added before stay.
ReadVerdict ReadRarArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names);

} // namespace quenarch
