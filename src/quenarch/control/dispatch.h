#pragma once

#include "quenarch/control/quen_archive.h"
#include "quenarch/control/variant.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quenarch {

// How a member is called, as automation hosts pass it; a host may combine method and get.
enum InvokeKind : unsigned {
    InvokeMethod = 1,
    InvokePropertyGet = 2,
    InvokePropertyPut = 4,
    InvokePropertyPutRef = 8,
};

// The control's dispatch interface: members by name (without regard to letter case) or by
// dispatch identifier. An unknown member or a call it does not offer raises "Object doesn't
// support this property or method" (438), a wrong number of arguments raises 450, and an
// argument without the needed form raises "Type mismatch" (13).
class QuenArchiveDispatch {
public:
    explicit QuenArchiveDispatch(QuenArchive& control) : control_(control) {}

    std::int32_t idOfName(std::string_view name) const;
    Variant invoke(std::int32_t dispid, unsigned kind, std::span<const Variant> arguments);
    Variant invoke(std::string_view name, unsigned kind, std::span<const Variant> arguments);

private:
    QuenArchive& control_;
};

} // namespace quenarch
