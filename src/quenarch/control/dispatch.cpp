#include "quenarch/control/dispatch.h"

#include "quenarch/control/type_library.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"

#include <new>

namespace quenarch {
namespace {

AutomationError memberNotSupported() { return {438, runtimeErrorSource, "Object doesn't support this property or method"}; }
AutomationError wrongArgumentCount() { return {450, runtimeErrorSource, "Wrong number of arguments or invalid property assignment"}; }

const MemberInfo& memberOf(std::int32_t dispid)
{
    for (const MemberInfo& member : findInterface("_quenarchive")->members)
        if (member.dispid == dispid) return member;
    throw memberNotSupported();
}

enum class Verb { Get, Let, SetRef, Call };

// The verb the control carries out: properties answer get, let and set; methods answer a call,
// which hosts may also make as a get.
Verb verbFor(const MemberInfo& member, unsigned kind)
{
    if (member.access & AccessMethod) {
        if (kind & (InvokeMethod | InvokePropertyGet)) return Verb::Call;
    } else {
        if ((kind & (InvokePropertyGet | InvokeMethod)) && (member.access & AccessGet)) return Verb::Get;
        if ((kind & InvokePropertyPut) && (member.access & AccessLet)) return Verb::Let;
        if ((kind & InvokePropertyPutRef) && (member.access & AccessSetRef)) return Verb::SetRef;
    }
    throw memberNotSupported();
}

quenarch::Picture pictureOf(const Variant& value)
{
    if (const auto* picture = value.get<Variant::PictureValue>()) return picture->picture;
    throw errors::typeMismatch();
}

} // namespace

std::int32_t QuenArchiveDispatch::idOfName(std::string_view name) const
try {
    for (const MemberInfo& member : findInterface("_quenarchive")->members)
        if (equalsCaseBlind(member.name, name)) return member.dispid;
    throw memberNotSupported();
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

Variant QuenArchiveDispatch::invoke(std::string_view name, unsigned kind, std::span<const Variant> arguments)
{
    return invoke(idOfName(name), kind, arguments);
}

Variant QuenArchiveDispatch::invoke(std::int32_t dispid, unsigned kind, std::span<const Variant> arguments)
try {
    const MemberInfo& member = memberOf(dispid);
    const Verb verb = verbFor(member, kind);
    const std::size_t expected = verb == Verb::Let || verb == Verb::SetRef ? 1 : 0;
    if (arguments.size() != expected) throw wrongArgumentCount();
    const Locale& locale = *control_.platform().locale;
    const Variant& value = expected == 1 ? arguments[0] : Variant();
    const auto colour = [&] { return static_cast<std::uint32_t>(toLong(value, locale)); };
    const auto asLong = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };

    switch (dispid) {
    case 0x40030004: // ListItems
        if (verb == Verb::Get) return Variant::listItems(control_.ListItems);
        if (const auto* items = value.get<Variant::ListItemsValue>()) {
            control_.ListItems = items->list;
            return {};
        }
        throw errors::typeMismatch();
    case 0x68030007: // Archive
        if (verb == Verb::Get) return control_.Archive();
        control_.LetArchive(value);
        return {};
    case 0x68030006: // BackColor
        if (verb == Verb::Get) return asLong(control_.BackColor());
        control_.LetBackColor(colour());
        return {};
    case 0x68030005: // ForeColor
        if (verb == Verb::Get) return asLong(control_.ForeColor());
        control_.LetForeColor(colour());
        return {};
    case 0x68030004: // Font
        if (verb == Verb::Get) return Variant(control_.Font());
        if (verb == Verb::SetRef)
            control_.SetFont(toFont(value));
        else
            control_.LetFont(toFont(value));
        return {};
    case 0x60030025: return control_.ListCount();
    case 0x60030026: return control_.Clear();
    case 0x68030003: // Enabled
        if (verb == Verb::Get) return Variant(control_.Enabled());
        control_.LetEnabled(toBoolean(value, locale));
        return {};
    case 0x68030002: // Visible
        if (verb == Verb::Get) return Variant(control_.Visible());
        control_.LetVisible(toBoolean(value, locale));
        return {};
    case 0x68030001: // View
        if (verb == Verb::Get) return control_.View();
        control_.LetView(value);
        return {};
    case 0x60030028: control_.SetFocus(); return {};
    case 0x60030029: control_.ShowAbout(); return {};
    case 0x6003002A: control_.Refresh(); return {};
    case 0x6003002B: return Variant(control_.FileComment());
    case 0x6003002C: return Variant(control_.MoveLast());
    case 0x6003002D: return Variant(control_.MoveFirst());
    case 0x6003002E: return Variant(control_.MoveNext());
    case 0x6003002F: return Variant(control_.MovePrevious());
    case 0x60030030: return Variant(control_.ArchiveType());
    case 0x60030031: return Variant(control_.ItemFileName());
    case 0x60030032: return Variant(control_.filename());
    case 0x60030033: return Variant(control_.ItemCompressed());
    case 0x60030034: return Variant(control_.ItemCRC());
    case 0x60030035: return Variant::date(control_.ItemDate());
    case 0x60030036: return Variant::date(control_.ItemTime());
    case 0x60030037: return Variant(control_.ItemUnCompressed());
    case 0x60030038: return Variant(control_.Version());
    case 0x60030039: return Variant(control_.ItemFileType());
    case 0x68030000: // Picture
        if (verb == Verb::Get) return Variant::picture(control_.Picture());
        control_.LetPicture(pictureOf(value));
        return {};
    default: throw memberNotSupported();
    }
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

} // namespace quenarch
