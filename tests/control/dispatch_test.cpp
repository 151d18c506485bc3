#include "quenarch/control/dispatch.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/type_library.h"
#include "quenarch/base/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

class DispatchTest : public testing::Test {
protected:
    DispatchTest() { moduleState() = ModuleState{}; }

    std::int32_t errorOf(std::string_view name, unsigned kind, std::vector<Variant> arguments = {})
    {
        return test::errorNumber([&] { dispatch.invoke(name, kind, arguments); });
    }

    test::TestPlatform t;
    HeadlessHost host;
    QuenArchive control{host, t.platform};
    QuenArchiveDispatch dispatch{control};
};

TEST_F(DispatchTest, CallsReachTheControl)
{
    // Names are matched case-blind to the interface's identifiers.
    EXPECT_EQ(dispatch.idOfName("archive"), 0x68030007);
    EXPECT_EQ(dispatch.idOfName("FILENAME"), 0x60030032);
    control.ReadProperties(*std::make_unique<MemoryPropertyBag>());
    dispatch.invoke("Archive", InvokePropertyPut, std::vector<Variant>{Variant(test::testData("control/three-members.zip").string())});
    EXPECT_EQ(*dispatch.invoke("ListCount", InvokeMethod | InvokePropertyGet, {}).get<std::int32_t>(), 3);
    EXPECT_EQ(*dispatch.invoke("MoveLast", InvokeMethod, {}).get<std::int32_t>(), 0);
    EXPECT_EQ(*dispatch.invoke(0x60030031, InvokeMethod, {}).get<std::string>(), "Guide.doc");
    EXPECT_EQ(splitDate(dispatch.invoke("ItemDate", InvokeMethod, {}).get<Variant::DateValue>()->value), (DateParts{2001, 12, 31}));
    EXPECT_EQ(*dispatch.invoke("Version", InvokePropertyGet, {}).get<std::string>(), "1.0");

    dispatch.invoke("BackColor", InvokePropertyPut, std::vector<Variant>{Variant("&HFF")});
    EXPECT_EQ(*dispatch.invoke("BackColor", InvokePropertyGet, {}).get<std::int32_t>(), 255);
    dispatch.invoke("Visible", InvokePropertyPut, std::vector<Variant>{Variant("False")});
    EXPECT_EQ(*dispatch.invoke("Visible", InvokePropertyGet, {}).get<bool>(), false);
    auto font = std::make_shared<Font>();
    dispatch.invoke("Font", InvokePropertyPutRef, std::vector<Variant>{Variant(font)});
    EXPECT_EQ(*dispatch.invoke("Font", InvokePropertyGet, {}).get<FontRef>(), font);
    dispatch.invoke("Picture", InvokePropertyPut, std::vector<Variant>{Variant::picture(nullptr)});
    EXPECT_EQ(host.changedProperties.back(), "Picture");
    dispatch.invoke("ListItems", InvokePropertyPutRef, std::vector<Variant>{Variant::listItems(nullptr)});
    EXPECT_EQ(control.ListItems, nullptr);
    EXPECT_EQ(control.fileview().count(), 3u);
}

TEST_F(DispatchTest, WrongCallsRaiseWhatScriptingHostsExpect)
{
    struct Case {
        const char* name;
        unsigned kind;
        std::vector<Variant> arguments;
        std::int32_t error;
    };
    const Case cases[] = {
        {"NoSuchMember", InvokeMethod, {}, 438},
        {"Version", InvokePropertyPut, {Variant("2.0")}, 438},
        {"ListItems", InvokePropertyPut, {Variant(1)}, 438},
        {"Archive", InvokePropertyPutRef, {Variant("x")}, 438},
        {"MoveNext", InvokeMethod, {Variant(1)}, 450},
        {"Archive", InvokePropertyPut, {}, 450},
        {"View", InvokePropertyGet, {Variant(1)}, 450},
        {"Enabled", InvokePropertyPut, {Variant("perhaps")}, 13},
        {"BackColor", InvokePropertyPut, {Variant("4294967296")}, 6},
        {"Font", InvokePropertyPutRef, {Variant("Arial")}, 424},
        {"Picture", InvokePropertyPut, {Variant(1)}, 13},
        {"View", InvokePropertyPut, {Variant(9)}, 380},
        {"Archive", InvokePropertyPut, {Variant::null()}, 94},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.name, c.kind, c.arguments), c.error) << c.name;
}

TEST(TypeLibrary, PrintsEveryInterfaceAndClassAsIdl)
{
    const std::string idl = typeLibraryIdl(quenarchTypeLibrary());
    for (const char* expected : {"library quenarch", "version(1.0)", "lcid(0x409)", "helpstring(\"Quen Archive Control\")",
                                 "helpfile(\"Quenarch.hlp\")", "interface _quenarchive : IDispatch", "dispinterface __quenarchive",
                                 "coclass quenarchive", "[default, source] dispinterface __quenarchive", "coclass ViewProperties",
                                 "[id(0x68030007), propput", "HRESULT filename([out, retval] BSTR* result);",
                                 "void ItemClick([in, out] short* Row, [in, out] BSTR* Name", "[id(0x68030004), propputref"})
        EXPECT_NE(idl.find(expected), std::string::npos) << expected;
}

} // namespace
} // namespace quenarch
