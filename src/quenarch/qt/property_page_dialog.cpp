#include "quenarch/qt/property_page_dialog.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/base/file_search.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/qt/conversions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace quenarch::qt {
namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

// Whether path lies on the volume mounted at root.
bool isOnVolume(const QString& path, const QString& root)
{
    if (root == QLatin1String("/")) return path.startsWith(u'/');
    return path == root || path.startsWith(root + u'/');
}

// The folder the file browser opens in: the folder of the first selected control's archive,
// the process's working folder when it has none. The control reads its archive back
// upper-cased, so the folder is found without regard to letter case; for an archive that has
// gone, its folder serves while it is there.
QString startFolder(const std::vector<QuenArchive*>& controls)
{
    const QString working = QDir::currentPath();
    if (controls.empty()) return working;
    const QuenArchive& first = *controls.front();
    const QString archive = QString::fromStdString(toText(first.Archive(), *first.platform().locale));
    if (archive.trimmed().isEmpty()) return working;
    const auto absolute = [](const std::filesystem::path& found) { return QFileInfo(QString::fromStdString(found.string())).absoluteFilePath(); };
    if (const auto file = locateFile(archive.toStdString())) return QFileInfo(absolute(*file)).absolutePath();
    const qsizetype separator = std::max(archive.lastIndexOf(u'/'), archive.lastIndexOf(u'\\'));
    if (separator < 0) return working;
    const auto folder = locateFile(archive.left(std::max<qsizetype>(separator, 1)).toStdString());
    return folder && std::filesystem::is_directory(*folder) ? absolute(*folder) : working;
}

} // namespace

