#include "quenarch/listing/image_list.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/text_case.h"

#include <algorithm>

namespace quenarch {

void ImageList::add(std::string key, Picture picture)
{
    std::string folded = foldCase(key);
    if (byKey_.contains(folded)) throw AutomationError(35602, runtimeErrorSource, "Key is not unique in collection");
    if (width_ != 0 && height_ != 0 && picture && (picture->width != width_ || picture->height != height_))
        picture = resizedPicture(*picture, width_, height_);
    byKey_.emplace(std::move(folded), images_.size());
    images_.push_back({std::move(key), std::move(picture)});
    ++revision_;
}

void ImageList::clear()
{
    images_.clear();
    byKey_.clear();
    ++revision_;
}

const ListImage& ImageList::item(std::size_t index) const
{
    if (index < 1 || index > images_.size()) throw errors::indexOutOfBounds();
    return images_[index - 1];
}

const ListImage* ImageList::find(std::string_view key) const
{
    // Keys are nearly always lower-case ASCII already, which needs no folding.
    const bool folded = std::none_of(key.begin(), key.end(), [](char c) { return (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80; });
    auto found = folded ? byKey_.find(key) : byKey_.find(foldCase(key));
    return found == byKey_.end() ? nullptr : &images_[found->second];
}

const Picture& ImageList::picture(std::string_view key) const
{
    const ListImage* image = find(key);
    if (image == nullptr) throw errors::elementNotFound();
    return image->picture;
}

Picture ImageList::extractIcon(std::size_t index) const
{
    const ListImage& image = item(index);
    if (!image.picture) return nullptr;
    return useMaskColor_ ? maskedPicture(*image.picture, maskColor_) : image.picture;
}

} // namespace quenarch
