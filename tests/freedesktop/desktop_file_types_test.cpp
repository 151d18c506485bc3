#include "quenarch/freedesktop/desktop_file_types.h"

#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch::freedesktop {
namespace {

TEST(DesktopFileTypesTest, ExtensionsAreFoldedAndDescribedInTheFirstLanguageTheTypeHas)
{
    const test::TempDir folder;
    folder.write("mime/globs2", "50:text/plain:*.txt\n50:text/x-csrc:*.c:cs\n50:text/x-c++src:*.C:cs\n50:text/x-bare:*.bare\n");
    folder.write("mime/text/plain.xml", "<mime-type type=\"text/plain\"><comment>plain text</comment>"
                                        "<comment xml:lang=\"de\">Text</comment></mime-type>");
    const DesktopFileTypes fileTypes(std::make_shared<MimeDatabase>(std::vector{folder.path() / "mime"}), {"de_DE", "de", "default"});
    const std::pair<const char*, std::optional<std::string>> descriptions[] = {
        {"txt", "Text"}, {"TXT", "Text"}, {"txt\\", "Text"},   // a folder's "\" at the end does not count
        {"bare", "text/x-bare"},                              // a type without comments is described by its name
        {"C", "text/x-csrc"},                                 // the extension is folded before it is matched
        {"xyz", std::nullopt}, {"", std::nullopt}, {"v2/txt", std::nullopt}, {"a\\txt", std::nullopt},
    };
    for (const auto& [extension, description] : descriptions) EXPECT_EQ(fileTypes.description(extension), description) << extension;
    EXPECT_EQ(fileTypes.icon("TXT"), IconLocation({"text-plain", 0}));
    EXPECT_EQ(fileTypes.icon("xyz"), std::nullopt);
    // Past the extensions it keeps, it still answers.
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(fileTypes.description("e" + std::to_string(i)), std::nullopt);
    EXPECT_EQ(fileTypes.description("TxT"), "Text");
}

} // namespace
} // namespace quenarch::freedesktop
