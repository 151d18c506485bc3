// Prints what Qt answers about the desktop under the environment it runs in, for the oracle
// tests of the freedesktop services:
//   desktop_probe locale   the system locale's name and conventions, one "key<TAB>value" a line
//   desktop_probe mime     for each file name read from standard input, a line
//                          "type<TAB>comment<TAB>icon<TAB>generic icon" of QMimeDatabase's answer
//                          by extension ("" for the type and the rest when it has none)

#include "quenarch/qt/desktop_locale.h"

#include <QLocale>
#include <QMimeDatabase>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void print(const std::string& key, const std::string& value) { std::printf("%s\t%s\n", key.c_str(), value.c_str()); }

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "locale") {
        const QLocale system = QLocale::system();
        const quenarch::LocaleConventions c = quenarch::qt::desktopLocaleConventions(system);
        print("name", system.name().toStdString());
        print("thousandsSeparator", c.thousandsSeparator);
        print("decimalPoint", c.decimalPoint);
        print("shortDatePattern", c.shortDatePattern);
        print("longTimePattern", c.longTimePattern);
        print("dateSeparator", c.dateSeparator);
        print("timeSeparator", c.timeSeparator);
        print("amText", c.amText);
        print("pmText", c.pmText);
        for (int month = 0; month < 12; ++month) {
            print("month" + std::to_string(month + 1), c.monthNames[month]);
            print("monthAbbreviation" + std::to_string(month + 1), c.monthAbbreviations[month]);
        }
        return 0;
    }
    if (mode == "mime") {
        const QMimeDatabase database;
        std::string fileName;
        while (std::getline(std::cin, fileName)) {
            const QMimeType type = database.mimeTypeForFile(QString::fromStdString(fileName), QMimeDatabase::MatchExtension);
            if (type.isDefault() || !type.isValid())
                std::printf("\t\t\t\n");
            else
                std::printf("%s\t%s\t%s\t%s\n", qPrintable(type.name()), qPrintable(type.comment()), qPrintable(type.iconName()),
                            qPrintable(type.genericIconName()));
        }
        return 0;
    }
    std::fprintf(stderr, "usage: desktop_probe locale|mime\n");
    return 1;
}
