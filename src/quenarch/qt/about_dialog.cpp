#include "quenarch/qt/about_dialog.h"

#include "quenarch/dialogs/about_box.h"
#include "quenarch/listing/builtin_pictures.h"
#include "quenarch/qt/conversions.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>

namespace quenarch::qt {
namespace {

AboutDialog* sharedBox = nullptr;

// The built-in bitmaps paint their background in the image lists' mask colour.
constexpr std::uint32_t maskColor = 0xC0C0C0;

QPixmap builtinPixmap(const Picture& picture) { return pixmapFromPicture(maskedPicture(*picture, maskColor)); }

QString text(std::string_view line) { return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())); }

// Where the box's parts stand, in twips: left, top, width, height.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

constexpr TwipsRect iconArea{120, 240, 480, 480};
constexpr TwipsRect titleArea{840, 240, 2655, 255};
constexpr TwipsRect hostArea{840, 480, 3615, 255};
// The publisher's lines, top to bottom.
constexpr std::array<TwipsRect, 6> publisherAreas{{
    {840, 960, 3615, 255},
    {840, 1200, 2175, 255},
    {840, 1440, 1215, 255},
    {840, 1680, 2175, 255},
    {840, 1920, 2175, 255},
    {840, 2160, 2175, 255},
}};
constexpr TwipsRect leftPictureArea{240, 2760, 615, 615};
constexpr TwipsRect okArea{1440, 2760, 1935, 615};
constexpr TwipsRect rightPictureArea{3720, 2760, 615, 615};
// Texts run to this right margin rather than stopping at their design width, so none is cut.
constexpr int textRightMargin = 4560;

// The two etched separators: a dark grey line with a white one 15 twips below it.
struct Separator {
    int left;
    int top;
    int right;
};
constexpr std::array<Separator, 2> separators{{{240, 840, 4320}, {240, 2520, 4320}}};
constexpr int etchOffset = 15;

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

void AboutDialog::showShared()
{
    AboutDialog& box = shared();
    if (box.isVisible()) {
        box.raise();
        return;
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
    setFixedSize(pixelsX(AboutBoxContent::clientWidth), pixelsY(AboutBoxContent::clientHeight));

    const int lineHeight = fontMetrics().height();
    const auto place = [&](QWidget* part, const TwipsRect& area, bool isText) {
        const int right = isText ? std::max(area.left + area.width, textRightMargin) : area.left + area.width;
        const int height = isText ? std::max(pixelsY(area.height), lineHeight) : pixelsY(area.height);
        part->setGeometry(pixelsX(area.left), pixelsY(area.top), pixelsX(right) - pixelsX(area.left), height);
    };
    const auto addPicture = [&](const Picture& picture, const TwipsRect& area) {
        auto* holder = new QLabel(this);
        holder->setPixmap(builtinPixmap(picture));
        holder->setAlignment(Qt::AlignCenter);
        place(holder, area, false);
    };
    const auto addText = [&](std::string_view line, const TwipsRect& area, const QString& name) {
        auto* label = new QLabel(text(line), this);
        label->setObjectName(name);
        place(label, area, true);
    };

    addPicture(pictures.defaultIcon, iconArea);
    addText(AboutBoxContent::title, titleArea, QStringLiteral("title"));
    addText(AboutBoxContent::hostLine, hostArea, QStringLiteral("host"));
    for (std::size_t i = 0; i < publisherAreas.size(); ++i)
        addText(AboutBoxContent::publisherLines[i], publisherAreas[i], QStringLiteral("publisher%1").arg(i + 1));
    addPicture(pictures.pctlmapclosed_256, leftPictureArea);
    addPicture(pictures.defaultIcon, rightPictureArea);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    place(ok, okArea, false);
    // OK hides the box; it lives on for the next showing.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    centreOnScreen();
}

void AboutDialog::centreOnScreen()
{
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    // Before its first showing the box has no window frame yet: its outer size is its own.
    const QSize outer = frameGeometry().size();
    const BoxPosition position =
        centredOnScreen(static_cast<float>(twipsFromPixels(area.width(), dpiX)), static_cast<float>(twipsFromPixels(area.height(), dpiY)),
                        static_cast<float>(twipsFromPixels(outer.width(), dpiX)), static_cast<float>(twipsFromPixels(outer.height(), dpiY)));
    move(area.x() + qRound(pixelsFromTwips(position.left, dpiX)), area.y() + qRound(pixelsFromTwips(position.top, dpiY)));
}

void AboutDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    for (const Separator& line : separators) {
        const int darkY = pixelsY(line.top);
        // At low resolutions 15 twips round to no pixel at all; the white line still shows.
        const int whiteY = std::max(darkY + 1, pixelsY(line.top + etchOffset));
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawLine(pixelsX(line.left), darkY, pixelsX(line.right), darkY);
        painter.setPen(Qt::white);
        painter.drawLine(pixelsX(line.left), whiteY, pixelsX(line.right), whiteY);
    }
}

int AboutDialog::pixelsX(double twips) const { return qRound(pixelsFromTwips(twips, logicalDpiX())); }

int AboutDialog::pixelsY(double twips) const { return qRound(pixelsFromTwips(twips, logicalDpiY())); }

} // namespace quenarch::qt
