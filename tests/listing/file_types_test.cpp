#include "quenarch/listing/file_types.h"
#include "quenarch/listing/regional_settings.h"
#include "quenarch/base/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using test::TestPlatform;

TEST(GetFileTypeName, UsesTheClassDescriptionOrFallsBackToTheExtension)
{
    TestPlatform t;
    t.registry->setString(RegistryRoot::ClassesRoot, ".bare", "", "bareclass"); // a class without a description
    t.registry->setValue(RegistryRoot::ClassesRoot, ".exp", "", RegistryValue{RegistryExpandString, "txtfile", 0});
    struct Case {
        const char* extension;
        const char* expected;
    };
    for (const Case& c : {Case{"txt", "Text Document"}, Case{"TXT", "Text Document"}, Case{"xyz", "xyz file"},
                          Case{"CAB", "CAB file"}, Case{"", " file"}, Case{"bare", "bare file"}, Case{"exp", "exp file"}})
        EXPECT_EQ(GetFileTypeName(*t.platform.fileTypes, c.extension), c.expected) << c.extension;
    t.registry->setString(RegistryRoot::ClassesRoot, ".", "", "txtfile");
    EXPECT_EQ(GetFileTypeName(*t.platform.fileTypes, ""), "Text Document");
}

TEST(RegistryFileTypes, SplitTheIconLocationAtItsFirstComma)
{
    TestPlatform t;
    const FileTypeSource& fileTypes = *t.platform.fileTypes;
    const auto iconFor = [&](const std::string& location) {
        t.associate("ext", "extfile", "Ext", location);
        return fileTypes.icon("ext");
    };
    struct Case {
        const char* location;
        const char* file;
        std::int32_t index;
    };
    for (const Case& c : {Case{"C:\\Tools\\viewer.exe,2", "C:\\Tools\\viewer.exe", 2}, Case{"C:\\Tools\\viewer.exe,-3", "C:\\Tools\\viewer.exe", -3},
                          Case{"text-plain, 4 ", "text-plain", 4}, Case{"x,2.5", "x", 2}, Case{"x,3.5", "x", 4}}) {
        const auto found = iconFor(c.location);
        ASSERT_TRUE(found.has_value()) << c.location;
        EXPECT_EQ(found->file, c.file);
        EXPECT_EQ(found->index, c.index) << c.location;
    }
    EXPECT_FALSE(iconFor("C:\\Icons\\doc.ico").has_value());
    EXPECT_FALSE(fileTypes.icon("unknown").has_value());
    t.registry->setValue(RegistryRoot::ClassesRoot, "extfile\\DefaultIcon", "", RegistryValue{RegistryExpandString, "x.exe,1", 0});
    EXPECT_FALSE(fileTypes.icon("ext").has_value());

    // Quotes are not removed, so the first comma inside them splits the location.
    for (const char* notANumber : {"C:\\Tools\\viewer.exe,", "\"a,b\",1"}) {
        try {
            iconFor(notANumber);
            ADD_FAILURE() << notANumber;
        } catch (const AutomationError& error) {
            EXPECT_EQ(error.number(), 13) << notANumber;
        }
    }
}

TEST(RegionalSettings, PreferWinIniThenTheRegistryThenDefaults)
{
    struct Case {
        const char* ini;
        const char* registryShortDate;
        RegionalSettings expected;
    };
    const Case cases[] = {
        {"[intl]\nsShortDate=dd-MM-yyyy\nsDate=-\nsTime=.\n", nullptr, {"dd-mm-yyyy", "-", "."}},
        {nullptr, nullptr, {"mm-dd-yyyy", "-", ":"}},
        {"[intl]\nsDate=/\n", "d/M/yyyy", {"d/M/yyyy", "/", ":"}},
        {"[intl]\nsTime=\" \"\nsShortDate=\"  \"\n", "   ", {"mm-dd-yyyy", "-", ":"}},
        {"[intl]\nsDate=\" . \"\n", nullptr, {"mm-dd-yyyy", " . ", ":"}},
    };
    for (const Case& c : cases) {
        TestPlatform t;
        if (c.ini != nullptr) t.ini->files["win.ini"] = c.ini;
        if (c.registryShortDate != nullptr) t.registry->setString(RegistryRoot::CurrentUser, "International", "sShortDate", c.registryShortDate);
        const RegionalSettings settings = LoadRegionalSettings(*t.ini, t.registry.get(), *t.platform.locale);
        EXPECT_EQ(settings.shortDateFormat, c.expected.shortDateFormat);
        EXPECT_EQ(settings.dateSeparator, c.expected.dateSeparator);
        EXPECT_EQ(settings.timeSeparator, c.expected.timeSeparator);
    }
}

TEST(RegionalSettings, WithoutARegistryTheShortDateComesFromTheLocale)
{
    TestPlatform t;
    LocaleConventions german;
    german.shortDatePattern = "dd.MM.yy";
    EXPECT_EQ(LoadRegionalSettings(*t.ini, nullptr, Locale(german)).shortDateFormat, "dd.MM.yy");
    t.ini->files["win.ini"] = "[intl]\nsShortDate=YYYY-MM-DD\n";
    EXPECT_EQ(LoadRegionalSettings(*t.ini, nullptr, Locale(german)).shortDateFormat, "yyyy-mm-dd");
}

TEST(RegionalSettings, LongIniValuesAreCutTo254Characters)
{
    TestPlatform t;
    t.ini->files["win.ini"] = "[intl]\nsShortDate=" + std::string(300, 'd') + "\n";
    EXPECT_EQ(ReadIniString(*t.ini, "intl", "sShortDate", "win.ini").size(), 254u);
}

} // namespace
} // namespace quenarch
