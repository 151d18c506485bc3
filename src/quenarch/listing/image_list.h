#pragma once

#include "quenarch/base/image.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quenarch {

struct ListImage {
    std::string key;
    Picture picture;
};

// Keyed pictures in order of addition. Keys are unique and match without regard to letter case.
// A list with a fixed image size stores every picture at that size.
class ImageList {
public:
    explicit ImageList(int imageWidth = 0, int imageHeight = 0) : width_(imageWidth), height_(imageHeight) {}

    // Appends a picture under a key; a key already present raises "Key is not unique in collection".
    void add(std::string key, Picture picture);
    void clear();

    std::size_t count() const { return images_.size(); }
    // 1-based, as hosts count; raises "Index out of bounds" outside 1..count.
    const ListImage& item(std::size_t index) const;
    const std::vector<ListImage>& images() const { return images_; }
    // Nothing when no image has the key.
    const ListImage* find(std::string_view key) const;
    // The picture under a key; raises "Element not found" when there is none.
    const Picture& picture(std::string_view key) const;
    // The picture with the mask colour made transparent, as an icon is drawn.
    Picture extractIcon(std::size_t index) const;

    int imageWidth() const { return width_; }
    int imageHeight() const { return height_; }
    std::uint32_t maskColor() const { return maskColor_; }
    bool useMaskColor() const { return useMaskColor_; }

    // Counts every change, so views can tell whether the pictures they drew are current.
    std::uint64_t revision() const { return revision_; }

private:
    int width_;
    int height_;
    std::uint32_t maskColor_ = 0xC0C0C0;
    bool useMaskColor_ = true;
    std::vector<ListImage> images_;
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> byKey_; // folded key -> position
    std::uint64_t revision_ = 0;
};

} // namespace quenarch
