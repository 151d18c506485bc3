#include "main_window.h"

#include "column_sizer.h"
#include "name_filter.h"

#include "quenarch/control/property_bag.h"
#include "quenarch/dialogs/about_box.h"
#include "quenarch/listing/invalid_row.h"
#include "quenarch/listing/list_view.h"
#include "quenarch/qt/list_model.h"
#include "quenarch/qt/property_page_dialog.h"
#include "quenarch/qt/quen_archive_widget.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>
#include <array>

namespace quenarch::view {
namespace {

const QString geometryKey = QStringLiteral("geometry");
const QString lastFolderKey = QStringLiteral("lastFolder");
const QString viewKey = QStringLiteral("view");
const QString sortColumnKey = QStringLiteral("sortColumn");
const QString sortOrderKey = QStringLiteral("sortOrder");
const QString columnWidthsKey = QStringLiteral("columnWidths");

// The single local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString memberCount(int members)
{
    if (members == 0) return MainWindow::tr("No members");
    return members == 1 ? MainWindow::tr("1 member") : MainWindow::tr("%1 members").arg(QLocale().toString(members));
}

} // namespace

MainWindow::MainWindow(Options options)
    : options_(options),
      recentFiles_(options.settings),
      archive_(new qt::QuenArchiveWidget(this)),
      nameFilter_(new NameFilter(*archive_, this)),
      columnSizer_(new ColumnSizer(*archive_->findChild<QTreeView*>(), this)),
      noticeIcon_(new QLabel(this)),
      noticeLabel_(new QLabel(this)),
      countLabel_(new QLabel(this)),
      typeLabel_(new QLabel(this)),
      commentLabel_(new QLabel(this))
{
    setCentralWidget(archive_);
    setAcceptDrops(true);

    // Hosted as a form hosts it: created, then its saved properties read (there are none).
    MemoryPropertyBag noSavedProperties;
    archive_->readProperties(noSavedProperties);

    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    noticeIcon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
    noticeLabel_->setObjectName(QStringLiteral("notice"));
    statusBar()->addWidget(noticeIcon_);
    statusBar()->addWidget(noticeLabel_);
    statusBar()->addWidget(countLabel_);
    statusBar()->addWidget(typeLabel_);
    statusBar()->addWidget(commentLabel_, 1);
    createMenus();
    createFilterBar();

    connect(archive_, &qt::QuenArchiveWidget::viewChanged, this, &MainWindow::showViewMode);
    // Returning to the report view lays its columns out as the control does; they are fitted again.
    connect(archive_, &qt::QuenArchiveWidget::viewChanged, columnSizer_, &ColumnSizer::fit, Qt::QueuedConnection);
    connect(nameFilter_, &NameFilter::applied, this, &MainWindow::showStatus);

    restoreSettings();
    showViewMode();
    showStatus();
}

MainWindow::~MainWindow() = default;

void MainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::chooseArchive);
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    reloadAction_ = file->addAction(tr("Re&load"), this, &MainWindow::reload);
    reloadAction_->setShortcut(Qt::Key_F5);
    closeAction_ = file->addAction(tr("&Close"), this, &MainWindow::closeArchive);
    closeAction_->setShortcut(Qt::CTRL | Qt::Key_W);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(tr("&Copy Names"), this, [this] { copySelected(Qt::DisplayRole); })->setShortcuts(QKeySequence::Copy);
    edit->addAction(tr("Copy &Paths"), this, [this] { copySelected(qt::ListModel::PathRole); })->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    edit->addAction(tr("&Filter by Name"), this, [this] {
          filterBox_->setFocus(Qt::ShortcutFocusReason);
          filterBox_->selectAll();
      })->setShortcut(Qt::CTRL | Qt::Key_F);
    edit->addSeparator();
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
    view->addSeparator();
    view->addAction(tr("&Fit Columns to Contents"), columnSizer_, &ColumnSizer::fitAll);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    // Worded as the About box's own title.
    help->addAction(u'&' + fromView(AboutBoxContent::caption) + QStringLiteral("..."), archive_, &qt::QuenArchiveWidget::showAbout);
}

