#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

using test::testData;

// A host that scales positions like a container in pixels at 15 twips per pixel, and notes what
// a handler saw while each event was being raised.
class ScalingHost final : public Host {
public:
    void propertyChanged(std::string_view) override {}
    void raiseEvent(EventId id, std::span<Variant> arguments) override
    {
        events.push_back(id);
        if (onEvent) onEvent(id, arguments);
    }
    float scaleX(float twips) const override { return twips / 15; }
    float scaleY(float twips) const override { return twips / 15 + 100; }
    void processMessages() override {}
    bool enabled() const override { return true; }
    void setEnabled(bool) override {}
    std::int32_t scaleWidth() const override { return 4965; }
    std::int32_t scaleHeight() const override { return 3060; }
    void setFocusToList() override {}
    void showAbout() override {}

    std::function<void(EventId, std::span<Variant>)> onEvent;
    std::vector<EventId> events;
};

class EventsTest : public testing::Test {
protected:
    EventsTest()
    {
        moduleState() = ModuleState{};
        control.ReadProperties(noProperties);
        control.LetArchive(Variant(testData("control/three-members.zip").string()));
    }

    std::string names() const
    {
        std::string out;
        for (std::size_t i = 1; i <= control.fileview().count(); ++i) out += control.fileview().row(i).text(NameColumn) + " ";
        return out;
    }

    test::TestPlatform t;
    ScalingHost host;
    QuenArchive control{host, t.platform};
    MemoryPropertyBag noProperties;
};

// The fields themselves, the current row and the pictures inside the handler are checked through
// the widget; a host that writes to the by-reference fields changes no row.
TEST_F(EventsTest, ItemClickMakesTheRowCurrentAndKeepsItWhateverTheHostWrites)
{
    std::string nameSeenInHandler;
    host.onEvent = [&](EventId id, std::span<Variant> arguments) {
        if (id != EventId::ItemClick) return;
        EXPECT_EQ(*arguments[0].get<std::int16_t>(), 3);
        nameSeenInHandler = control.ItemFileName();
        arguments[1] = Variant("changed by the host");
    };
    control.listItemClick(3);
    EXPECT_EQ(nameSeenInHandler, "Guide.doc");
    EXPECT_EQ(moduleState().CurrentRow, 3);
    EXPECT_EQ(control.fileview().row(3).text(NameColumn), "Guide.doc");
}

TEST_F(EventsTest, ClickRaisesBeforeThePictureFollowsTheCurrentRow)
{
    EXPECT_EQ(control.MoveFirst(), 0);
    control.Clear();
    quenarch::Picture seen;
    host.onEvent = [&](EventId id, std::span<Variant>) {
        if (id == EventId::Click) seen = control.Picture();
    };
    const quenarch::Picture before = control.Picture();
    control.listClick();
    EXPECT_EQ(seen, before);
    EXPECT_EQ(control.Picture(), before); // row 1 is gone: the picture stays

    moduleState().CurrentRow = 0;
    control.LetArchive(Variant(testData("control/three-members.zip").string()));
    control.listClick();
    EXPECT_EQ(control.Picture(), before);
    EXPECT_EQ(host.events, (std::vector<EventId>{EventId::Click, EventId::Click}));
}

TEST_F(EventsTest, DoubleClickRaisesItsEventAndChangesNothing)
{
    control.listDblClick();
    EXPECT_EQ(host.events, std::vector<EventId>{EventId::DblClick});
    EXPECT_EQ(moduleState().CurrentRow, 0);
    EXPECT_FALSE(control.Picture());
}

TEST_F(EventsTest, MouseEventsConvertPositionsAndPassButtonsByReference)
{
    std::vector<Variant> received;
    host.onEvent = [&](EventId, std::span<Variant> arguments) {
        received.assign(arguments.begin(), arguments.end());
        arguments[0] = Variant(std::int16_t{7});
    };
    std::int16_t button = 1;
    std::int16_t shift = 2;
    control.listMouseDown(button, shift, 150, 300);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(*received[0].get<std::int16_t>(), 1);
    EXPECT_EQ(*received[1].get<std::int16_t>(), 2);
    EXPECT_EQ(*received[2].get<float>(), 10.0f);
    EXPECT_EQ(*received[3].get<float>(), 120.0f);
    EXPECT_EQ(button, 7);
    control.listMouseMove(button, shift, 0, 0);
    control.listMouseUp(button, shift, 0, 0);
    EXPECT_EQ(host.events, (std::vector<EventId>{EventId::MouseDown, EventId::MouseMove, EventId::MouseUp}));
}

TEST_F(EventsTest, HeaderClicksSortByValueAndAlternateDirection)
{
    std::string orderSeen;
    host.onEvent = [&](EventId id, std::span<Variant> arguments) {
        if (id == EventId::ColumnClick) orderSeen = names() + "/" + std::to_string(*arguments[0].get<std::int16_t>());
    };
    control.listColumnClick(2); // Size: first click sorts descending
    EXPECT_EQ(orderSeen, "Guide.doc Main.c Readme.txt /2");
    control.listColumnClick(2);
    EXPECT_EQ(names(), "Readme.txt Main.c Guide.doc ");
    control.listColumnClick(1); // another header goes on alternating
    EXPECT_EQ(names(), "Readme.txt Main.c Guide.doc ");
    EXPECT_EQ(control.fileview().sortKey(), 0);
    EXPECT_EQ(control.fileview().sortOrder(), 1);
    // A new archive is shown under the last key and direction.
    control.LetArchive(Variant(testData("control/three-members.zip").string()));
    EXPECT_EQ(names(), "Readme.txt Main.c Guide.doc ");
}

TEST_F(EventsTest, RowsBeyondTheEventsRangeStayReachable)
{
    for (int i = 0; i < 40000; ++i) control.fileview().setText(control.fileview().add(), "row " + std::to_string(i));
    std::int16_t row = 0;
    host.onEvent = [&](EventId id, std::span<Variant> arguments) {
        if (id == EventId::ItemClick) row = *arguments[0].get<std::int16_t>();
    };
    control.listItemClick(40003);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(moduleState().CurrentRow, 40003);
    EXPECT_EQ(control.ItemFileName(), "row 39999");
}

} // namespace
} // namespace quenarch
