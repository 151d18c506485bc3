#pragma once

#include <QMainWindow>

class QActionGroup;
class QLabel;
class QSettings;

namespace quenarch::qt {
class QuenArchiveWidget;
}

namespace quenarch::view {

// The viewer's window: the archive control over the whole client area, the File, Edit, View and
// Help menus, and a status bar with the member count, the archive type and its comment.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    struct Options {
        // Where the window geometry and the last folder are kept; none: remember nothing.
        QSettings* settings = nullptr;
        // Errors go to message boxes; without, only to lastOpenError().
        bool showErrors = true;
    };

    explicit MainWindow(Options options);

    // Opens an archive in the control; false when the control refused it.
    bool openArchive(const QString& path);
    QString lastOpenError() const { return lastOpenError_; }

    qt::QuenArchiveWidget& archiveControl() const { return *archive_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void chooseArchive();
    void showProperties();
    void showViewMode();
    void showStatus();

    Options options_;
    qt::QuenArchiveWidget* archive_;
    QActionGroup* viewModes_ = nullptr;
    QLabel* countLabel_;
    QLabel* typeLabel_;
    QLabel* commentLabel_;
    QString lastOpenError_;
};

} // namespace quenarch::view