void MainWindow::createFilterBar()
{
    QToolBar* bar = addToolBar(tr("Filter"));
    bar->setObjectName(QStringLiteral("filterBar"));
    bar->setMovable(false);
    filterBox_ = new QLineEdit(bar);
    filterBox_->setObjectName(QStringLiteral("filter"));
    filterBox_->setPlaceholderText(tr("Filter by name (%1)").arg(QKeySequence(Qt::CTRL | Qt::Key_F).toString(QKeySequence::NativeText)));
    filterBox_->setClearButtonEnabled(true);
    filterBox_->setMaximumWidth(fontMetrics().averageCharWidth() * 40);
    bar->addWidget(filterBox_);
    connect(filterBox_, &QLineEdit::textChanged, nameFilter_, &NameFilter::setText);
    filterBox_->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Escape empties the filter box and goes back to the list.
    if (watched == filterBox_ && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        filterBox_->clear();
        archive_->currentView()->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::restoreSettings()
{
    QSettings* settings = options_.settings;
    if (settings == nullptr || !restoreGeometry(settings->value(geometryKey).toByteArray())) resize(760, 460);
    if (settings == nullptr) return;
    bool valid = false;
    const int mode = settings->value(viewKey).toInt(&valid);
    if (valid && mode >= 0 && mode <= 3) archive_->setView(QString::number(mode));
    const int sortColumn = settings->value(sortColumnKey).toInt(&valid);
    ListView& list = archive_->control().fileview();
    if (valid && sortColumn >= 0 && static_cast<std::size_t>(sortColumn) < list.columns().size())
        list.setSortSettings(sortColumn, settings->value(sortOrderKey).toInt() == 1 ? 1 : 0, true);
    QList<int> widths;
    for (const QVariant& width : settings->value(columnWidthsKey).toList()) widths.append(width.toInt());
    columnSizer_->setUserWidths(widths);
}

void MainWindow::saveSettings() const
{
    QSettings* settings = options_.settings;
    if (settings == nullptr) return;
    settings->setValue(geometryKey, saveGeometry());
    const ListView& list = archive_->control().fileview();
    settings->setValue(viewKey, static_cast<int>(list.view()));
    if (list.sorted()) {
        settings->setValue(sortColumnKey, list.sortKey());
        settings->setValue(sortOrderKey, list.sortOrder());
    } else {
        settings->remove(sortColumnKey);
        settings->remove(sortOrderKey);
    }
    QVariantList widths;
    for (const int width : columnSizer_->userWidths()) widths.append(width);
    settings->setValue(columnWidthsKey, widths);
}

bool MainWindow::openArchive(const QString& path, OpenedBy openedBy)
{
    const QString previous = shownArchive_;
    showArchive(path);
    const qt::ControlError error = archive_->lastError();
    const QString shownPath = QDir::toNativeSeparators(path);
    if (error.number != 0) {
        // The control has emptied its list; what was on show comes back.
        shownArchive_.clear();
        if (!previous.isEmpty() && previous != path) {
            showArchive(previous);
            if (archive_->lastError().number == 0) shownArchive_ = previous;
        }
        if (error.number == 75) recentFiles_.remove(path);
        lastOpenError_ = tr("%1: %2 (error %3)").arg(shownPath, error.description).arg(error.number);
        notice_ = tr("Cannot open %1: %2").arg(QFileInfo(path).fileName(), error.description);
        report(tr("Cannot Open Archive"), tr("%1\n\n%2 (error %3)").arg(shownPath, error.description).arg(error.number), openedBy);
        showStatus();
        return false;
    }

    shownArchive_ = path;
    recentFiles_.add(path);
    if (options_.settings != nullptr) options_.settings->setValue(lastFolderKey, QFileInfo(path).absolutePath());
    columnSizer_->fit();
    const bool valid = archive_->control().ArchiveType() != invalidArchiveText;
    if (valid) {
        lastOpenError_.clear();
        notice_.clear();
    } else {
        lastOpenError_ = tr("%1: not a valid archive, or a damaged one").arg(shownPath);
        notice_ = tr("Not a valid archive, or a damaged one");
        report(tr("Not a Valid Archive"), tr("%1\n\nThis file is not a valid archive of its kind, or it is damaged.").arg(shownPath), openedBy);
    }
    showStatus();
    return valid;
}

void MainWindow::reload()
{
    if (!shownArchive_.isEmpty()) openArchive(shownArchive_, OpenedBy::User);
}

void MainWindow::showArchive(const QString& path)
{
    archive_->setArchive(path);
    // The views have taken the new rows; the filter and the status follow at once.
    nameFilter_->apply();
}

void MainWindow::closeArchive()
{
    showArchive(QString());
    shownArchive_.clear();
    notice_.clear();
    lastOpenError_.clear();
    showStatus();
}

void MainWindow::report(const QString& title, const QString& text, OpenedBy openedBy)
{
    if (openedBy != OpenedBy::User) return;
    if (errorBox_ == nullptr) {
        errorBox_ = new QMessageBox(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok, this);
        errorBox_->setObjectName(QStringLiteral("openError"));
        errorBox_->setWindowModality(Qt::WindowModal);
    }
    errorBox_->setWindowTitle(title);
    errorBox_->setText(text);
    errorBox_->open();
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

void MainWindow::fillRecentMenu()
{
    recentMenu_->clear();
    const QStringList& files = recentFiles_.files();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString file = files[i];
        // Numbered for the keyboard; the file name alone, the whole path in the status bar.
        QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(file).fileName().replace(u'&', QStringLiteral("&&"))));
        action->setStatusTip(QDir::toNativeSeparators(file));
        action->setToolTip(QDir::toNativeSeparators(file));
        connect(action, &QAction::triggered, this, [this, file] { openArchive(file); });
    }
    if (!files.isEmpty()) recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction(tr("&Clear List"), this, [this] { recentFiles_.clear(); });
    clear->setEnabled(!files.isEmpty());
}

