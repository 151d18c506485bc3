#include "quenarch/qt/about_dialog.h"

#include "quenarch/dialogs/about_box.h"
#include "quenarch/listing/builtin_pictures.h"
#include "quenarch/qt/conversions.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace quenarch::qt {
namespace {

AboutDialog* sharedBox = nullptr;

// The built-in bitmaps paint their background in the image lists' mask colour.
constexpr std::uint32_t maskColor = 0xC0C0C0;

QPixmap builtinPixmap(const Picture& picture) { return pixmapFromPicture(maskedPicture(*picture, maskColor)); }

QString text(std::string_view line) { return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())); }

// The box's design, in twips: its client area, and where its parts start and end.
constexpr int leftMargin = 120;     // the icon's left edge
constexpr int topMargin = 240;      // the icon's and the title's top edge
constexpr int rightMargin = 120;    // right of the longest text
constexpr int bottomMargin = 210;   // below the button row
constexpr int iconSide = 480;
constexpr int textLeft = 840;       // the left edge of every text line
constexpr int separatorLeft = 240;
constexpr int separatorRight = 4320;
constexpr int pictureSide = 615;
constexpr int okLeft = 1440;
constexpr int okWidth = 1935;
constexpr int rightPictureLeft = 3720;
// Gaps between the rows, top to bottom: title lines, separator, publisher's lines, separator, buttons.
constexpr int gapAboveSeparator = 120;
constexpr int gapBelowSeparator = 105;
constexpr int etchOffset = 15;

// An etched separator: a dark grey line with a white one 15 twips below it.
class EtchedLine final : public QWidget {
public:
    EtchedLine(int offset, QWidget* parent) : QWidget(parent), offset_(offset)
    {
        setFixedHeight(offset_ + 1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.setPen(Qt::white);
        painter.drawLine(0, offset_, width() - 1, offset_);
    }

private:
    int offset_;
};

} // namespace

AboutDialog& AboutDialog::shared()
{
    if (sharedBox == nullptr) {
        sharedBox = new AboutDialog;
        // Widgets must go before the application does; a static's destructor would be too late.
        qAddPostRoutine([] {
            delete sharedBox;
            sharedBox = nullptr;
        });
    }
    return *sharedBox;
}

void AboutDialog::showShared(QWidget* over)
{
    AboutDialog& box = shared();
    if (box.isVisible()) {
        box.raise();
        return;
    }
    const QWidget* window = over != nullptr ? over->window() : QApplication::activeWindow();
    if (window == &box) window = nullptr;
    // The window manager keeps the box above the window it belongs to.
    box.winId();
    box.windowHandle()->setTransientParent(window != nullptr ? window->windowHandle() : nullptr);
    if (!box.placed_) {
        box.placeOver(window);
        box.placed_ = true;
    }
    box.exec();
}

