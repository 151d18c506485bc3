#include "quenarch/control/dispatch.h"

#include "quenarch/control/dispatch_ids.h"
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

    switch (static_cast<MemberId>(dispid)) {
    case MemberId::ListItems:
        if (verb == Verb::Get) return Variant::listItems(control_.ListItems);
        if (const auto* items = value.get<Variant::ListItemsValue>()) {
            control_.ListItems = items->list;
            return {};
        }
        throw errors::typeMismatch();
    case MemberId::Archive:
        if (verb == Verb::Get) return control_.Archive();
        control_.LetArchive(value);
        return {};
    case MemberId::BackColor:
        if (verb == Verb::Get) return asLong(control_.BackColor());
        control_.LetBackColor(colour());
        return {};
    case MemberId::ForeColor:
        if (verb == Verb::Get) return asLong(control_.ForeColor());
        control_.LetForeColor(colour());
        return {};
    case MemberId::Font:
        if (verb == Verb::Get) return Variant(control_.Font());
        if (verb == Verb::SetRef)
            control_.SetFont(toFont(value));
        else
            control_.LetFont(toFont(value));
        return {};
    case MemberId::ListCount: return control_.ListCount();
    case MemberId::Clear: return control_.Clear();
    case MemberId::Enabled:
        if (verb == Verb::Get) return Variant(control_.Enabled());
        control_.LetEnabled(toBoolean(value, locale));
        return {};
    case MemberId::Visible:
        if (verb == Verb::Get) return Variant(control_.Visible());
        control_.LetVisible(toBoolean(value, locale));
        return {};
    case MemberId::View:
        if (verb == Verb::Get) return control_.View();
        control_.LetView(value);
        return {};
    case MemberId::SetFocus: control_.SetFocus(); return {};
    case MemberId::ShowAbout: control_.ShowAbout(); return {};
    case MemberId::Refresh: control_.Refresh(); return {};
    case MemberId::FileComment: return Variant(control_.FileComment());
    case MemberId::MoveLast: return Variant(control_.MoveLast());
    case MemberId::MoveFirst: return Variant(control_.MoveFirst());
    case MemberId::MoveNext: return Variant(control_.MoveNext());
    case MemberId::MovePrevious: return Variant(control_.MovePrevious());
    case MemberId::ArchiveType: return Variant(control_.ArchiveType());
    case MemberId::ItemFileName: return Variant(control_.ItemFileName());
    case MemberId::filename: return Variant(control_.filename());
    case MemberId::ItemCompressed: return Variant(control_.ItemCompressed());
    case MemberId::ItemCRC: return Variant(control_.ItemCRC());
    case MemberId::ItemDate: return Variant::date(control_.ItemDate());
    case MemberId::ItemTime: return Variant::date(control_.ItemTime());
    case MemberId::ItemUnCompressed: return Variant(control_.ItemUnCompressed());
    case MemberId::Version: return Variant(control_.Version());
    case MemberId::ItemFileType: return Variant(control_.ItemFileType());
    case MemberId::Picture:
        if (verb == Verb::Get) return Variant::picture(control_.Picture());
        control_.LetPicture(pictureOf(value));
        return {};
    default: throw memberNotSupported();
    }
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

} // namespace quenarch
