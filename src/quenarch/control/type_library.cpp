#include "quenarch/control/type_library.h"

#include "quenarch/control/dispatch_ids.h"
#include "quenarch/control/events.h"

#include <array>
#include <cstdio>

namespace quenarch {
namespace {

using T = AutomationType;

constexpr std::int32_t dispidOf(MemberId member) { return static_cast<std::int32_t>(member); }
constexpr std::int32_t dispidOf(EventId event) { return static_cast<std::int32_t>(event); }

constexpr std::array<ParameterInfo, 4> mouseParameters{{
    {"Button", T::Integer, true},
    {"Shift", T::Integer, true},
    {"x", T::Single, true},
    {"y", T::Single, true},
}};
constexpr std::array<ParameterInfo, 6> itemClickParameters{{
    {"Row", T::Integer, true},
    {"Name", T::String, true},
    {"Size", T::String, true},
    {"Packed", T::String, true},
    {"FileType", T::String, true},
    {"Modified", T::Date, true},
}};
constexpr std::array<ParameterInfo, 1> columnClickParameters{{{"Column", T::Integer, true}}};

constexpr unsigned getLet = AccessGet | AccessLet;

constexpr std::array<MemberInfo, 29> controlMembers{{
    {"ListItems", dispidOf(MemberId::ListItems), AccessGet | AccessSetRef, T::ListItems, {}, "The list's rows"},
    {"Archive", dispidOf(MemberId::Archive), getLet, T::Variant, {}, "Path of the archive to list"},
    {"BackColor", dispidOf(MemberId::BackColor), getLet, T::OleColor, {}, "Background colour of the list"},
    {"ForeColor", dispidOf(MemberId::ForeColor), getLet, T::OleColor, {}, "Text colour of the list"},
    {"Font", dispidOf(MemberId::Font), AccessSetRef | AccessGet | AccessLet, T::StdFont, {}, "Font of the list"},
    {"ListCount", dispidOf(MemberId::ListCount), AccessMethod, T::Variant, {}, "Number of rows"},
    {"Clear", dispidOf(MemberId::Clear), AccessMethod, T::Variant, {}, "Removes every row"},
    {"Enabled", dispidOf(MemberId::Enabled), getLet, T::Boolean, {}, "Whether the control takes input"},
    {"Visible", dispidOf(MemberId::Visible), getLet, T::Boolean, {}, "Whether the list is shown"},
    {"View", dispidOf(MemberId::View), getLet, T::Variant, {}, "View mode: 0 icons, 1 small icons, 2 list, 3 report"},
    {"SetFocus", dispidOf(MemberId::SetFocus), AccessMethod, T::Void, {}, "Gives the list the keyboard focus"},
    {"ShowAbout", dispidOf(MemberId::ShowAbout), AccessMethod, T::Void, {}, "Shows the About box"},
    {"Refresh", dispidOf(MemberId::Refresh), AccessMethod, T::Void, {}, "Repaints the list"},
    {"FileComment", dispidOf(MemberId::FileComment), AccessMethod, T::String, {}, "Comment of the archive last read"},
    {"MoveLast", dispidOf(MemberId::MoveLast), AccessMethod, T::Long, {}, "Makes the last row current"},
    {"MoveFirst", dispidOf(MemberId::MoveFirst), AccessMethod, T::Long, {}, "Makes the first row current"},
    {"MoveNext", dispidOf(MemberId::MoveNext), AccessMethod, T::Long, {}, "Makes the next row current"},
    {"MovePrevious", dispidOf(MemberId::MovePrevious), AccessMethod, T::Long, {}, "Makes the previous row current"},
    {"ArchiveType", dispidOf(MemberId::ArchiveType), AccessMethod, T::String, {}, "Type of the archive last read"},
    {"ItemFileName", dispidOf(MemberId::ItemFileName), AccessMethod, T::String, {}, "Name of the current row"},
    {"filename", dispidOf(MemberId::filename), AccessMethod, T::String, {}, "File name of the archive last assigned"},
    {"ItemCompressed", dispidOf(MemberId::ItemCompressed), AccessMethod, T::String, {}, "Packed size of the current row"},
    {"ItemCRC", dispidOf(MemberId::ItemCRC), AccessMethod, T::String, {}, "CRC of the current row"},
    {"ItemDate", dispidOf(MemberId::ItemDate), AccessMethod, T::Date, {}, "Modification date of the current row"},
    {"ItemTime", dispidOf(MemberId::ItemTime), AccessMethod, T::Date, {}, "Modification time of the current row"},
    {"ItemUnCompressed", dispidOf(MemberId::ItemUnCompressed), AccessMethod, T::String, {}, "Unpacked size of the current row"},
    {"Version", dispidOf(MemberId::Version), AccessMethod, T::String, {}, "Version of the control"},
    {"ItemFileType", dispidOf(MemberId::ItemFileType), AccessMethod, T::String, {}, "File type of the current row"},
    {"Picture", dispidOf(MemberId::Picture), getLet, T::Picture, {}, "Icon of the current row"},
}};

constexpr std::array<MemberInfo, 7> eventMembers{{
    {"Click", dispidOf(EventId::Click), AccessMethod, T::Void, {}, {}},
    {"DblClick", dispidOf(EventId::DblClick), AccessMethod, T::Void, {}, {}},
    {"MouseDown", dispidOf(EventId::MouseDown), AccessMethod, T::Void, mouseParameters, {}},
    {"MouseMove", dispidOf(EventId::MouseMove), AccessMethod, T::Void, mouseParameters, {}},
    {"MouseUp", dispidOf(EventId::MouseUp), AccessMethod, T::Void, mouseParameters, {}},
    {"ItemClick", dispidOf(EventId::ItemClick), AccessMethod, T::Void, itemClickParameters, {}},
    {"ColumnClick", dispidOf(EventId::ColumnClick), AccessMethod, T::Void, columnClickParameters, {}},
}};

constexpr std::array<InterfaceInfo, 3> interfaces{{
    {"_quenarchive", "E0A42946-DB7B-44C7-A17D-945B5EF3CF70", InterfaceDual | InterfaceHidden | InterfaceNonExtensible, controlMembers},
    {"__quenarchive", "253706F9-C86A-4FF3-99D4-199FDBD29EEA", InterfaceDispatchOnly | InterfaceHidden, eventMembers},
    {"_ViewProperties", "2C30DE5F-2DE5-42B1-8F49-90B6358E8F21", InterfaceDual | InterfaceHidden | InterfaceNonExtensible, {}},
}};

constexpr std::array<ClassInfo, 2> classes{{
    {"quenarchive", "2BEF2455-3492-43AC-AC57-5C53692B2FA8", true, "_quenarchive", "__quenarchive"},
    {"ViewProperties", "E8942B09-1E93-463C-B9B8-0385A4FFFB4D", false, "_ViewProperties", {}},
}};

constexpr TypeLibraryInfo library{
    "quenarch", "A5BCECAB-6347-4446-BD18-3EE27CFA0876", 1, 0, 0x409, "Quen Archive Control", "Quenarch.hlp", interfaces, classes,
};

std::string_view idlType(AutomationType type)
{
    switch (type) {
    case T::Void: return "void";
    case T::Boolean: return "VARIANT_BOOL";
    case T::Integer: return "short";
    case T::Long: return "long";
    case T::Single: return "single";
    case T::Date: return "DATE";
    case T::String: return "BSTR";
    case T::Variant: return "VARIANT";
    case T::OleColor: return "OLE_COLOR";
    case T::StdFont: return "Font*";
    case T::Picture: return "Picture*";
    case T::ListItems: return "IListItems*";
    }
    return "VARIANT";
}

std::string hexId(std::int32_t id)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08x", static_cast<unsigned>(id));
    return buffer;
}

std::string parameterList(const MemberInfo& member)
{
    std::string list;
    for (const ParameterInfo& parameter : member.parameters) {
        if (!list.empty()) list += ", ";
        list += std::string(parameter.byReference ? "[in, out] " : "[in] ") + std::string(idlType(parameter.type)) +
                (parameter.byReference ? "* " : " ") + std::string(parameter.name);
    }
    return list;
}

void appendDualMembers(std::string& out, const InterfaceInfo& info)
{
    for (const MemberInfo& m : info.members) {
        const std::string id = "id(" + hexId(m.dispid) + ")";
        const std::string help = m.helpString.empty() ? std::string() : ", helpstring(\"" + std::string(m.helpString) + "\")";
        const std::string type(idlType(m.type));
        if (m.access & AccessMethod) {
            out += "        [" + id + help + "]\n        HRESULT " + std::string(m.name) + "(" +
                   (m.type == T::Void ? std::string() : "[out, retval] " + type + "* result") + ");\n";
            continue;
        }
        if (m.access & AccessGet)
            out += "        [" + id + ", propget" + help + "]\n        HRESULT " + std::string(m.name) + "([out, retval] " + type + "* value);\n";
        if (m.access & AccessLet)
            out += "        [" + id + ", propput" + help + "]\n        HRESULT " + std::string(m.name) + "([in] " + type + " value);\n";
        if (m.access & AccessSetRef)
            out += "        [" + id + ", propputref" + help + "]\n        HRESULT " + std::string(m.name) + "([in] " + type + " value);\n";
    }
}

std::string interfaceAttributes(const InterfaceInfo& info)
{
    std::string attributes = "      uuid(" + std::string(info.guid) + ")";
    if (info.flags & InterfaceDual) attributes += ",\n      dual";
    if (info.flags & InterfaceHidden) attributes += ",\n      hidden";
    if (info.flags & InterfaceNonExtensible) attributes += ",\n      nonextensible";
    if (info.flags & InterfaceDual) attributes += ",\n      oleautomation";
    return attributes;
}

} // namespace