PropertyPageDialog::PropertyPageDialog(Selection selection, QWidget* parent)
    : QDialog(parent), selection_(std::move(selection)), page_(*this, startFolder(selection_()).toStdString())
{
    // The page keeps its own name; the window says what it edits.
    setObjectName(QStringLiteral("ViewProperties"));
    setWindowTitle(tr("Quen Archive Control Properties"));

    auto* page = new QWidget(this);
    layOutPage(page);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    applyButton_ = buttons->button(QDialogButtonBox::Apply);
    connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, [this] {
        if (!changed_ || apply()) accept();
    });
    connect(applyButton_, &QPushButton::clicked, this, [this] { apply(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(page);
    layout->addWidget(buttons);

    connectEdits();
    reload();
}

PropertyPageDialog::~PropertyPageDialog() = default;

QRect PropertyPageDialog::twipsToPixels(int left, int top, int width, int height) const
{
    const auto x = [this](int twips) { return qRound(pixelsFromTwips(twips, logicalDpiX())); };
    const auto y = [this](int twips) { return qRound(pixelsFromTwips(twips, logicalDpiY())); };
    return QRect(x(left), y(top), x(width), y(height));
}

void PropertyPageDialog::layOutPage(QWidget* page)
{
    page->setFixedSize(twipsToPixels(0, 0, clientWidthTwips, clientHeightTwips).size());

    auto* frame = new QGroupBox(QStringLiteral("Archive"), page);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsToPixels(360, 120, 4575, 3135));

    archiveText_ = new QLineEdit(frame);
    archiveText_->setObjectName(QStringLiteral("txtarchive"));
    archiveText_->setGeometry(twipsToPixels(120, 240, 4335, 315));

    fileBox_ = new QListWidget(frame);
    fileBox_->setObjectName(QStringLiteral("File1"));
    fileBox_->setGeometry(twipsToPixels(120, 600, 2295, 2430));

    folderModel_ = new QFileSystemModel(this);
    folderModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    folderModel_->setRootPath(QStringLiteral("/"));
    folderBox_ = new QTreeView(frame);
    folderBox_->setObjectName(QStringLiteral("Dir1"));
    folderBox_->setModel(folderModel_);
    folderBox_->setHeaderHidden(true);
    for (int column = 1; column < folderModel_->columnCount(); ++column) folderBox_->hideColumn(column);
    folderBox_->setGeometry(twipsToPixels(2400, 600, 2055, 2115));
    folderBox_->setIndentation(folderBox_->indentation() / 2);
    // Deep folders scroll sideways instead of being cut short.
    folderBox_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    folderBox_->header()->setStretchLastSection(false);
    // The model reads directories in the background and inserts and sorts their entries later,
    // moving the current folder's row: it is kept in view until the user moves the view.
    const auto keepCurrentFolderInView = [this] {
        if (followCurrentFolder_) folderBox_->scrollTo(folderBox_->currentIndex());
    };
    connect(folderModel_, &QFileSystemModel::rowsInserted, this, keepCurrentFolderInView);
    connect(folderModel_, &QFileSystemModel::layoutChanged, this, keepCurrentFolderInView);
    const auto userMovedTheView = [this] { followCurrentFolder_ = false; };
    connect(folderBox_, &QTreeView::expanded, this, userMovedTheView);
    connect(folderBox_, &QTreeView::collapsed, this, userMovedTheView);
    connect(folderBox_->verticalScrollBar(), &QScrollBar::actionTriggered, this, userMovedTheView);

    driveBox_ = new QComboBox(frame);
    driveBox_->setObjectName(QStringLiteral("Drive1"));
    for (const QString& root : volumeRoots()) driveBox_->addItem(root, root);
    driveBox_->setGeometry(twipsToPixels(2400, 2760, 2055, 315));

    auto* viewLabel = new QLabel(QStringLiteral("View:"), page);
    viewLabel->setObjectName(QStringLiteral("lblView"));
    viewLabel->setGeometry(twipsToPixels(480, 3360, 2700, 360));

    viewList_ = new QComboBox(page);
    viewList_->setObjectName(QStringLiteral("cmbview"));
    viewList_->setEditable(false);
    for (std::string_view entry : ViewPropertiesPage::viewEntries)
        viewList_->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    viewList_->setGeometry(twipsToPixels(480, 3600, 3375, 315));
    viewLabel->setBuddy(viewList_);

    enabledBox_ = new QCheckBox(QStringLiteral("Enabled"), page);
    enabledBox_->setObjectName(QStringLiteral("chkEnabled"));
    enabledBox_->setGeometry(twipsToPixels(480, 4125, 2700, 285));

    visibleBox_ = new QCheckBox(QStringLiteral("Visible"), page);
    visibleBox_->setObjectName(QStringLiteral("chkVisible"));
    visibleBox_->setGeometry(twipsToPixels(480, 4665, 2700, 285));
}

// Only signals that the user's own actions raise are connected, so showing the page's values in
// the widgets never calls the page back.
void PropertyPageDialog::connectEdits()
{
    connect(archiveText_, &QLineEdit::textEdited, this, [this](const QString& text) {
        page_.setArchiveText(text.toStdString());
        showPageValues();
    });
    connect(visibleBox_, &QCheckBox::clicked, this, [this](bool checked) {
        page_.setVisibleValue(checked ? ViewPropertiesPage::checked : ViewPropertiesPage::unchecked);
        showPageValues();
    });
    connect(enabledBox_, &QCheckBox::clicked, this, [this](bool checked) {
        page_.setEnabledValue(checked ? ViewPropertiesPage::checked : ViewPropertiesPage::unchecked);
        showPageValues();
    });
    connect(viewList_, &QComboBox::activated, this, [this](int index) {
        page_.setViewIndex(index);
        showPageValues();
    });
    connect(driveBox_, &QComboBox::activated, this, [this](int index) {
        page_.chooseDrive(driveBox_->itemData(index).toString().toStdString());
        showPageValues();
    });
    const auto folderChosen = [this](const QModelIndex& index) {
        page_.chooseFolder(folderModel_->filePath(index).toStdString());
        showPageValues();
    };
    connect(folderBox_, &QTreeView::clicked, this, folderChosen);
    connect(folderBox_, &QTreeView::activated, this, folderChosen);
    const auto fileChosen = [this](QListWidgetItem* item) {
        page_.clickFile(item->text().toStdString());
        showPageValues();
    };
    connect(fileBox_, &QListWidget::itemClicked, this, fileChosen);
    connect(fileBox_, &QListWidget::itemActivated, this, fileChosen);
}

void PropertyPageDialog::reload()
{
    page_.SelectionChanged();
    showPageValues();
}

bool PropertyPageDialog::apply()
{
    bool succeeded = false;
    try {
        page_.ApplyChanges();
        succeeded = true;
    } catch (const AutomationError& error) {
        showError(tr("Error %1: %2").arg(error.number()).arg(fromUtf8(error.description())));
    } catch (const std::exception& error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
    // The designer clears the page's edits once they are applied.
    if (succeeded) changed_ = false;
    showPageValues();
    emit applied();
    return succeeded;
}

void PropertyPageDialog::showError(const QString& text)
{
    if (!errorBox_) {
        errorBox_ = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(), QMessageBox::Ok, this);
        errorBox_->setWindowModality(Qt::WindowModal);
    }
    errorBox_->setText(text);
    errorBox_->open();
}

void PropertyPageDialog::showPageValues()
{
    const QString archive = fromUtf8(page_.archiveText());
    if (archiveText_->text() != archive) archiveText_->setText(archive);
    visibleBox_->setChecked(page_.visibleValue() == ViewPropertiesPage::checked);
    enabledBox_->setChecked(page_.enabledValue() == ViewPropertiesPage::checked);
    viewList_->setCurrentIndex(page_.viewIndex());
    showFolder(fromUtf8(page_.folder()));
    const QString fileFolder = fromUtf8(page_.fileFolder());
    if (fileFolder != fileBoxFolder_) fillFileBox(fileFolder);
    applyButton_->setEnabled(changed_);
}

void PropertyPageDialog::showFolder(const QString& folder)
{
    // The drive box shows the innermost volume that holds the folder.
    int volume = -1;
    for (int row = 0; row < driveBox_->count(); ++row) {
        const QString root = driveBox_->itemData(row).toString();
        if (isOnVolume(folder, root) && (volume < 0 || root.size() > driveBox_->itemData(volume).toString().size()))
            volume = row;
    }
    driveBox_->setCurrentIndex(volume);

    const QModelIndex index = folderModel_->index(folder);
    if (index == folderBox_->currentIndex()) return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) folderBox_->expand(parent);
    folderBox_->setCurrentIndex(index);
    folderBox_->scrollTo(index);
    followCurrentFolder_ = true;
}

void PropertyPageDialog::fillFileBox(const QString& folder)
{
    fileBoxFolder_ = folder;
    fileBox_->clear();
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        if (ViewPropertiesPage::matchesFilePattern(name.toStdString())) fileBox_->addItem(name);
}

QStringList PropertyPageDialog::volumeRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && QFileInfo(root).isDir() && !roots.contains(root)) roots.append(root);
    }
    // The root file system is there even where the mount table cannot be read.
    if (!roots.contains(QStringLiteral("/"))) roots.append(QStringLiteral("/"));
    std::sort(roots.begin(), roots.end());
    return roots;
}

std::vector<QuenArchive*> PropertyPageDialog::selectedControls() { return selection_(); }

void PropertyPageDialog::setChanged()
{
    changed_ = true;
    if (applyButton_) applyButton_->setEnabled(true);
}

void PropertyPageDialog::processMessages() { QCoreApplication::processEvents(); }

} // namespace quenarch::qt
