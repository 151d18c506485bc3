#include "qt/about_dialog.h"

#include "designer/about_box.h"
#include "qt/quen_archive_widget.h"
#include "support/test_platform.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

// Presses OK once the shared box is on show, noting where it stood then.
void pressOkWhenShown(QPoint& shownAt)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &shownAt] {
        AboutDialog& box = AboutDialog::shared();
        if (!box.isVisible()) return;
        shownAt = box.pos();
        poll->stop();
        poll->deleteLater();
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    poll->start(10);
}

TEST(AboutDialogTest, OneBoxCentredOnceAndHiddenByOk)
{
    AboutDialog& box = AboutDialog::shared();
    EXPECT_EQ(&box, &AboutDialog::shared());
    EXPECT_EQ(box.parentWidget(), nullptr);
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(box.windowTitle(), "About Quen Zip Archive Control");
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("title"))->text().toStdString(), AboutBoxContent::title);
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("host"))->text().toStdString(), AboutBoxContent::hostLine);
    EXPECT_EQ(box.size(), QSize(qRound(4680 * box.logicalDpiX() / 1440.0), qRound(3585 * box.logicalDpiY() / 1440.0)));

    const QRect screen = box.screen()->geometry();
    const QPoint centred(screen.x() + (screen.width() - box.frameGeometry().width()) / 2,
                         screen.y() + (screen.height() - box.frameGeometry().height()) / 2);
    EXPECT_LE((box.pos() - centred).manhattanLength(), 2);

    // First showing, through a control: modal until OK, at the centred place.
    test::TestPlatform t;
    QuenArchiveWidget widget(t.platform);
    QPoint firstShownAt;
    pressOkWhenShown(firstShownAt);
    widget.showAbout();
    EXPECT_FALSE(box.isVisible());
    EXPECT_LE((firstShownAt - centred).manhattanLength(), 2);

    // Moved away, the same box shows where it was left: the centring ran once, at creation.
    const QPoint movedTo = firstShownAt + QPoint(25, 15);
    box.move(movedTo);
    QPoint secondShownAt;
    pressOkWhenShown(secondShownAt);
    AboutDialog::showShared();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(secondShownAt, movedTo);
    EXPECT_EQ(&box, &AboutDialog::shared());
}

} // namespace
} // namespace quenarch::qt
