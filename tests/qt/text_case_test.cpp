#include "quenarch/base/text_case.h"

#include <QChar>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

namespace quenarch {
namespace {

// The committed tables hold the simple case mappings of the Unicode data of the Qt in use.
TEST(CaseTablesTest, MapEveryCodePointAsQtDoes)
{
    int mismatches = 0;
    for (char32_t c = 0; c <= 0x10FFFF && mismatches < 10; ++c) {
        if (upperCaseOf(c) != QChar::toUpper(c) || lowerCaseOf(c) != QChar::toLower(c) || foldedCaseOf(c) != QChar::toCaseFolded(c)) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
            ++mismatches;
        }
    }
}

// UTF-8 text, with characters of one to four bytes, maps as its code points do.
TEST(CaseTablesTest, TextMapsCharacterByCharacter)
{
    const QString text = QStringLiteral("Ⓗⓐⓡⓓ Ⓛⓘⓝⓚ ÄÖÜ ǅ ΣΊΣΥΦΟΣ 𐐀𐐨 İı ß");
    const auto mapped = [&](char32_t (*map)(char32_t)) {
        QList<uint> codePoints = text.toUcs4();
        for (uint& c : codePoints) c = map(c);
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), codePoints.size()).toStdString();
    };
    EXPECT_EQ(toLower(text.toStdString()), mapped([](char32_t c) { return QChar::toLower(c); }));
    EXPECT_EQ(toUpper(text.toStdString()), mapped([](char32_t c) { return QChar::toUpper(c); }));
    EXPECT_EQ(foldCase(text.toStdString()), mapped([](char32_t c) { return QChar::toCaseFolded(c); }));
}

} // namespace
} // namespace quenarch