const TypeLibraryInfo& quenarchTypeLibrary() { return library; }

const InterfaceInfo* findInterface(std::string_view name)
{
    for (const InterfaceInfo& info : library.interfaces)
        if (info.name == name) return &info;
    return nullptr;
}

std::string typeLibraryIdl(const TypeLibraryInfo& lib)
{
    char version[32];
    std::snprintf(version, sizeof version, "%d.%d", lib.majorVersion, lib.minorVersion);
    char locale[16];
    std::snprintf(locale, sizeof locale, "0x%x", lib.localeId);
    std::string out;
    out += "// Type library of the quenarch archive viewer control.\n";
    out += "[\n  uuid(" + std::string(lib.guid) + "),\n  version(" + version + "),\n  lcid(" + locale + "),\n  helpstring(\"" +
           std::string(lib.helpString) + "\"),\n  helpfile(\"" + std::string(lib.helpFile) + "\")\n]\n";
    out += "library " + std::string(lib.name) + "\n{\n";
    out += "    importlib(\"stdole2.tlb\"); // OLE_COLOR, Font (StdFont), Picture\n";
    out += "    interface IListItems;       // the list view's row collection\n\n";
    for (const InterfaceInfo& info : lib.interfaces) {
        out += "    [\n" + interfaceAttributes(info) + "\n    ]\n";
        if (info.flags & InterfaceDispatchOnly) {
            out += "    dispinterface " + std::string(info.name) + "\n    {\n        properties:\n        methods:\n";
            for (const MemberInfo& m : info.members)
                out += "            [id(" + hexId(m.dispid) + ")] void " + std::string(m.name) + "(" + parameterList(m) + ");\n";
        } else {
            out += "    interface " + std::string(info.name) + " : IDispatch\n    {\n";
            appendDualMembers(out, info);
        }
        out += "    };\n\n";
    }
    for (const ClassInfo& c : lib.classes) {
        out += "    [\n      uuid(" + std::string(c.guid) + ")" + (c.isControl ? ",\n      control" : "") + "\n    ]\n";
        out += "    coclass " + std::string(c.name) + "\n    {\n        [default] interface " + std::string(c.defaultInterface) + ";\n";
        if (!c.defaultSource.empty()) out += "        [default, source] dispinterface " + std::string(c.defaultSource) + ";\n";
        out += "    };\n\n";
    }
    out += "};\n";
    return out;
}

} // namespace quenarch
