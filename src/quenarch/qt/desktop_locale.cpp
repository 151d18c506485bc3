#include "quenarch/qt/desktop_locale.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace quenarch::qt {
namespace {

QString storedTimePattern(const QString& pattern)
{
    // Quoted text is kept as it is; outside it, a zone "t", "(t)" or "[t]" with the blanks and
    // the comma before it is dropped and "B" becomes "AP".
    static const QRegularExpression parts(QStringLiteral(R"('[^']*'|[\s,]*[(\[]?t+[)\]]?\s*|B+)"));
    QString out;
    qsizetype done = 0;
    for (auto matches = parts.globalMatch(pattern); matches.hasNext();) {
        const QRegularExpressionMatch part = matches.next();
        out += QStringView(pattern).mid(done, part.capturedStart() - done);
        const QString text = part.captured();
        if (text.startsWith(u'\''))
            out += text;
        else if (text.startsWith(u'B'))
            out += QStringLiteral("AP");
        done = part.capturedEnd();
    }
    out += QStringView(pattern).mid(done);
    return out.trimmed();
}

// The literal text between the first field made of one of the given letters and the field
// after it; nothing when that text is missing or has letters in it, as in "H時mm分".
std::optional<QString> separatorAfter(const QString& pattern, QStringView fieldLetters)
{
    static constexpr QStringView patternLetters = u"dMyhHmsaApPt";
    qsizetype i = 0;
    bool quoted = false;
    for (; i < pattern.size(); ++i) {
        if (pattern[i] == u'\'')
            quoted = !quoted;
        else if (!quoted && fieldLetters.contains(pattern[i]))
            break;
    }
    if (i == pattern.size()) return std::nullopt;
    const QChar field = pattern[i];
    while (i < pattern.size() && pattern[i] == field) ++i;

    QString literal;
    for (; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && patternLetters.contains(c))
            break;
        else
            literal += c;
    }
    if (literal.isEmpty() || std::any_of(literal.cbegin(), literal.cend(), [](QChar c) { return c.isLetter(); }))
        return std::nullopt;
    return literal;
}

} // namespace

LocaleConventions desktopLocaleConventions(const QLocale& locale)
{
    LocaleConventions conventions;
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString longTime = storedTimePattern(locale.timeFormat(QLocale::LongFormat));
    conventions.thousandsSeparator = locale.groupSeparator().toStdString();
    conventions.decimalPoint = locale.decimalPoint().toStdString();
    conventions.shortDatePattern = shortDate.toStdString();
    conventions.longTimePattern = longTime.toStdString();
    conventions.dateSeparator = separatorAfter(shortDate, u"dMy").value_or(QStringLiteral("/")).toStdString();
    conventions.timeSeparator = separatorAfter(longTime, u"hH").value_or(QStringLiteral(":")).toStdString();
    conventions.amText = locale.amText().toStdString();
    conventions.pmText = locale.pmText().toStdString();
    for (int month = 1; month <= 12; ++month) {
        conventions.monthNames[month - 1] = locale.monthName(month, QLocale::LongFormat).toStdString();
        conventions.monthAbbreviations[month - 1] = locale.monthName(month, QLocale::ShortFormat).toStdString();
    }
    return conventions;
}

} // namespace quenarch::qt
