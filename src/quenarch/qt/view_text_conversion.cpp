#include "quenarch/qt/view_text_conversion.h"

#include "quenarch/qt/quen_archive_widget.h"

#include <QMetaType>

namespace quenarch::qt {
namespace {

// Reads a View text into a choice by the control's rule: the first character's digit, Report for
// a blank text, Icon for a text starting with anything else. A digit above 3 converts to none.
bool viewChoiceFromText(const QString& text, QuenArchiveWidget::ViewChoice* choice)
{
    const QString trimmed = text.trimmed();
    const QChar first = text.isEmpty() ? QChar() : text.front();
    int mode = 0;
    if (trimmed.isEmpty())
        mode = QuenArchiveWidget::Report;
    else if (first >= u'0' && first <= u'9')
        mode = first.unicode() - u'0';
    if (mode > QuenArchiveWidget::Report) return false;
    *choice = static_cast<QuenArchiveWidget::ViewChoice>(mode);
    return true;
}

} // namespace

void registerViewTextConversion()
{
    static const bool registered = QMetaType::registerConverterFunction(
        [](const void* text, void* choice) {
            return viewChoiceFromText(*static_cast<const QString*>(text), static_cast<QuenArchiveWidget::ViewChoice*>(choice));
        },
        QMetaType::fromType<QString>(), QMetaType::fromType<QuenArchiveWidget::ViewChoice>());
    Q_UNUSED(registered);
}

} // namespace quenarch::qt
