#include "quenarch/base/file_search.h"
#include "quenarch/base/text_case.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

namespace fs = std::filesystem;

// Names that upper-casing cannot bring back: a dotless i, a long s, a final sigma, and a
// backslash that is part of the name.
const char* const awkwardNames[] = {"back\\slash.zip", "ıi.zip", "ſ.zip", "Σς.zip"};

TEST(FileSearch, ThePathAsGivenIsFoundFirstByteForByte)
{
    test::TempDir temp;
    for (const char* name : awkwardNames) {
        const fs::path file = temp.write(name, "x");
        EXPECT_EQ(FileExists(file.string()), 1) << name;
        EXPECT_EQ(locateFile(file.string()), file) << name;
    }
    // An exact name wins over a case-blind one.
    const fs::path lower = temp.write("twin.zip", "x");
    temp.write("TWIN.ZIP", "x");
    EXPECT_EQ(locateFile(lower.string()), lower);
}

TEST(FileSearch, BackslashesSeparateNamesWhenNoEntryHasThemInItsName)
{
    test::TempDir temp;
    fs::create_directories(temp.path() / "Data");
    const fs::path file = temp.write("Data/a.zip", "x");
    const std::string backslashed = temp.path().string() + "\\DATA\\A.ZIP";
    EXPECT_EQ(FileExists(backslashed), 1);
    EXPECT_EQ(locateFile(backslashed), file);
    EXPECT_EQ(FileExists(temp.path().string() + "\\data\\none.zip"), 0);
    EXPECT_EQ(locateFile(temp.path().string() + "\\data\\none.zip"), std::nullopt);
}

TEST(FileSearch, CaseBlindMatchesFoldCaseRatherThanUpperCase)
{
    if (foldCase("ſς") != foldCase("sσ")) GTEST_SKIP() << "this build's case folding leaves ſ and ς as they are";
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