void MainWindow::copySelected(int role) const
{
    const QAbstractItemView* view = archive_->currentView();
    if (view->selectionModel() == nullptr) return;
    QModelIndexList rows = view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex& row : rows) {
        if (!nameFilter_->isShown(row.row())) continue;
        // A row that is no member's has no path: its name stands in.
        const QString text = row.data(role).toString();
        lines.append(text.isEmpty() ? row.data().toString() : text);
    }
    if (!lines.isEmpty()) QGuiApplication::clipboard()->setText(lines.join(u'\n'));
}

void MainWindow::showProperties()
{
    qt::PropertyPageDialog page([this] { return std::vector<QuenArchive*>{&archive_->control()}; }, this);
    // The page sets Archive on the control itself; the window takes what it opened as shown.
    connect(&page, &qt::PropertyPageDialog::applied, this, [this] {
        shownArchive_ = archive_->lastError().number == 0 ? archive_->archive().trimmed() : QString();
        notice_.clear();
        nameFilter_->apply();
        columnSizer_->fit();
        showStatus();
    });
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
    const bool shown = !shownArchive_.isEmpty();
    const bool valid = control.ArchiveType() != invalidArchiveText;
    // The row that says the file is no archive is not a member.
    const int members = nameFilter_->totalRows() - (shown && !valid ? 1 : 0);
    if (!shown)
        countLabel_->clear();
    else if (nameFilter_->isActive())
        countLabel_->setText(tr("%1 of %2 shown").arg(QLocale().toString(nameFilter_->shownRows()), memberCount(members)));
    else
        countLabel_->setText(memberCount(members));
    typeLabel_->setText(shown && valid ? QString::fromStdString(control.ArchiveType()) : QString());
    const QString comment = shown ? QString::fromStdString(control.FileComment()) : QString();
    commentLabel_->setText(comment.simplified());
    commentLabel_->setToolTip(comment);
    noticeLabel_->setText(notice_);
    noticeLabel_->setVisible(!notice_.isEmpty());
    noticeIcon_->setVisible(!notice_.isEmpty());

    reloadAction_->setEnabled(shown);
    closeAction_->setEnabled(shown);
    setWindowTitle(shown ? tr("%1 - quenarch-view").arg(QFileInfo(shownArchive_).fileName()) : QStringLiteral("quenarch-view"));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    saveSettings();
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
