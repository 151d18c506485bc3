// Every allocation a control call makes is made to fail in turn: the host sees "Out of memory"
// (7) or the call's usual result, never a std::bad_alloc, and the control goes on working.

#include "failing_allocation.h"

#include "quenarch/control/dispatch.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/module_state.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/base/automation_error.h"
#include "support/test_platform.h"

#include <gtest/gtest.h>

#include <functional>

namespace quenarch {
namespace {

using test::testData;

constexpr std::int32_t outOfMemory = 7;

struct Outcome {
    std::int32_t error = 0; // the automation error the call raised, 0 for none
    bool allocationFailed = false;
};

// Runs call once per allocation it makes, that allocation failing, and hands each outcome to
// check; a last run in which nothing fails ends it.
void failEachAllocation(const std::function<void()>& call, const std::function<void(const Outcome&)>& check)
{
    for (long allocationsBefore = 0;; ++allocationsBefore) {
        Outcome outcome;
        {
            test::FailingAllocation failing(allocationsBefore);
            try {
                call();
            } catch (const AutomationError& error) {
                outcome.error = error.number();
            }
            outcome.allocationFailed = failing.happened();
        }
        check(outcome);
        if (!outcome.allocationFailed) return;
    }
}

class OutOfMemoryTest : public testing::Test {
protected:
    OutOfMemoryTest()
    {
        moduleState() = ModuleState{};
        control.ReadProperties(noProperties);
    }

    test::TestPlatform t;
    HeadlessHost host;
    QuenArchive control{host, t.platform};
    MemoryPropertyBag noProperties;
    // Values are made before the allocations start to fail: only the control's own may fail.
    const Variant archive{testData("control/three-members.zip").string()};
};

TEST_F(OutOfMemoryTest, OpeningGivesOutOfMemoryAndAnEmptyList)
{
    int failures = 0;
    failEachAllocation([&] { control.LetArchive(archive); },
                       [&](const Outcome& outcome) {
                           if (outcome.error == outOfMemory) {
                               ++failures;
                               EXPECT_EQ(control.fileview().count(), 0u);
                           } else {
                               // A failure a step may skip (an icon, say) still lists every member.
                               EXPECT_EQ(outcome.error, 0);
                               EXPECT_EQ(control.fileview().count(), 3u);
                           }
                           // The control works on as before.
                           control.LetArchive(archive);
                           EXPECT_EQ(test::rowNames(control.fileview()), "Readme.txt;Main.c;Guide.doc;");
                       });
    EXPECT_GT(failures, 10);
}

TEST_F(OutOfMemoryTest, PropertiesEventsAndDispatchedCallsRaiseOutOfMemory)
{
    control.LetArchive(archive);
    MemoryPropertyBag saved;
    saved.set("View", Variant("2"));
    const FontRef font = std::make_shared<Font>();
    QuenArchiveDispatch dispatch(control);
    const std::vector<Variant> path{archive};
    host.onEvent = [](EventId, std::span<Variant> arguments) { std::vector<Variant> copy(arguments.begin(), arguments.end()); };
    const std::function<void()> calls[] = {
        [&] { control.ReadProperties(saved); },
        [&] {
            MemoryPropertyBag bag;
            control.WriteProperties(bag);
        },
        [&] { control.LetFont(font); },
        [&] { (void)control.filename(); },
        [&] { dispatch.invoke("Archive", InvokePropertyPut, path); },
        [&] { dispatch.invoke("FileComment", InvokeMethod, {}); },
        [&] { control.listItemClick(1); },
        [&] { control.listColumnClick(2); },
    };
    for (const auto& call : calls) {
        failEachAllocation(call, [&](const Outcome& outcome) {
            EXPECT_TRUE(outcome.error == outOfMemory || outcome.error == 0) << outcome.error;
        });
    }
    EXPECT_EQ(*dispatch.invoke("ListCount", InvokeMethod, {}).get<std::int32_t>(), 3);
    EXPECT_EQ(*control.View().get<std::string>(), "2");
}

TEST_F(OutOfMemoryTest, TheCursorAndItemQueriesFallBackInsteadOfRaising)
{
    control.LetArchive(archive);
    const std::function<std::string()> queries[] = {
        [&] { return std::to_string(control.MoveLast()); },
        [&] { return std::to_string(control.MovePrevious()); },
        [&] { return control.ItemFileName(); },
        [&] { return control.ItemFileType(); },
        [&] { return control.ItemUnCompressed(); },
        [&] { return control.ItemCRC(); },
        [&] { return std::to_string(control.ItemDate()); },
    };
    for (const auto& query : queries) {
        moduleState().CurrentRow = 2;
        const std::string expected = query();
        std::string result;
        failEachAllocation(
            [&] {
                moduleState().CurrentRow = 2;
                result = query();
            },
            [&](const Outcome& outcome) {
                EXPECT_EQ(outcome.error, 0);
                if (!outcome.allocationFailed) {
                    EXPECT_EQ(result, expected);
                }
            });
    }
}

} // namespace
} // namespace quenarch
