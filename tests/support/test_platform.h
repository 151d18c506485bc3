#pragma once

#include "quenarch/base/automation_error.h"
#include "quenarch/listing/file_types.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/platform/memory_registry.h"
#include "quenarch/platform/platform.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace quenarch::test {

// An INI source held in memory: file name -> text.
class MemoryIni final : public IniSource {
public:
    std::optional<std::string> readString(std::string_view section, std::string_view key, std::string_view fileName) const override;
    std::map<std::string, std::string, std::less<>> files;
};

// Icons for locations whose file name starts with "icon:"; the picture is filled with the
// colour named by the index, so tests can tell icons apart.
class FakeIconSource final : public IconSource {
public:
    Picture loadIcon(std::string_view location, std::int32_t index) const override;
    mutable int loads = 0;
};

// A platform with fixed answers: US English conventions, associations for txt, doc and zip,
// no win.ini, no chosen encoding, 32-bit colour.
struct TestPlatform {
    TestPlatform();

    std::shared_ptr<MemoryRegistry> registry;
    std::shared_ptr<MemoryIni> ini;
    std::shared_ptr<FakeIconSource> icons;
    Platform platform;

    // Registers ".ext" with a class, its description and an icon location.
    void associate(const std::string& extension, const std::string& className, const std::string& description,
                   const std::string& iconLocation = {});
};

// A folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// The number of the automation error a call raises, 0 when it raises none.
template <typename Call>
std::int32_t errorNumber(Call&& call)
{
    try {
        call();
        return 0;
    } catch (const AutomationError& error) {
        return error.number();
    }
}

// The Name cells of every row, each followed by ";".
inline std::string rowNames(const ListView& list)
{
    std::string names;
    for (std::size_t i = 1; i <= list.count(); ++i) names += list.row(i).text(NameColumn) + ";";
    return names;
}

std::filesystem::path testData(const std::string& name);
std::string readFile(const std::filesystem::path& path);

} // namespace quenarch::test
