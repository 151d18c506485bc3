#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using test::testData;

class CursorTest : public testing::Test {
protected:
    CursorTest()
    {
        moduleState() = ModuleState{};
        control.ReadProperties(noProperties);
        control.LetArchive(Variant(testData("control/three-members.zip").string()));
    }

    std::int32_t& current() { return moduleState().CurrentRow; }

    test::TestPlatform t;
    HeadlessHost host;
    QuenArchive control{host, t.platform};
    MemoryPropertyBag noProperties;
};

TEST_F(CursorTest, AFirstQueryMakesTheFirstRowCurrent)
{
    EXPECT_EQ(control.ItemFileName(), "Readme.txt");
    EXPECT_EQ(current(), 1);
    EXPECT_TRUE(control.fileview().row(1).selected());
    EXPECT_EQ(control.ItemUnCompressed(), "6");
    EXPECT_EQ(control.ItemCompressed(), "6");
    EXPECT_EQ(control.ItemFileType(), "Text Document");
    EXPECT_EQ(control.ItemCRC(), "363A3020");
    EXPECT_EQ(splitDate(control.ItemDate()), (DateParts{2001, 12, 31}));
    EXPECT_EQ(splitDate(control.ItemTime()), (DateParts{1899, 12, 30, 14, 22, 6}));
    ASSERT_TRUE(control.Picture());
    EXPECT_EQ(control.Picture(), control.ImageList2().picture("xtxt"));
}

TEST_F(CursorTest, MovesStopAtBothEnds)
{
    EXPECT_EQ(control.MoveLast(), 0);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(control.MoveNext(), -1);
    EXPECT_EQ(current(), 3);
    EXPECT_TRUE(control.fileview().row(3).selected());
    EXPECT_EQ(control.MoveFirst(), 0);
    EXPECT_EQ(control.MovePrevious(), -1);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(control.MoveNext(), 0);
    EXPECT_EQ(control.ItemFileName(), "Main.c");
}

TEST_F(CursorTest, MovingBackFromNoRowLeavesMinusOne)
{
    EXPECT_EQ(control.MovePrevious(), -1);
    EXPECT_EQ(current(), -1);
    EXPECT_EQ(control.MoveNext(), -1);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(control.MoveNext(), 0);
    EXPECT_EQ(current(), 1);
}

TEST_F(CursorTest, ARowNumberPastTheListFallsBack)
{
    current() = 5;
    control.LetArchive(Variant(testData("control/three-members.zip").string()));
    control.Clear();
    const auto picture = control.Picture();
    EXPECT_EQ(control.ItemFileName(), "");
    EXPECT_EQ(control.ItemFileType(), "<unknown>");
    EXPECT_EQ(control.ItemDate(), 0.0);
    EXPECT_EQ(control.ItemCRC(), "");
    EXPECT_EQ(control.Picture(), picture);

    control.LetArchive(Variant(testData("control/three-members.zip").string()));
    current() = 5;
    EXPECT_EQ(control.MovePrevious(), -1); // row 4 does not exist
    EXPECT_EQ(control.MovePrevious(), 0);  // row 3 does
    current() = 5;
    EXPECT_EQ(control.MoveNext(), -1);
    EXPECT_EQ(current(), 3);
}

TEST_F(CursorTest, AnEmptyListMovesNowhere)
{
    control.Clear();
    EXPECT_EQ(control.MoveFirst(), -1);
    EXPECT_EQ(control.MoveLast(), -1);
    EXPECT_EQ(control.MoveNext(), -1);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(*control.ListCount().get<std::int32_t>(), 0);
    EXPECT_FALSE(control.Picture());
}

TEST_F(CursorTest, TwoControlsOnOneThreadShareTheCursorAndTheLastOpen)
{
    HeadlessHost otherHost;
    QuenArchive other(otherHost, t.platform);
    EXPECT_EQ(other.filename(), "three-members.zip");
    EXPECT_EQ(control.MoveNext(), 0);
    EXPECT_EQ(control.MoveNext(), 0);
    EXPECT_EQ(current(), 2);
    // The other control has no rows, so its queries fall back, but it moved nothing.
    EXPECT_EQ(other.ItemFileName(), "");
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(control.ItemFileName(), "Main.c");
}

TEST(Filename, TakesTheTextAfterTheLastSeparator)
{
    HeadlessHost host;
    test::TestPlatform t;
    QuenArchive control(host, t.platform);
    struct Case {
        const char* path;
        const char* expected;
    };
    for (const Case& c : {Case{"C:\\DATA\\A.ZIP", "A.ZIP"}, Case{"C:\\DATA\\", ""}, Case{"A.ZIP", "A.ZIP"}, Case{"   ", "<None>"},
                          Case{"", "<None>"}, Case{"C:/DATA/A.ZIP", "A.ZIP"}, Case{"/home/me/b c.zip ", "b c.zip "}}) {
        moduleState().LastArchivePath = c.path;
        EXPECT_EQ(control.filename(), c.expected) << c.path;
    }
    moduleState().LastArchivePath = std::string(40000, 'a') + "\\b.zip";
    EXPECT_EQ(control.filename(), "b.zip");
}

} // namespace
} // namespace quenarch