AboutDialog::AboutDialog() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(text(AboutBoxContent::caption));
    const BuiltinPictures& pictures = BuiltinPictures::instance();
    setWindowIcon(QIcon(builtinPixmap(pictures.pixdefault)));
    setModal(true);

    // The box takes the size its parts need, and at least its design size.
    auto* content = new QWidget(this);
    content->setMinimumSize(pixelsX(AboutBoxContent::clientWidth), pixelsY(AboutBoxContent::clientHeight));
    auto* box = new QVBoxLayout(this);
    box->setSizeConstraint(QLayout::SetFixedSize);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);

    const auto picture = [&](const Picture& shown, int side) {
        auto* holder = new QLabel(content);
        holder->setPixmap(builtinPixmap(shown));
        holder->setAlignment(Qt::AlignCenter);
        holder->setFixedSize(pixelsX(side), pixelsY(side));
        return holder;
    };
    const auto line = [&](std::string_view shown, const QString& name) {
        auto* label = new QLabel(text(shown), content);
        label->setObjectName(name);
        return label;
    };
    const auto separator = [&] {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(pixelsX(separatorLeft - leftMargin), 0, pixelsX(AboutBoxContent::clientWidth - rightMargin - separatorRight), 0);
        row->addWidget(new EtchedLine(std::max(1, pixelsY(etchOffset)), content));
        return row;
    };

    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(pixelsX(leftMargin), pixelsY(topMargin), pixelsX(rightMargin), pixelsY(bottomMargin));
    rows->setSpacing(0);

    auto* head = new QHBoxLayout;
    head->setSpacing(pixelsX(textLeft - leftMargin - iconSide));
    head->addWidget(picture(pictures.defaultIcon, iconSide), 0, Qt::AlignTop);
    auto* titleLines = new QVBoxLayout;
    titleLines->setSpacing(0);
    titleLines->addWidget(line(AboutBoxContent::title, QStringLiteral("title")));
    titleLines->addWidget(line(AboutBoxContent::hostLine, QStringLiteral("host")));
    titleLines->addStretch(1);
    head->addLayout(titleLines, 1);
    rows->addLayout(head);

    rows->addSpacing(pixelsY(gapAboveSeparator));
    rows->addLayout(separator());
    rows->addSpacing(pixelsY(gapBelowSeparator));
    for (std::size_t i = 0; i < AboutBoxContent::publisherLines.size(); ++i) {
        auto* indented = new QHBoxLayout;
        indented->setContentsMargins(pixelsX(textLeft - leftMargin), 0, 0, 0);
        indented->addWidget(line(AboutBoxContent::publisherLines[i], QStringLiteral("publisher%1").arg(i + 1)));
        rows->addLayout(indented);
    }
    // Room the texts do not take goes here, above the lower separator.
    rows->addStretch(1);
    rows->addSpacing(pixelsY(gapAboveSeparator));
    rows->addLayout(separator());
    rows->addSpacing(pixelsY(gapBelowSeparator));

    auto* ok = new QPushButton(tr("OK"), content);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setMinimumSize(pixelsX(okWidth), pixelsY(pictureSide));
    // OK hides the box; it lives on for the next showing.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(pixelsX(separatorLeft - leftMargin), 0, 0, 0);
    buttons->setSpacing(0);
    buttons->addWidget(picture(pictures.pctlmapclosed_256, pictureSide));
    buttons->addSpacing(pixelsX(okLeft - separatorLeft - pictureSide));
    buttons->addWidget(ok);
    buttons->addSpacing(pixelsX(rightPictureLeft - okLeft - okWidth));
    buttons->addStretch(1);
    buttons->addWidget(picture(pictures.defaultIcon, pictureSide));
    rows->addLayout(buttons);
}

// Centres the box on the window, or on the screen when there is none, as the box's load step
// does: half the difference of the outer sizes in twips, in single precision.
void AboutDialog::placeOver(const QWidget* window)
{
    const QScreen* screen = window != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    adjustSize();
    const QRect area = window != nullptr ? window->frameGeometry() : screen->geometry();
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    // Before its first showing the box has no window frame yet: its outer size is its own.
    const QSize outer = frameGeometry().size();
    const BoxPosition position =
        centredOnScreen(static_cast<float>(twipsFromPixels(area.width(), dpiX)), static_cast<float>(twipsFromPixels(area.height(), dpiY)),
                        static_cast<float>(twipsFromPixels(outer.width(), dpiX)), static_cast<float>(twipsFromPixels(outer.height(), dpiY)));
    QPoint topLeft(area.x() + qRound(pixelsFromTwips(position.left, dpiX)), area.y() + qRound(pixelsFromTwips(position.top, dpiY)));
    // A box over a window near the screen's edge stays on the screen.
    const QRect available = screen->availableGeometry();
    topLeft.setX(std::clamp(topLeft.x(), available.left(), std::max(available.left(), available.right() + 1 - outer.width())));
    topLeft.setY(std::clamp(topLeft.y(), available.top(), std::max(available.top(), available.bottom() + 1 - outer.height())));
    move(topLeft);
}

int AboutDialog::pixelsX(double twips) const { return qRound(pixelsFromTwips(twips, logicalDpiX())); }

int AboutDialog::pixelsY(double twips) const { return qRound(pixelsFromTwips(twips, logicalDpiY())); }

} // namespace quenarch::qt
