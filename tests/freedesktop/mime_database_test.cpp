#include "quenarch/freedesktop/mime_database.h"

#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch::freedesktop {
namespace {

std::string typeXml(const std::string& type, const std::string& comments)
{
    return "<?xml version=\"1.0\"?>\n<mime-type xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\" type=\"" + type + "\">" +
           comments + "</mime-type>\n";
}

// Two mime folders as update-mime-database writes them: the user's, then the system's.
class MimeDatabaseTest : public testing::Test {
protected:
    MimeDatabaseTest()
    {
        folder.write("user/globs2", "# comment\n"
                                    "40:text/x-mine:*.html\n"
                                    "50:application/x-user:*.user\n"
                                    "0:text/plain:__NOGLOBS__\n");
        folder.write("user/text/x-mine.xml", typeXml("text/x-mine", "<comment>Mine</comment>"));
        folder.write("user/icons", "text/x-mine:mine-icon\n");
        folder.write("system/globs2", "80:text/html:*.html\n"
                                      "50:text/plain:*.txt\n"
                                      "50:text/x-csrc:*.c:cs\n"
                                      "50:text/x-c++src:*.C:cs\n"
                                      "50:text/x-b:*.dup\n"
                                      "50:text/x-a:*.dup\n"
                                      "50:application/x-core:core:cs\n"
                                      "50:application/x-core:core\n"
                                      "50:text/x-wide:*.wïde\n"
                                      "50:application/x-trash:*~\n");
        folder.write("system/types", "text/plain\ntext/x-c++src\ntext/html\napplication/x-tar\ntext/x-c\n"); // not sorted
        folder.write("system/aliases", "text/x-plain text/plain\n");
        folder.write("system/generic-icons", "application/x-tar:package-x-generic\n");
        folder.write("system/text/plain.xml", typeXml("text/plain", "<comment>plain text</comment><comment xml:lang=\"de\">Text</comment>"
                                                                    "<comment xml:lang=\"pt_BR\">Texto</comment>"));
        folder.write("system/text/x-mine.xml", typeXml("text/x-mine", "<comment>System's</comment><comment xml:lang=\"de\">Meins</comment>"));
        folder.write("system/application/x-upper.xml", "");
        folder.write("system/application/x-Upper.xml", typeXml("application/x-Upper", "<comment>Old file name</comment>"));
    }

    test::TempDir folder;
    MimeDatabase database{{folder.path() / "user", folder.path() / "system"}};
};

TEST_F(MimeDatabaseTest, PatternsChooseAsQtChooses)
{
    // Suffixes, wildcards and prefixes over the system's whole database are compared with Qt in
    // the Qt layer's tests; these are the layouts that database does not hold.
    const std::pair<const char*, const char*> cases[] = {
        {"x.html", "text/x-mine"},                      // the first folder that matches wins, whatever the weights
        {"x.txt", "text/plain"},                        // __NOGLOBS__ in a higher folder deletes nothing, as in Qt
        {"x.c", "text/x-csrc"}, {"x.C", "text/x-c++src"}, // case-sensitive patterns
        {"x.dup", "text/x-a"},                          // of equal matches, the first type name
        {"core", "application/x-core"}, {"CORE", ""},     // of one type's same pattern, the first line counts
        {"x.WÏDE", "text/x-wide"}, {"~", "application/x-trash"},
        {"x.user", "application/x-user"}, {"x.unknown", ""}, {"", ""},
    };
    for (const auto& [name, type] : cases) EXPECT_EQ(database.typeOfFileName(name), type) << name;
}

TEST_F(MimeDatabaseTest, CommentsComeFromTheFirstFolderThatHasAny)
{
    EXPECT_EQ(database.comment("text/plain", {"pt_BR", "pt", "default"}), "Texto");
    EXPECT_EQ(database.comment("text/plain", {"fr_FR", "fr", "default"}), "plain text");
    EXPECT_EQ(database.comment("text/x-mine", {"de", "default"}), "Mine"); // the user's file has no German
    EXPECT_EQ(database.comment("application/x-upper", {"default"}), "application/x-upper"); // an empty file
    EXPECT_EQ(database.comment("application/x-Upper", {"default"}), "Old file name");
    EXPECT_EQ(database.comment("no/such-type", {"default"}), "no/such-type");
}

TEST_F(MimeDatabaseTest, IconNamesAndKnownTypes)
{
    EXPECT_EQ(database.iconName("text/x-mine"), "mine-icon");
    EXPECT_EQ(database.iconName("text/plain"), "text-plain");
    EXPECT_EQ(database.genericIconName("application/x-tar"), "package-x-generic");
    EXPECT_EQ(database.genericIconName("text/plain"), "text-x-generic");
    EXPECT_EQ(database.knownType("text/plain"), "text/plain");
    EXPECT_EQ(database.knownType("text/x-plain"), "text/plain");
    EXPECT_EQ(database.knownType("text/x-mine"), "");
    EXPECT_EQ(database.knownType("text/x-c"), "text/x-c"); // found after a longer name it begins
    EXPECT_EQ(database.knownType("text/x"), "");
}

TEST(GlobPatternTest, WildcardsMatchAsQtsRegularExpressionsDo)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*.[1-9]", "x.5", true},     {"*.[1-9]", "x.0", false},   {"*.[!1-9]", "x.0", true}, {"*.[^a]", "x.a", false},
        {"*.so.[0-9]*", "libx.so.1.2", true}, {"*.so.[0-9]*", "libx.so.x", false}, {"a?c", "abc", true}, {"a?c", "ac", false},
        {"A*Z", "a/z", false},        {"[]a]", "]", true},         {"*.[A-C]", "x.b", true},  {"[a-", "a", false},
        {"ÄB*", "äbc", true},
    };
    for (const auto& [pattern, text, expected] : cases) EXPECT_EQ(matchesWildcard(pattern, text), expected) << pattern << " " << text;
    EXPECT_EQ(utf16Length("a€😀"), 4u);
}

} // namespace
} // namespace quenarch::freedesktop
