// Writes the case-mapping tables of the core (src/quenarch/base/case_tables.inc) from the Unicode
// data of the Qt it runs on: for every code point, the simple upper-case, lower-case and case-folded
// mapping that QChar gives. The core must build without Qt, so the output is committed; the build
// target update-case-tables runs this program again.

#include <QChar>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Run {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    int stride;
};

// Runs of code points that map by the same distance, one after another (stride 1) or every other
// one (stride 2, as the Latin upper/lower pairs). A stride-2 run never steps over a code point
// that maps, so no run's range holds a code point of another run.
template <typename Map>
std::vector<Run> runsOf(Map map)
{
    std::vector<Run> runs;
    auto maps = [&](char32_t c) { return c <= 0x10FFFF && map(c) != c; };
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (!maps(c)) continue;
        const std::int32_t delta = static_cast<std::int32_t>(map(c)) - static_cast<std::int32_t>(c);
        Run run{c, c, delta, 1};
        auto same = [&](char32_t next) { return maps(next) && static_cast<std::int32_t>(map(next)) - static_cast<std::int32_t>(next) == delta; };
        if (same(c + 1)) {
            while (same(run.last + 1)) ++run.last;
        } else if (same(c + 2) && !maps(c + 1)) {
            run.stride = 2;
            while (same(run.last + 2) && !maps(run.last + 1)) run.last += 2;
        }
        runs.push_back(run);
        c = run.last;
    }
    return runs;
}

void writeTable(const char* name, const std::vector<Run>& runs)
{
    std::printf("constexpr CaseRun %s[] = {\n", name);
    for (const Run& run : runs)
        std::printf("    {0x%04X, 0x%04X, %d, %d},\n", static_cast<unsigned>(run.first), static_cast<unsigned>(run.last), run.delta, run.stride);
    std::printf("};\n");
}

} // namespace

int main()
{
    std::printf("// The simple case mappings of the Unicode data in Qt %s, written by\n"
                "// src/generators/case_table_generator.cpp: do not edit. Each run maps the code points from\n"
                "// first to last, every stride-th one, by adding delta.\n",
                qVersion());
    writeTable("upperCaseRuns", runsOf([](char32_t c) { return QChar::toUpper(c); }));
    writeTable("lowerCaseRuns", runsOf([](char32_t c) { return QChar::toLower(c); }));
    writeTable("foldedCaseRuns", runsOf([](char32_t c) { return QChar::toCaseFolded(c); }));
    return 0;
}
