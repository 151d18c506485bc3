#pragma once

#include "recent_files.h"

#include <QMainWindow>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QSettings;

namespace quenarch::qt {
class QuenArchiveWidget;
}

namespace quenarch::view {

class ColumnSizer;
class NameFilter;

// The viewer's window: the archive control over the client area with a filter box above it,
// the File, Edit, View and Help menus, and a status bar with a notice when the last archive
// could not be shown, the member count, the archive type and its comment.
//
// The title and status bar describe the archive on show. When an archive cannot be opened at
// all, the control empties its list; the window then shows the archive it showed before again.
// An archive opened by the user's own action (the Open dialog, a recent file, a drop, Reload)
// that fails is also reported in a message box.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    struct Options {
        // Where the window's geometry, recent files, view, sort and column widths are kept;
        // none: remember nothing.
        QSettings* settings = nullptr;
    };

    enum class OpenedBy { User, CommandLine };

    explicit MainWindow(Options options);
    ~MainWindow() override;

    // Opens an archive in the control; false when it could not be opened or is no valid archive.
    bool openArchive(const QString& path, OpenedBy openedBy = OpenedBy::User);
    // Opens the archive on show again, as the user does with F5.
    void reload();
    // Shows no archive.
    void closeArchive();

    // The path of the archive on show, as it was given; empty when none is.
    QString shownArchive() const { return shownArchive_; }
    // Why the last open failed; empty after a success.
    QString lastOpenError() const { return lastOpenError_; }
    const RecentFiles& recentFiles() const { return recentFiles_; }
    NameFilter& nameFilter() const { return *nameFilter_; }
    ColumnSizer& columnSizer() const { return *columnSizer_; }
    qt::QuenArchiveWidget& archiveControl() const { return *archive_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void createFilterBar();
    void restoreSettings();
    void saveSettings() const;
    // Has the control open path, and brings the filter up to date.
    void showArchive(const QString& path);
    void chooseArchive();
    void fillRecentMenu();
    // Puts the selected rows' names (Qt::DisplayRole) or paths (ListModel::PathRole) on the
    // clipboard, one a line.
    void copySelected(int role) const;
    void showProperties();
    void showViewMode();
    void showStatus();
    void report(const QString& title, const QString& text, OpenedBy openedBy);

    Options options_;
    RecentFiles recentFiles_;
    qt::QuenArchiveWidget* archive_;
    NameFilter* nameFilter_;
    ColumnSizer* columnSizer_;
    QLineEdit* filterBox_ = nullptr;
    QActionGroup* viewModes_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* reloadAction_ = nullptr;
    QAction* closeAction_ = nullptr;
    QLabel* noticeIcon_;
    QLabel* noticeLabel_;
    QLabel* countLabel_;
    QLabel* typeLabel_;
    QLabel* commentLabel_;
    QMessageBox* errorBox_ = nullptr;
    QString shownArchive_;
    QString notice_;
    QString lastOpenError_;
};

} // namespace quenarch::view
