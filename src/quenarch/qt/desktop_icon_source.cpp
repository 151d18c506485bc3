#include "quenarch/qt/desktop_icon_source.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace quenarch::qt {
namespace {

constexpr int iconSize = 32;

// How far an image of that size is from 32 x 32; a larger image wins a tie, since reducing
// looks better than enlarging.
int sizeDistance(QSize size)
{
    const int extent = std::max(size.width(), size.height());
    return 2 * std::abs(extent - iconSize) + (extent < iconSize ? 1 : 0);
}

// Moves the reader to the image nearest to 32 x 32 when the file holds several (ICO, ICNS).
void jumpToNearestImage(QImageReader& reader)
{
    const int count = reader.imageCount();
    int nearest = 0;
    int nearestDistance = INT_MAX;
    for (int image = 0; image < count && reader.jumpToImage(image); ++image) {
        const int distance = sizeDistance(reader.size());
        if (distance < nearestDistance) {
            nearest = image;
            nearestDistance = distance;
        }
    }
    reader.jumpToImage(nearest);
}

Picture toPicture(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    auto picture = std::make_shared<Image>(iconSize, iconSize, 0);
    for (int y = 0; y < iconSize; ++y)
        std::memcpy(picture->pixels.data() + static_cast<std::size_t>(y) * iconSize, argb.constScanLine(y), iconSize * sizeof(std::uint32_t));
    return picture;
}

// The image, at most 32 x 32, in the middle of a transparent 32 x 32 square.
QImage centredOnSquare(const QImage& image)
{
    QImage square(iconSize, iconSize, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage((iconSize - image.width()) / 2, (iconSize - image.height()) / 2, image);
    painter.end();
    return square;
}

// The picture in an image file, scaled to 32 x 32 keeping its shape; nothing when the file
// cannot be read.
Picture readIconFile(const QString& path)
{
    QImageReader reader(path);
    if (reader.imageCount() > 1) jumpToNearestImage(reader);
    // Vector images are drawn at the size asked for, others scaled smoothly.
    const QSize natural = reader.size();
    if (natural.isValid()) reader.setScaledSize(natural.scaled(iconSize, iconSize, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return nullptr;
    if (image.size() != QSize(iconSize, iconSize))
        image = centredOnSquare(image.scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return toPicture(image);
}

} // namespace

DesktopIconSource::DesktopIconSource(std::shared_ptr<const freedesktop::IconFileFinder> files) : files_(std::move(files)) {}

DesktopIconSource::~DesktopIconSource() = default;

Picture DesktopIconSource::loadIcon(std::string_view location, std::int32_t index) const
{
    const auto read = [&] {
        const std::filesystem::path file = files_->find(location, index);
        return file.empty() ? nullptr : readIconFile(QString::fromStdString(file.string()));
    };
    if (location.starts_with('/')) return read();

    std::lock_guard lock(mutex_);
    const auto [entry, added] = iconsByName_.try_emplace(std::string(location));
    if (added) entry->second = read();
    return entry->second;
}

} // namespace quenarch::qt
