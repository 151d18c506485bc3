#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/dialogs/about_box.h"
#include "quenarch/dialogs/view_properties_page.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

class RecordingSite final : public PropertyPageSite {
public:
    std::vector<QuenArchive*> selectedControls() override { return selection; }
    void setChanged() override { changed = true; }
    void processMessages() override { ++messagePasses; }

    std::vector<QuenArchive*> selection;
    bool changed = false;
    int messagePasses = 0;
};

class PageTest : public testing::Test {
protected:
    PageTest()
    {
        moduleState() = ModuleState{};
        site.selection = {&first, &second};
    }

    test::TestPlatform t;
    HeadlessHost firstHost, secondHost;
    QuenArchive first{firstHost, t.platform};
    QuenArchive second{secondHost, t.platform};
    RecordingSite site;
    ViewPropertiesPage page{site, "/data"};
};

TEST_F(PageTest, LoadingFillsTheBoxesFromTheFirstControl)
{
    const std::string archive = test::testData("control/three-members.zip").string();
    first.LetVisible(true);
    first.LetArchive(Variant(archive));
    first.LetView(Variant("2-List"));
    page.SelectionChanged();
    EXPECT_EQ(page.visibleValue(), ViewPropertiesPage::checked);
    EXPECT_EQ(page.enabledValue(), ViewPropertiesPage::checked);
    EXPECT_EQ(page.archiveText(), toUpper(archive));
    EXPECT_EQ(page.viewIndex(), 2);
    EXPECT_FALSE(page.loading());
    // The boxes started empty, so the loaded values count as edits.
    EXPECT_TRUE(site.changed);
}

TEST_F(PageTest, PositioningTheViewListWhileLoadingIsNoEdit)
{
    first.LetEnabled(false);
    page.SelectionChanged();
    EXPECT_EQ(page.viewIndex(), 3);
    EXPECT_FALSE(site.changed);
    page.setViewIndex(1);
    EXPECT_TRUE(site.changed);
}

TEST_F(PageTest, AViewThatIsNoModeLeavesTheListUnchosenAndUnapplied)
{
    first.LetView(Variant("x"));
    second.LetView(Variant("2"));
    page.SelectionChanged();
    EXPECT_EQ(page.viewIndex(), -1);
    page.ApplyChanges();
    EXPECT_EQ(*second.View().get<std::string>(), "2");
}

TEST_F(PageTest, ApplyingWritesInOrderAndTheViewToEverySelectedControl)
{
    page.SelectionChanged();
    page.setVisibleValue(ViewPropertiesPage::unchecked);
    page.setEnabledValue(ViewPropertiesPage::checked);
    page.setViewIndex(1);
    page.ApplyChanges();
    EXPECT_EQ(firstHost.changedProperties, (std::vector<std::string>{"Visible", "Enabled", "Archive", "View"}));
    EXPECT_EQ(secondHost.changedProperties, std::vector<std::string>{"View"});
    EXPECT_EQ(*second.View().get<std::string>(), "1");
    EXPECT_EQ(second.fileview().view(), ViewMode::SmallIcon);
    EXPECT_EQ(site.messagePasses, 1);
}

TEST_F(PageTest, AMissingArchiveEndsTheApplyBeforeTheView)
{
    page.SelectionChanged();
    page.setArchiveText("/nowhere/missing.zip");
    page.setViewIndex(0);
    try {
        page.ApplyChanges();
        FAIL();
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.number(), 75);
    }
    EXPECT_EQ(*first.View().get<std::string>(), "3");
    EXPECT_EQ(site.messagePasses, 0);
}

TEST_F(PageTest, TheFileBrowserJoinsFolderAndNameWithOneSeparator)
{
    page.chooseDrive("/");
    EXPECT_EQ(page.folder(), "/");
    EXPECT_EQ(page.fileFolder(), "/");
    page.clickFile("ARC1.ARJ");
    EXPECT_EQ(page.archiveText(), "/ARC1.ARJ");
    page.chooseFolder("/data");
    page.clickFile("ARC1.ARJ");
    EXPECT_EQ(page.archiveText(), "/data/ARC1.ARJ");
    EXPECT_TRUE(site.changed);
}

TEST(FilePattern, MatchesTheSixFormatsInAnyLetterCase)
{
    for (const char* name : {"a.zip", "B.ARJ", "c.Cab", "d.rar", "e.lzh", "f.arc"}) EXPECT_TRUE(ViewPropertiesPage::matchesFilePattern(name)) << name;
    for (const char* name : {"a.txt", "zip", "a.zip.bak", "a.lzh "}) EXPECT_FALSE(ViewPropertiesPage::matchesFilePattern(name)) << name;
}

TEST(AboutBox, CentresOnTheScreen)
{
    const BoxPosition position = centredOnScreen(15360, 11520, 4800, 4080);
    EXPECT_EQ(position.left, 5280.0f);
    EXPECT_EQ(position.top, 3720.0f);
    EXPECT_EQ(centredOnScreen(1001, 1000, 0, 0).left, 500.5f);
}

} // namespace
} // namespace quenarch
