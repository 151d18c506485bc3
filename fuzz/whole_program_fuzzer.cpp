// Runs arbitrary bytes through everything the control does with an archive, as a host drives it:
// the first three bytes choose the format, the regional settings and the encoding, the rest are
// the archive. The control opens it by name, builds every row, answers every item query on every
// row, sorts by each column, and the lister writes its report and its JSON. Item texts must be
// UTF-8, the cursor must walk as many rows as the list counts, and the JSON must stay one line.

#include "listing_printer.h"

#include "quenarch/base/utf8.h"
#include "quenarch/control/headless_host.h"
#include "quenarch/control/property_bag.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/freedesktop/iconv_text_codec.h"
#include "quenarch/listing/file_types.h"
#include "support/test_platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using quenarch::LocaleConventions;

constexpr std::array<std::string_view, 6> extensions{"zip", "arj", "lzh", "arc", "rar", "cab"};

// Regional settings that differ in every way the rows are written: separators of one and of
// several bytes, the order of the date's fields, 12- and 24-hour times, month names in and out of
// the short date, and with and without the classic short date picture of win.ini.
struct Region {
    LocaleConventions conventions;
    std::string winIni; // empty: the picture comes from the locale
};

std::array<Region, 5> regions()
{
    LocaleConventions german;
    german.thousandsSeparator = ".";
    german.decimalPoint = ",";
    german.shortDatePattern = "dd.MM.yyyy";
    german.longTimePattern = "HH:mm:ss";
    german.dateSeparator = ".";
    german.monthNames = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober", "November", "Dezember"};
    german.monthAbbreviations = {"Jan.", "Feb.", "März", "Apr.", "Mai", "Juni", "Juli", "Aug.", "Sept.", "Okt.", "Nov.", "Dez."};

    LocaleConventions french;
    french.thousandsSeparator = "\u202f";
    french.decimalPoint = ",";
    french.shortDatePattern = "d MMM yyyy";
    french.longTimePattern = "HH 'h' mm";
    french.dateSeparator = " ";
    french.timeSeparator = " h ";
    french.monthAbbreviations = {"janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.", "oct.", "nov.", "déc."};

    LocaleConventions japanese;
    japanese.shortDatePattern = "yyyy/MM/dd";
    japanese.longTimePattern = "AP h:mm:ss";
    japanese.amText = "午前";
    japanese.pmText = "午後";

    LocaleConventions british;
    british.shortDatePattern = "dd-MMMM-yy";
    british.longTimePattern = "hh:mm:ss ap";
    british.dateSeparator = "-";
    british.amText = "am";
    british.pmText = "pm";

    return {{
        {LocaleConventions{}, ""},
        {german, "[intl]\nsShortDate=dd.MM.yyyy\nsDate=.\nsTime=:\n"},
        {french, ""},
        {japanese, "[intl]\nsShortDate=yy/m/d\nsDate=/\nsTime=:\n"},
        {british, "[intl]\nsShortDate=  \nsDate=-\nsTime=.\n"},
    }};
}

// None (each format's own code page), the desktop's default, and a few single- and multi-byte
// code pages as iconv knows them.
constexpr std::array<std::string_view, 5> encodings{"", "IBM437", "SHIFT_JIS", "KOI8-R", "UTF-8"};

quenarch::Platform platformFor(std::uint8_t region, std::uint8_t encoding)
{
    static const std::array<Region, 5> all = regions();
    const Region& chosen = all[region % all.size()];
    quenarch::test::TestPlatform test;
    if (!chosen.winIni.empty()) test.ini->files["win.ini"] = chosen.winIni;
    auto locale = std::make_shared<quenarch::Locale>(chosen.conventions);
    test.platform.locale = locale;
    test.platform.fileTypes = std::make_shared<quenarch::RegistryFileTypes>(test.registry, locale);
    const std::size_t codec = encoding % (encodings.size() + 1);
    if (codec > 0) test.platform.codec = quenarch::freedesktop::makeTextCodec(encodings[codec - 1]);
    return test.platform;
}

// A folder of this process's own, holding the archive under the name of its format while one
// input runs: libFuzzer ends without running exit handlers, so each input removes it again.
const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("quenarch-fuzz-" + std::to_string(getpid()));
    return folder;
}

void require(bool condition)
{
    if (!condition) std::abort();
}

void queryEveryRow(quenarch::QuenArchive& control)
{
    std::int64_t rows = 0;
    for (std::int32_t moved = control.MoveFirst(); moved == 0; moved = control.MoveNext()) {
        ++rows;
        require(quenarch::isValidUtf8(control.ItemFileName()));
        require(quenarch::isValidUtf8(control.ItemUnCompressed()));
        require(quenarch::isValidUtf8(control.ItemCompressed()));
        require(quenarch::isValidUtf8(control.ItemFileType()));
        require(quenarch::isValidUtf8(control.ItemCRC()));
        control.ItemDate();
        control.ItemTime();
    }
    require(rows == quenarch::toLong(control.ListCount(), *control.platform().locale));
    if (control.MoveLast() == 0) control.MovePrevious();
    require(quenarch::isValidUtf8(control.FileComment()));
    require(quenarch::isValidUtf8(control.ArchiveType()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    std::filesystem::create_directories(scratchFolder());
    const std::filesystem::path archive = scratchFolder() / ("fuzz." + std::string(extensions[data[0] % extensions.size()]));
    {
        std::ofstream file(archive, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data + 3), static_cast<std::streamsize>(size - 3));
    }

    quenarch::HeadlessHost host;
    quenarch::QuenArchive control(host, platformFor(data[1], data[2]));
    quenarch::MemoryPropertyBag noSavedProperties;
    control.ReadProperties(noSavedProperties);
    try {
        control.LetArchive(quenarch::Variant(archive.string()));
    } catch (const quenarch::AutomationError& error) {
        // A readable file of the format's name is listed, or shown as an invalid archive; only
        // running out of memory may refuse it, and the control stays usable after that.
        require(error.number() == 7);
    }
    queryEveryRow(control);

    for (std::int32_t column = 1; column <= static_cast<std::int32_t>(quenarch::listingColumns().size()); ++column) {
        control.listColumnClick(column);
        queryEveryRow(control);
    }

    std::string json;
    quenarch::lister::writeJson(control, archive.string(), [&json](std::string_view piece) { json.append(piece); });
    require(quenarch::isValidUtf8(json));
    require(!json.empty() && json.back() == '\n');
    for (std::size_t i = 0; i + 1 < json.size(); ++i) require(static_cast<unsigned char>(json[i]) >= 0x20);
    quenarch::lister::writeReport(control, [](std::string_view) {});
    std::filesystem::remove_all(scratchFolder());
    return 0;
}
