#include "quenarch/freedesktop/icon_theme_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace quenarch::freedesktop {
namespace {

// The layout of the cache, all numbers big-endian.
constexpr std::size_t hashOffsetAt = 4, directoryListOffsetAt = 8;
constexpr std::size_t iconChainAt = 0, iconNameAt = 4, iconImagesAt = 8, imageSize = 8;

// When a file was last changed, in milliseconds as Qt compares the times; -1 when it cannot be
// read. A relative path is taken from the folder open as folder.
std::int64_t changedAt(const char* path, int folder = AT_FDCWD)
{
    struct stat status {};
    if (::fstatat(folder, path, &status, 0) != 0) return -1;
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
}

// The hash of GTK's icon cache over the bytes of a name, taken as signed characters.
std::uint32_t nameHash(const std::string& name)
{
    if (name.empty()) return 0;
    std::uint32_t hash = static_cast<std::uint32_t>(static_cast<signed char>(name[0]));
    for (std::size_t i = 1; i < name.size(); ++i) hash = (hash << 5) - hash + static_cast<std::uint32_t>(static_cast<signed char>(name[i]));
    return hash;
}

} // namespace

std::unique_ptr<IconThemeCache> IconThemeCache::open(const std::filesystem::path& themeFolder)
{
    const std::filesystem::path file = themeFolder / "icon-theme.cache";
    const std::int64_t written = changedAt(file.c_str());
    if (written < 0 || written < changedAt(themeFolder.c_str())) return nullptr;
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status {};
    void* mapped = MAP_FAILED;
    if (::fstat(descriptor, &status) == 0 && status.st_size >= 12)
        mapped = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, descriptor, 0);
    ::close(descriptor);
    if (mapped == MAP_FAILED) return nullptr;
    std::unique_ptr<IconThemeCache> cache(new IconThemeCache(static_cast<const unsigned char*>(mapped), static_cast<std::size_t>(status.st_size)));
    if (cache->read16(0) != 1) return nullptr;

    const std::uint32_t directoryList = cache->read32(directoryListOffsetAt);
    const std::uint32_t directories = cache->read32(directoryList);
    // The directories are looked up from the theme folder, not each from the root.
    const int folder = ::open(themeFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return nullptr;
    bool current = true;
    std::string directoryPath;
    for (std::uint32_t i = 0; current && i < directories && i < 0xFFFF; ++i) {
        const std::string_view directory = cache->textAt(cache->read32(directoryList + 4 + 4 * std::size_t{i}));
        directoryPath.assign(directory);
        current = !directory.empty() && written >= changedAt(directoryPath.c_str(), folder);
        cache->directoryIndex_.try_emplace(directory, static_cast<std::uint16_t>(i));
    }
    ::close(folder);
    if (!current) return nullptr;
    return cache;
}

IconThemeCache::IconThemeCache(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

IconThemeCache::~IconThemeCache() { ::munmap(const_cast<unsigned char*>(data_), size_); }

// Reads past the end give 0, which ends every walk of the cache.
std::uint16_t IconThemeCache::read16(std::size_t offset) const
{
    if (offset > size_ || size_ - offset < 2) return 0;
    return static_cast<std::uint16_t>(data_[offset] << 8 | data_[offset + 1]);
}

std::uint32_t IconThemeCache::read32(std::size_t offset) const
{
    if (offset > size_ || size_ - offset < 4) return 0;
    return std::uint32_t{data_[offset]} << 24 | std::uint32_t{data_[offset + 1]} << 16 | std::uint32_t{data_[offset + 2]} << 8 | data_[offset + 3];
}

std::string_view IconThemeCache::textAt(std::size_t offset) const
{
    if (offset >= size_) return {};
    const void* end = std::memchr(data_ + offset, '\0', size_ - offset);
    if (end == nullptr) return {};
    return std::string_view(reinterpret_cast<const char*>(data_ + offset), static_cast<std::size_t>(static_cast<const unsigned char*>(end) - (data_ + offset)));
}

const IconThemeCache::Files& IconThemeCache::filesOf(const std::string& name)
{
    const auto [entry, added] = filesByName_.try_emplace(name);
    if (!added) return entry->second;
    const std::uint32_t hash = read32(hashOffsetAt);
    const std::uint32_t buckets = read32(hash);
    if (buckets == 0) return entry->second;
    std::uint32_t icon = read32(hash + 4 + 4 * std::size_t{nameHash(name) % buckets});
    // A chain that runs in a circle or off the end stops at the cache's size in steps.
    for (std::size_t steps = 0; icon != 0xFFFFFFFF && icon != 0 && steps < size_; ++steps) {
        if (textAt(read32(icon + iconNameAt)) == name) {
            const std::uint32_t images = read32(icon + iconImagesAt);
            const std::uint32_t count = read32(images);
            for (std::uint32_t i = 0; i < count && i < size_; ++i) {
                const std::size_t image = images + 4 + imageSize * std::size_t{i};
                entry->second.emplace_back(read16(image), read16(image + 2));
            }
            break;
        }
        icon = read32(icon + iconChainAt);
    }
    return entry->second;
}

int IconThemeCache::directoryIndex(std::string_view directory) const
{
    const auto found = directoryIndex_.find(directory);
    return found == directoryIndex_.end() ? -1 : found->second;
}

bool IconThemeCache::holds(const Files& files, int directory, Suffix suffix)
{
    return std::any_of(files.begin(), files.end(), [&](const std::pair<std::uint16_t, std::uint16_t>& file) {
        return file.first == directory && (file.second & suffix) != 0;
    });
}

} // namespace quenarch::freedesktop
