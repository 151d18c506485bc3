#include "quenarch/listing/file_types.h"
#include "quenarch/listing/regional_settings.h"
#include "quenarch/base/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <tuple>

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
    for (const char* notANumber : {"C:\\Tools\\viewer.exe,", "\"a,b\",1"})
        EXPECT_EQ(test::errorNumber([&] { iconFor(notANumber); }), 13) << notANumber;
}

TEST(RegionalSettings, PreferWinIniThenTheRegistryThenDefaults)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"[intl]\nsShortDate=dd-MM-yyyy\n", "d/M/yyyy", "dd-mm-yyyy"}, // win.ini's pattern is lower-cased
        {nullptr, nullptr, "mm-dd-yyyy"},
        {"[intl]\nsDate=/\n", "d/M/yyyy", "d/M/yyyy"},
        {"[intl]\nsShortDate=\"  \"\n", "   ", "mm-dd-yyyy"}, // blank values count as none
    };
    for (const auto& [ini, registryShortDate, expected] : cases) {
        TestPlatform t;
        if (ini != nullptr) t.ini->files["win.ini"] = ini;
        if (registryShortDate != nullptr) t.registry->setString(RegistryRoot::CurrentUser, "International", "sShortDate", registryShortDate);
        EXPECT_EQ(LoadRegionalSettings(*t.ini, t.registry.get(), *t.platform.locale).shortDateFormat, expected) << expected;
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
