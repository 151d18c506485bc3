// Opening the 100,000-member benchmark archive (written by make_big_zip.py into the build tree):
// the reader alone, and a whole open through a headless control with every row fully built.

#include "quenarch/archive/archive_formats.h"
#include "quenarch/archive/member_collector.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/headless_platform.h"
#include "quenarch/control/property_bag.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/listing/file_types.h"
#include "quenarch/platform/memory_registry.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace quenarch {
namespace {

// The archive measured: QUENARCH_BENCH_ARCHIVE when it is set, else the one the build wrote.
const char* benchArchive()
{
    const char* chosen = std::getenv("QUENARCH_BENCH_ARCHIVE");
    return chosen != nullptr && *chosen != '\0' ? chosen : QUENARCH_BENCH_ZIP;
}

// Highest resident set of the process so far, in MB.
double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

// Resident set now, in MB.
double residentMegabytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void reportMemory(benchmark::State& state, std::size_t rows)
{
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
    state.counters["rss_MB"] = residentMegabytes();
}

void BM_ReadZipArchive(benchmark::State& state)
{
    std::error_code error;
    const std::unique_ptr<RandomAccessFile> file = openRegularFile(benchArchive(), error);
    if (!file) {
        state.SkipWithError(("cannot open " + std::string(benchArchive()) + ": " + error.message()).c_str());
        return;
    }
    std::size_t rows = 0;
    for (auto _ : state) {
        ByteSource source(*file);
        MemberCollector sink;
        readArchive(ArchiveFormat::Zip, source, sink, nullptr);
        rows = sink.members.size();
        benchmark::DoNotOptimize(sink.members.data());
    }
    reportMemory(state, rows);
}

// Every icon location answers with a 32 x 32 picture, as a desktop icon theme would.
class SolidIconSource final : public IconSource {
public:
    Picture loadIcon(std::string_view, std::int32_t index) const override
    {
        return std::make_shared<Image>(32, 32, 0, 0xFF000000u | static_cast<std::uint32_t>(index) * 0x010203u);
    }
};

// A desktop that knows every extension of the benchmark archive.
Platform benchPlatform()
{
    static constexpr const char* extensions[] = {"txt", "doc", "pdf", "jpg", "png", "gif", "html", "css", "js", "cpp",
                                                 "h",   "py",  "json", "xml", "csv", "exe", "dll", "mp3", "wav", "ini"};
    auto registry = std::make_shared<MemoryRegistry>();
    int index = 0;
    for (const std::string extension : extensions) {
        const std::string className = extension + "file";
        registry->setString(RegistryRoot::ClassesRoot, "." + extension, "", className);
        registry->setString(RegistryRoot::ClassesRoot, className, "", "The " + extension + " document type");
        registry->setString(RegistryRoot::ClassesRoot, className + "\\DefaultIcon", "",
                            "/usr/share/icons/" + extension + ".png," + std::to_string(index++));
    }
    registry->setString(RegistryRoot::ClassesRoot, ".zip", "", "zipfile");
    registry->setString(RegistryRoot::ClassesRoot, "zipfile", "", "Compressed (zipped) Folder");
    Platform platform = headlessPlatform();
    platform.fileTypes = std::make_shared<RegistryFileTypes>(registry, platform.locale);
    platform.registry = std::move(registry);
    platform.icons = std::make_shared<SolidIconSource>();
    return platform;
}

void BM_OpenInHeadlessControl(benchmark::State& state)
{
    HeadlessHost host;
    QuenArchive control(host, benchPlatform());
    MemoryPropertyBag noProperties;
    control.ReadProperties(noProperties);
    for (auto _ : state) {
        // Each assignment empties the list, rebuilds the image lists and reads the archive again.
        control.LetArchive(Variant(std::string(benchArchive())));
        benchmark::DoNotOptimize(control.fileview().count());
    }
    const std::size_t rows = control.fileview().count();
    if (rows < 2) state.SkipWithError("the archive gave no rows");
    reportMemory(state, rows);
}

// The control first, so that its peak resident set is not the reader's leftover.
BENCHMARK(BM_OpenInHeadlessControl)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadZipArchive)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace quenarch

BENCHMARK_MAIN();
