#include "qt/desktop_registry.h"

#include "listing/file_types.h"

#include <QMimeDatabase>

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

std::optional<std::string> defaultValue(const Registry& registry, std::string_view path)
{
    const Registry::Key key = registry.openKey(RegistryRoot::ClassesRoot, path);
    std::optional<RegistryValue> value = registry.queryValue(key, "");
    registry.closeKey(key);
    if (!value) return std::nullopt;
    EXPECT_EQ(value->type, RegistryString);
    return value->text;
}

std::string commentOf(const QString& mimeType) { return QMimeDatabase().mimeTypeForName(mimeType).comment().toStdString(); }

struct ExtensionCase {
    const char* extension;
    const char* mimeType;
};

class ExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, NamesTheMimeTypeItsGlobsGiveAndItsComment)
{
    const DesktopRegistry registry;
    const ExtensionCase& c = GetParam();
    EXPECT_EQ(defaultValue(registry, std::string(".") + c.extension), c.mimeType);
    EXPECT_EQ(GetFileTypeName(registry, c.extension), commentOf(QString::fromLatin1(c.mimeType)));
}

// Keys are case-blind: "C" is the key "c" (C source), although the database's glob "*.C" for C++
// is case-sensitive. A wildcard glob counts: "*.[1-9]" makes "1" a manual page.
INSTANTIATE_TEST_SUITE_P(Globs, ExtensionTest,
                         ::testing::Values(ExtensionCase{"txt", "text/plain"}, ExtensionCase{"TXT", "text/plain"},
                                           ExtensionCase{"Png", "image/png"}, ExtensionCase{"zip", "application/zip"},
                                           ExtensionCase{"c", "text/x-csrc"}, ExtensionCase{"C", "text/x-csrc"},
                                           ExtensionCase{"gz", "application/gzip"}, ExtensionCase{"1", "application/x-troff-man"}));

TEST(DesktopRegistryTest, ExtensionsWithoutGlobAreMissingKeys)
{
    const DesktopRegistry registry;
    for (const char* path : {".xyz", ".", ".v2/readme", ".txt\\ShellNew", "no/such-type", "text/plain\\Shell", "", "DefaultIcon"})
        EXPECT_EQ(registry.openKey(RegistryRoot::ClassesRoot, path), Registry::noKey) << path;
    EXPECT_EQ(GetFileTypeName(registry, "xyz"), "xyz file");
    EXPECT_EQ(GetFileTypeName(registry, ""), " file");
}

TEST(DesktopRegistryTest, ClassKeysAreCaseBlindAndHoldOnlyADefaultValue)
{
    const DesktopRegistry registry;
    EXPECT_EQ(defaultValue(registry, "TEXT/Plain"), commentOf(QStringLiteral("text/plain")));
    EXPECT_EQ(defaultValue(registry, "\\text/plain\\"), commentOf(QStringLiteral("text/plain")));

    const Registry::Key key = registry.openKey(RegistryRoot::ClassesRoot, "text/plain");
    EXPECT_EQ(registry.queryValue(key, "FriendlyTypeName"), std::nullopt);
    EXPECT_EQ(registry.queryValue(Registry::noKey, ""), std::nullopt);
}

TEST(DesktopRegistryTest, DefaultIconIsTheThemeIconNameAtIndexZero)
{
    const DesktopRegistry registry;
    EXPECT_EQ(defaultValue(registry, "text/plain\\DefaultIcon"), "text-plain,0");
    EXPECT_EQ(defaultValue(registry, "Image/PNG\\defaulticon"), "image-png,0");

    const std::optional<IconLocation> location = GetDefaultIcon(registry, "TXT", Locale());
    ASSERT_TRUE(location);
    EXPECT_EQ(location->file, "text-plain");
    EXPECT_EQ(location->index, 0);
    EXPECT_FALSE(GetDefaultIcon(registry, "xyz", Locale()));
}

TEST(DesktopRegistryTest, InternationalHoldsTheLocalesShortDatePatternOnly)
{
    for (const char* name : {"de_DE", "en_US", "C"}) {
        const QLocale locale(QString::fromLatin1(name));
        const DesktopRegistry registry(locale);
        const RegistryData shortDate = ReadUserRegistryValue(registry, "international", "SSHORTDATE");
        EXPECT_EQ(std::get<std::string>(shortDate), locale.dateFormat(QLocale::ShortFormat).toStdString()) << name;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(ReadUserRegistryValue(registry, "International", "sTimeFormat")));
        EXPECT_TRUE(std::holds_alternative<std::monostate>(ReadUserRegistryValue(registry, "Control Panel", "sShortDate")));
    }
    EXPECT_EQ(DesktopRegistry(QLocale(QStringLiteral("de_DE"))).openKey(RegistryRoot::ClassesRoot, "International"), Registry::noKey);
}

} // namespace
} // namespace quenarch::qt
