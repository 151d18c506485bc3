#pragma once

#include "qt/property_page_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace quenarch::qt {

// Works the property page dialog as a user does: keys and clicks on its boxes and buttons,
// which it finds by their names.
struct PropertyPageDriver {
    PropertyPageDialog& dialog;

    template <typename Widget = QWidget>
    Widget* child(const char* name) const
    {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(QDialogButtonBox::StandardButton which) const { return dialog.findChild<QDialogButtonBox*>()->button(which); }
    // The error message box, when one is on show.
    QMessageBox* error() const
    {
        auto* box = dialog.findChild<QMessageBox*>();
        return box && box->isVisible() ? box : nullptr;
    }

    // The space bar clicks a check box wherever its text ends.
    void toggle(const char* checkBox) const { QTest::keyClick(child<QCheckBox>(checkBox), Qt::Key_Space); }
    void chooseView(int index) const
    {
        auto* views = child<QComboBox>("cmbview");
        QTest::keyClick(views, Qt::Key_Home);
        for (int step = 0; step < index; ++step) QTest::keyClick(views, Qt::Key_Down);
    }
    // Replaces the archive text by typing.
    void typeArchive(const QString& text) const
    {
        auto* box = child<QLineEdit>("txtarchive");
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    void press(QDialogButtonBox::StandardButton which) const { QTest::mouseClick(button(which), Qt::LeftButton); }
};

} // namespace quenarch::qt
