#include "quenarch/qt/about_dialog.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

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

// Lays out what has changed: each layout asks the one around it in turn.
void layOut()
{
    for (int level = 0; level < 3; ++level) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Every text of the box is drawn whole: its label is as wide as the text and lies inside the box.
void expectEveryTextWhole(const AboutDialog& box, const char* what)
{
    const QList<QLabel*> labels = box.findChildren<QLabel*>();
    int texts = 0;
    for (const QLabel* label : labels) {
        if (label->text().isEmpty()) continue;
        ++texts;
        const QRect inBox(label->mapTo(&box, QPoint(0, 0)), label->size());
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << what << ": " << label->text().toStdString();
        EXPECT_TRUE(box.rect().contains(inBox)) << what << ": " << label->text().toStdString();
    }
    EXPECT_EQ(texts, 8) << what;
}

TEST(AboutDialogTest, IsOneBoxCentredOnItsWindowOnceAndHiddenByOk)
{
    QWidget window;
    window.setGeometry(60, 40, 900, 640);
    auto* button = new QPushButton(QStringLiteral("About"), &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    AboutDialog& box = AboutDialog::shared();
    EXPECT_TRUE(box.isModal() && !box.parentWidget());
    EXPECT_EQ(box.windowTitle(), "About Quen Zip Archive Control");

    // First showing, over a widget of the window: modal until OK, centred on that window.
    const QRect first = showAboutAndPressOk([&] { AboutDialog::showShared(button); });
    EXPECT_LE((first.center() - window.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(box.windowHandle()->transientParent(), window.windowHandle());

    // Moved, the same box shows where it was left: the centring ran once.
    const QPoint movedTo = first.topLeft() + QPoint(25, 15);
    box.move(movedTo);
    window.move(200, 100);
    EXPECT_EQ(showAboutAndPressOk([&] { AboutDialog::showShared(&window); }).topLeft(), movedTo);
    EXPECT_EQ(&box, &AboutDialog::shared());
}

// The box keeps at least its design size (4680 x 3585 twips) and grows with its texts, in a
// larger font and in a longer translation.
TEST(AboutDialogTest, GrowsWithItsTexts)
{
    AboutDialog& box = AboutDialog::shared();
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const double dpiX = box.logicalDpiX(), dpiY = box.logicalDpiY();
    EXPECT_GE(box.width(), qRound(4680 * dpiX / 1440));
    EXPECT_GE(box.height(), qRound(3585 * dpiY / 1440));
    expectEveryTextWhole(box, "the desktop's font");

    box.setFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    layOut();
    expectEveryTextWhole(box, "a large font");

    box.findChild<QLabel*>(QStringLiteral("publisher2"))->setText(QStringLiteral("Listet Archive der Formate ZIP, ARJ, LZH, ARC, RAR und CAB auf"));
    layOut();
    expectEveryTextWhole(box, "a longer translation");
    box.hide();
}

} // namespace
} // namespace quenarch::qt
