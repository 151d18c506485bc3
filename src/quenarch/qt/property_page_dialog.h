#pragma once

#include "quenarch/dialogs/view_properties_page.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListWidget;
class QMessageBox;
class QPushButton;
class QTreeView;

namespace quenarch {
class QuenArchive;
}

namespace quenarch::qt {

// The control's property page "ViewProperties" (its object name; the window's title is for
// people) as a dialog: the archive path with a small file browser, the view mode and the Enabled
// and Visible flags of the selected controls, with the designer's Apply, OK and Cancel commands
// below the page.
//
// What the page does lives in ViewPropertiesPage; this dialog shows its values and hands it the
// user's edits. On Linux:
// - the drive box lists the roots of the mounted volumes that QStorageInfo reports valid and
//   ready ("/" first), since there are no drive letters;
// - the folder box is the tree of the file system's directories (QFileSystemModel), the current
//   folder chosen and scrolled into view; choosing a drive moves it to the volume's root;
// - the file box lists the files of the folder box's directory whose names match the page's
//   masks, without regard to letter case (blanks around a mask are not part of it);
// - a clicked file is joined to its folder with "/";
// - the boxes start at the folder of the first selected control's archive, or at the process's
//   current directory when it has none.
// Apply is enabled while the page holds edits. An error that applying raises (a missing archive,
// say) is shown in a message box naming its number and description; the page stays open and
// keeps its edits. OK applies the edits, if any, and closes when that succeeded.
class PropertyPageDialog : public QDialog, private PropertyPageSite {
    Q_OBJECT

public:
    // The selected controls, the first one first; asked on every load and apply.
    using Selection = std::function<std::vector<QuenArchive*>()>;

    explicit PropertyPageDialog(Selection selection, QWidget* parent = nullptr);
    ~PropertyPageDialog() override;

    // The page's client area, in twips.
    static constexpr int clientWidthTwips = 5505;
    static constexpr int clientHeightTwips = 5445;

    // The boxes take the first selected control's values again (the selection changed).
    void reload();
    // Writes the page to the selected controls. False when an error stopped it; the error is
    // then on show in a message box.
    bool apply();
    bool isChanged() const { return changed_; }

    // The roots of the mounted volumes that are valid, ready directories, sorted; "/" always.
    static QStringList volumeRoots();

signals:
    // An apply has run, to its end or to an error: the properties written so far keep their new
    // values.
    void applied();

private:
    std::vector<QuenArchive*> selectedControls() override;
    void setChanged() override;
    void processMessages() override;

    void layOutPage(QWidget* page);
    void connectEdits();
    // Shows the page's values; never calls back into the page.
    void showPageValues();
    void showFolder(const QString& folder);
    void fillFileBox(const QString& folder);
    void showError(const QString& text);
    QRect twipsToPixels(int left, int top, int width, int height) const;

    Selection selection_;
    ViewPropertiesPage page_;
    bool changed_ = false;
    QString fileBoxFolder_;
    // The folder box scrolls to the current folder as the directories above it load.
    bool followCurrentFolder_ = false;

    QLineEdit* archiveText_ = nullptr;
    QListWidget* fileBox_ = nullptr;
    QTreeView* folderBox_ = nullptr;
    QFileSystemModel* folderModel_ = nullptr;
    QComboBox* driveBox_ = nullptr;
    QComboBox* viewList_ = nullptr;
    QCheckBox* enabledBox_ = nullptr;
    QCheckBox* visibleBox_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QMessageBox* errorBox_ = nullptr;
};

} // namespace quenarch::qt
