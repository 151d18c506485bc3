#pragma once

#include <QDialog>

namespace quenarch::qt {

// The control's About box. There is one per process: created on first use, when it centres
// itself on the screen once (its load step), and hidden, not destroyed, by OK; later showings
// find it where it was left.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    // The shared box, created on first use.
    static AboutDialog& shared();
    // Shows the shared box modally, without an owner window; returns when it is hidden.
    static void showShared();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AboutDialog();
    void centreOnScreen();
    // A length in twips as pixels at this box's resolution.
    int pixelsX(double twips) const;
    int pixelsY(double twips) const;
};

} // namespace quenarch::qt
