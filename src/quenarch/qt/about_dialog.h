#pragma once

#include <QDialog>

namespace quenarch::qt {

// The control's About box. There is one per process: created on first use and hidden, not
// destroyed, by OK. Its first showing centres it on the window it is shown over (on the screen
// when there is none); later showings find it where it was left.
//
// The box is laid out at its design size and grows with its texts, so that no line is cut in a
// larger font or a longer translation.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    // The shared box, created on first use.
    static AboutDialog& shared();
    // Shows the shared box modally over the window of over (the active window when null);
    // returns when it is hidden.
    static void showShared(QWidget* over = nullptr);

private:
    AboutDialog();
    void placeOver(const QWidget* window);
    // A length in twips as pixels at this box's resolution.
    int pixelsX(double twips) const;
    int pixelsY(double twips) const;

    bool placed_ = false;
};

} // namespace quenarch::qt
