#include "support/test_platform.h"

#include <fstream>
#include <random>
#include <sstream>

namespace quenarch::test {

std::optional<std::string> MemoryIni::readString(std::string_view section, std::string_view key, std::string_view fileName) const
{
    auto file = files.find(fileName);
    if (file == files.end()) return std::nullopt;
    return findIniValue(file->second, section, key);
}

Picture FakeIconSource::loadIcon(std::string_view location, std::int32_t index) const
{
    ++loads;
    if (location.substr(0, 5) != "icon:") return nullptr;
    return std::make_shared<Image>(32, 32, 0, 0xFF000000u | static_cast<std::uint32_t>(index));
}

TestPlatform::TestPlatform()
    : registry(std::make_shared<MemoryRegistry>()), ini(std::make_shared<MemoryIni>()), icons(std::make_shared<FakeIconSource>())
{
    const auto locale = std::make_shared<Locale>();
    platform = Platform{registry, std::make_shared<RegistryFileTypes>(registry, locale), ini, locale, nullptr,
                        icons, std::make_shared<FixedDisplay>(32)};
    associate("txt", "txtfile", "Text Document", "icon:text,1");
    associate("doc", "docfile", "Document", "icon:doc,2");
    associate("ZIP", "zipfile", "Compressed (zipped) Folder", "icon:zip,3");
}

void TestPlatform::associate(const std::string& extension, const std::string& className, const std::string& description,
                             const std::string& iconLocation)
{
    registry->setString(RegistryRoot::ClassesRoot, "." + extension, "", className);
    registry->setString(RegistryRoot::ClassesRoot, className, "", description);
    if (!iconLocation.empty()) registry->setString(RegistryRoot::ClassesRoot, className + "\\DefaultIcon", "", iconLocation);
}

TempDir::TempDir()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("quenarch-test-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& bytes) const
{
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::filesystem::path testData(const std::string& name) { return std::filesystem::path(QUENARCH_TEST_DATA) / name; }

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace quenarch::test
