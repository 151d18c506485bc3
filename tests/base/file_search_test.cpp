#include "quenarch/base/file_search.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

namespace fs = std::filesystem;

TEST(FileSearch, CaseBlindMatchesFoldCaseRatherThanUpperCase)
{
    test::TempDir temp;
    const fs::path longS = temp.write("ſ.zip", "x");
    const fs::path sigmas = temp.write("Σς.zip", "x");
    EXPECT_EQ(locateFile((temp.path() / "S.ZIP").string()), longS);
    EXPECT_EQ(locateFile((temp.path() / "σΣ.ZIP").string()), sigmas);
    EXPECT_EQ(FileExists((temp.path() / "ΣΣ.zip").string()), 1);
}

TEST(FileSearch, WildcardsCountEntriesAndEachQuestionMarkIsOneCharacter)
{
    test::TempDir temp;
    for (const char* name : {"a.zip", "ſ.zip", "Σς.zip", "B.ZIP", "notes.txt"}) temp.write(name, "x");
    fs::create_directories(temp.path() / "c.zip");
    EXPECT_EQ(FileExists((temp.path() / "?.zip").string()), 4); // a, ſ, B and the folder c
    EXPECT_EQ(FileExists((temp.path() / "??.ZIP").string()), 1);
    EXPECT_EQ(FileExists((temp.path() / "*").string()), 6);
    EXPECT_EQ(FileExists((temp.path() / "*.doc").string()), 0);
    EXPECT_TRUE(matchesWildcard("Σς.zip", "?ς.*"));
    EXPECT_FALSE(matchesWildcard("Σς.zip", "?.zip"));
    EXPECT_TRUE(matchesWildcard("abcabd", "*abd"));
}

} // namespace
} // namespace quenarch
