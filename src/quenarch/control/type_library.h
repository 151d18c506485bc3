#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quenarch {

enum class AutomationType { Void, Boolean, Integer, Long, Single, Date, String, Variant, OleColor, StdFont, Picture, ListItems };

// What a member of a dispatch interface offers.
enum MemberAccess : unsigned {
    AccessGet = 1,    // property get
    AccessLet = 2,    // property assignment by value
    AccessSetRef = 4, // property assignment by reference
    AccessMethod = 8,
};

struct ParameterInfo {
    std::string_view name;
    AutomationType type;
    bool byReference;
};

struct MemberInfo {
    std::string_view name;
    std::int32_t dispid;
    unsigned access;
    AutomationType type; // of the property, or what the method returns
    std::span<const ParameterInfo> parameters;
    std::string_view helpString;
};

enum InterfaceFlags : unsigned {
    InterfaceDual = 1,
    InterfaceHidden = 2,
    InterfaceNonExtensible = 4,
    InterfaceDispatchOnly = 8,
};

struct InterfaceInfo {
    std::string_view name;
    std::string_view guid;
    unsigned flags;
    std::span<const MemberInfo> members;
};

struct ClassInfo {
    std::string_view name;
    std::string_view guid;
    bool isControl;
    std::string_view defaultInterface;
    std::string_view defaultSource; // empty when the class raises no events
};

struct TypeLibraryInfo {
    std::string_view name;
    std::string_view guid;
    int majorVersion;
    int minorVersion;
    std::uint32_t localeId;
    std::string_view helpString;
    std::string_view helpFile;
    std::span<const InterfaceInfo> interfaces;
    std::span<const ClassInfo> classes;
};

// The published type library: the control's dispatch and event interfaces, the control class
// and the property page. Identifiers are fixed for good.
const TypeLibraryInfo& quenarchTypeLibrary();

// The interface of that name, or nothing.
const InterfaceInfo* findInterface(std::string_view name);

// The type library written as IDL, for hosts to read.
std::string typeLibraryIdl(const TypeLibraryInfo& library);

} // namespace quenarch
