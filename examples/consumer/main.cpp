// Shows how a Qt application uses the installed quenarch: it places the widget in code, builds
// a form made in Qt Designer that holds it from the code uic wrote, and loads the same form at
// run time through QUiLoader and the Designer plugin. With -platform offscreen it runs without a
// display; it prints what each of the three widgets lists.
#include "ui_form.h"

#include <quenarch/qt/quen_archive_widget.h>

#include <QApplication>
#include <QFile>
#include <QUiLoader>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "quenarch-consumer: %s\n", qPrintable(message));
    return 1;
}

void printListing(const char* label, quenarch::qt::QuenArchiveWidget& widget)
{
    std::printf("%s: %d rows (%s)\n", label, widget.model()->rowCount(), widget.control().ArchiveType().c_str());
    for (auto moved = widget.control().MoveFirst(); moved == 0; moved = widget.control().MoveNext())
        std::printf("  %s\n", widget.control().ItemFileName().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) return fail(QStringLiteral("usage: quenarch-consumer FORM.ui ARCHIVE"));
    const QString& formFile = arguments[1];
    const QString& archive = arguments[2];

    // The widget placed in code.
    quenarch::qt::QuenArchiveWidget placed;
    placed.setArchive(archive);
    if (placed.lastError().number != 0) return fail(placed.lastError().description);
    printListing("placed", placed);

    // The form compiled in: the widget is made directly, without the plugin.
    QWidget compiled;
    Ui::ArchiveForm form;
    form.setupUi(&compiled);
    form.archiveView->setArchive(archive);
    printListing("compiled", *form.archiveView);

    // The same widget from a form. QUiLoader finds the plugin in the "designer" folder of each
    // entry of QT_PLUGIN_PATH (and of Qt's own plugin folder).
#ifdef QUENARCH_QT_PLUGIN_DIR
    if (qEnvironmentVariableIsEmpty("QT_PLUGIN_PATH")) QApplication::addLibraryPath(QStringLiteral(QUENARCH_QT_PLUGIN_DIR));
#endif
    QUiLoader loader;
    if (!loader.availableWidgets().contains(QStringLiteral("quenarch::qt::QuenArchiveWidget")))
        return fail(QStringLiteral("the Designer plugin was not found; add its folder's parent to QT_PLUGIN_PATH"));
    QFile file(formFile);
    if (!file.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + formFile);
    QWidget* window = loader.load(&file);
    if (window == nullptr) return fail(loader.errorString());
    auto* loaded = window->findChild<quenarch::qt::QuenArchiveWidget*>(QStringLiteral("archiveView"));
    if (loaded == nullptr) return fail(QStringLiteral("the form holds no archive widget"));
    loaded->setArchive(archive);
    if (loaded->lastError().number != 0) return fail(loaded->lastError().description);
    window->show();
    printListing("form", *loaded);
    delete window;
    return 0;
}
