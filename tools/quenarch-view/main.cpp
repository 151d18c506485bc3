// quenarch-view: a small viewer hosting the archive control.

#include "main_window.h"

#include "quenarch/qt/quen_archive_widget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

// Calls back once, after the first paint of a widget.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget* watched, std::function<void()> then) : then_(std::move(then)) { watched->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && then_) {
            watched->removeEventFilter(this);
            // After the paint has finished, not inside it.
            QTimer::singleShot(0, this, std::exchange(then_, nullptr));
        }
        return false;
    }

private:
    std::function<void()> then_;
};

// Opens the archive, waits for the list's first paint, saves the window's picture and quits.
// An archive that cannot be shown is pictured as the window reports it.
int takeScreenshot(const QString& archive, const QString& file)
{
    using quenarch::view::MainWindow;
    MainWindow window({});
    window.resize(760, 420);
    window.show();
    if (!archive.isEmpty() && !window.openArchive(archive, MainWindow::OpenedBy::CommandLine))
        std::fprintf(stderr, "quenarch-view: %s\n", qPrintable(window.lastOpenError()));
    int status = 0;
    FirstPaint firstPaint(window.archiveControl().currentView()->viewport(), [&] {
        if (!window.grab().save(file)) {
            std::fprintf(stderr, "quenarch-view: cannot write %s\n", qPrintable(file));
            status = 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("quenarch"));
    QApplication::setApplicationName(QStringLiteral("quenarch-view"));
    QApplication::setApplicationVersion(QStringLiteral(QUENARCH_VERSION));
    // The desktop entry's name and the same icon it shows in the menu.
    QApplication::setDesktopFileName(QStringLiteral("quenarch-view"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quenarch-view.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the members of a ZIP, ARJ, LZH, ARC, RAR or CAB archive."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to FILE once the list has been drawn, then quit."),
                                        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("archive"), QStringLiteral("The archive to open."), QStringLiteral("[ARCHIVE]"));
    parser.process(application);
    if (parser.positionalArguments().size() > 1) parser.showHelp(1);
    const QString archive = parser.positionalArguments().value(0);

    if (parser.isSet(screenshot)) return takeScreenshot(archive, parser.value(screenshot));

    QSettings settings;
    quenarch::view::MainWindow window({&settings});
    window.show();
    if (!archive.isEmpty()) window.openArchive(archive, quenarch::view::MainWindow::OpenedBy::CommandLine);
    return QApplication::exec();
}
