#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/dialogs/about_box.h"
#include "quenarch/dialogs/view_properties_page.h"
#include "quenarch/base/automation_error.h"
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

// Loading, applying in order, a missing archive and the file browser are worked through the
// dialog in the Qt layer's tests; these are what the dialog cannot show.
TEST_F(PageTest, AViewThatIsNoModeLeavesTheListUnchosenAndUnapplied)
{
    first.LetView(Variant("x"));
    second.LetView(Variant("2"));
    page.SelectionChanged();
    EXPECT_EQ(page.viewIndex(), -1);
    page.ApplyChanges();
    EXPECT_EQ(*second.View().get<std::string>(), "2");
    EXPECT_EQ(site.messagePasses, 1);
}

TEST_F(PageTest, AMissingArchiveEndsTheApplyBeforeTheMessagesAreProcessed)
{
    page.SelectionChanged();
    page.setArchiveText("/nowhere/missing.zip");
    EXPECT_THROW(page.ApplyChanges(), AutomationError);
    EXPECT_EQ(site.messagePasses, 0);
}

// At the root the folder already ends in the separator.
TEST_F(PageTest, TheFileBrowserJoinsFolderAndNameWithOneSeparator)
{
    page.chooseDrive("/");
    page.clickFile("ARC1.ARJ");
    EXPECT_EQ(page.archiveText(), "/ARC1.ARJ");
    page.chooseFolder("/data");
    page.clickFile("ARC1.ARJ");
    EXPECT_EQ(page.archiveText(), "/data/ARC1.ARJ");
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
