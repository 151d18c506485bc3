#include "quenarch/qt/about_dialog.h"

#include "quenarch/qt/quen_archive_widget.h"
#include "support/test_platform.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>

namespace quenarch::qt {
namespace {

// Shows the About box as the action given does and presses OK once it is on show; returns where
// it stood then.
template <typename Show>
QRect showAboutAndPressOk(Show show)
{
    QRect shownAt;
    QObject guard; // a box that never shows leaves no timer behind
    QTimer::singleShot(0, &guard, [&] {
        AboutDialog& box = AboutDialog::shared();
        if (box.isVisible()) shownAt = box.frameGeometry();
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    show();
    EXPECT_FALSE(AboutDialog::shared().isVisible());
    return shownAt;
}

TEST(AboutDialogTest, IsOneBoxCentredOnItsWindowOnceAndHiddenByOk)
{
    QWidget window, other;
    window.setGeometry(60, 40, 900, 640);
    test::TestPlatform t;
    auto* control = new QuenArchiveWidget(t.platform, &window);
    control->setGeometry(500, 300, 300, 200);
    window.show();
    other.setGeometry(700, 500, 200, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window) && QTest::qWaitForWindowExposed(&other));
    QApplication::setActiveWindow(&other);
    AboutDialog& box = AboutDialog::shared();
    EXPECT_TRUE(box.isModal() && !box.parentWidget());
    EXPECT_EQ(box.windowTitle(), "About Quen Zip Archive Control");

    // First showing, from the control: modal until OK, centred on the control's window, not on
    // the active one.
    const QRect first = showAboutAndPressOk([&] { control->showAbout(); });
    EXPECT_LE((first.center() - window.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(box.windowHandle()->transientParent(), window.windowHandle());

    // Moved, the same box shows where it was left: the centring ran once.
    const QPoint movedTo = first.topLeft() + QPoint(25, 15);
    box.move(movedTo);
    window.move(200, 100);
    EXPECT_EQ(showAboutAndPressOk([&] { AboutDialog::showShared(&window); }).topLeft(), movedTo);
    EXPECT_EQ(&box, &AboutDialog::shared());
}

// The box keeps at least its design size (4680 x 3585 twips) and grows with its texts: each
// label is as wide as its text and lies inside the box, in the desktop's font, in a larger one
// and in a longer translation.
TEST(AboutDialogTest, GrowsWithItsTexts)
{
    AboutDialog& box = AboutDialog::shared();
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.size().expandedTo(QSize(qRound(4680 * box.logicalDpiX() / 1440.0), qRound(3585 * box.logicalDpiY() / 1440.0))), box.size());
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"the desktop's font", [] {}},
        {"a large font", [&] { box.setFont(QFont(QStringLiteral("DejaVu Sans"), 20)); }},
        {"a longer translation",
         [&] { box.findChild<QLabel*>(QStringLiteral("publisher2"))->setText(QStringLiteral("Listet Archive der Formate ZIP, ARJ, LZH, ARC, RAR und CAB auf")); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        // Each layout asks the one around it in turn.
        for (int level = 0; level < 3; ++level) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        int texts = 0;
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            ++texts;
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << what << ": " << label->text().toStdString();
            EXPECT_TRUE(box.rect().contains(QRect(label->mapTo(&box, QPoint(0, 0)), label->size()))) << what << ": " << label->text().toStdString();
        }
        EXPECT_EQ(texts, 8) << what;
    }
    box.hide();
}

} // namespace
} // namespace quenarch::qt
