#include "main_window.h"

#include "quenarch/control/property_bag.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/qt/property_page_dialog.h"
#include "quenarch/qt/quen_archive_widget.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>

#include <array>

namespace quenarch::view {
namespace {

const QString geometryKey = QStringLiteral("geometry");
const QString lastFolderKey = QStringLiteral("lastFolder");

// The single local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

MainWindow::MainWindow(Options options)
    : options_(options),
      archive_(new qt::QuenArchiveWidget(this)),
      countLabel_(new QLabel(this)),
      typeLabel_(new QLabel(this)),
      commentLabel_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("quenarch-view"));
    setCentralWidget(archive_);
    setAcceptDrops(true);

    // Hosted as a form hosts it: created, then its saved properties read (there are none).
    MemoryPropertyBag noSavedProperties;
    archive_->readProperties(noSavedProperties);

    statusBar()->addWidget(countLabel_);
    statusBar()->addWidget(typeLabel_);
    statusBar()->addWidget(commentLabel_, 1);
    createMenus();
    showStatus();
    showViewMode();
    connect(archive_, &qt::QuenArchiveWidget::viewChanged, this, &MainWindow::showViewMode);

    if (options_.settings == nullptr || !restoreGeometry(options_.settings->value(geometryKey).toByteArray())) resize(760, 460);
}

void MainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::chooseArchive);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(tr("&Properties..."), this, &MainWindow::showProperties);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    viewModes_ = new QActionGroup(this);
    const std::array<QString, 4> modeNames{tr("Lar&ge Icons"), tr("S&mall Icons"), tr("&List"), tr("&Details")};
    for (int mode = 0; mode < static_cast<int>(modeNames.size()); ++mode) {
        QAction* action = view->addAction(modeNames[static_cast<std::size_t>(mode)]);
        action->setCheckable(true);
        action->setData(mode);
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + mode)));
        viewModes_->addAction(action);
    }
    connect(viewModes_, &QActionGroup::triggered, this, [this](QAction* action) { archive_->setView(QString::number(action->data().toInt())); });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About Quen Archive Control..."), archive_, &qt::QuenArchiveWidget::showAbout);
}

bool MainWindow::openArchive(const QString& path)
{
    archive_->setArchive(path);
    showStatus();
    const QFileInfo file(path);
    if (options_.settings != nullptr && file.dir().exists()) options_.settings->setValue(lastFolderKey, file.absolutePath());

    const qt::ControlError& error = archive_->lastError();
    if (error.number == 0) {
        lastOpenError_.clear();
        return true;
    }
    lastOpenError_ = tr("%1: %2 (error %3)").arg(QDir::toNativeSeparators(path), error.description).arg(error.number);
    if (options_.showErrors)
        QMessageBox::warning(this, tr("Cannot open archive"),
                             tr("%1\n\n%2 (error %3)").arg(QDir::toNativeSeparators(path), error.description).arg(error.number));
    return false;
}

void MainWindow::chooseArchive()
{
    const QString folder = options_.settings != nullptr ? options_.settings->value(lastFolderKey, QDir::homePath()).toString() : QDir::homePath();
    QFileDialog dialog(this, tr("Open Archive"), folder, tr("Archives (*.zip *.arj *.lzh *.arc *.rar *.cab);;All files (*)"));
    // Qt's own dialog matches the patterns without regard to letter case (A.ZIP is an archive
    // too); the GTK one would not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) openArchive(dialog.selectedFiles().front());
}

void MainWindow::showProperties()
{
    qt::PropertyPageDialog page([this] { return std::vector<QuenArchive*>{&archive_->control()}; }, this);
    connect(&page, &qt::PropertyPageDialog::applied, this, &MainWindow::showStatus);
    page.exec();
}

void MainWindow::showViewMode()
{
    const int mode = static_cast<int>(archive_->control().fileview().view());
    for (QAction* action : viewModes_->actions()) action->setChecked(action->data().toInt() == mode);
}

void MainWindow::showStatus()
{
    const QuenArchive& control = archive_->control();
    const Variant count = control.ListCount();
    const int members = count.get<std::int32_t>() != nullptr ? *count.get<std::int32_t>() : 0;
    countLabel_->setText(members == 1 ? tr("1 member") : tr("%1 members").arg(QLocale().toString(members)));
    typeLabel_->setText(QString::fromStdString(control.ArchiveType()));
    const QString comment = QString::fromStdString(control.FileComment());
    commentLabel_->setText(comment.simplified());
    commentLabel_->setToolTip(comment);

    const QString archive = archive_->archive().trimmed();
    setWindowTitle(archive.isEmpty() ? QStringLiteral("quenarch-view") : tr("%1 - quenarch-view").arg(QFileInfo(archive).fileName()));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (options_.settings != nullptr) options_.settings->setValue(geometryKey, saveGeometry());
    QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    openArchive(file);
}

} // namespace quenarch::view
