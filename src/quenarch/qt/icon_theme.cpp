#include "quenarch/qt/icon_theme.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <climits>

namespace quenarch::qt {
namespace {

constexpr QLatin1String iconExtensions[] = {QLatin1String(".png"), QLatin1String(".svg"), QLatin1String(".xpm")};

const QString fallbackTheme = QStringLiteral("hicolor");

QSet<QString> fileNamesIn(const QString& folder)
{
    QSet<QString> names;
    for (QDirIterator entries(folder, QDir::Files); entries.hasNext();) {
        entries.next();
        names.insert(entries.fileName());
    }
    return names;
}

QString configuredIconTheme()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString gtk = QSettings(config + QStringLiteral("/gtk-3.0/settings.ini"), QSettings::IniFormat)
                            .value(QStringLiteral("Settings/gtk-icon-theme-name"))
                            .toString();
    if (!gtk.isEmpty()) return gtk;
    return QSettings(config + QStringLiteral("/kdeglobals"), QSettings::IniFormat).value(QStringLiteral("Icons/Theme")).toString();
}

} // namespace

IconThemeLocations desktopIconThemeLocations()
{
    IconThemeLocations locations;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        locations.themeName = QIcon::themeName();
        locations.themeFolders = QIcon::themeSearchPaths();
    }
    // A platform theme that knows no desktop setting names hicolor, which is searched last anyway.
    if (locations.themeName.isEmpty() || locations.themeName == fallbackTheme) locations.themeName = configuredIconTheme();
    if (locations.themeName.isEmpty()) locations.themeName = QStringLiteral("Adwaita");

    locations.themeFolders << QDir::homePath() + QStringLiteral("/.icons");
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        locations.themeFolders << data + QStringLiteral("/icons");
        locations.pixmapFolders << data + QStringLiteral("/pixmaps");
    }
    locations.themeFolders.removeDuplicates();
    locations.pixmapFolders.removeDuplicates();
    return locations;
}

int IconThemeLookup::Directory::distance(int iconSize) const
{
    switch (type) {
    case Type::Fixed: return std::abs(size - iconSize);
    case Type::Scalable: return std::max({minSize - iconSize, iconSize - maxSize, 0});
    case Type::Threshold: return std::max({size - threshold - iconSize, iconSize - size - threshold, 0});
    }
    return INT_MAX;
}

IconThemeLookup::IconThemeLookup(const IconThemeLocations& locations) : pixmapFolders_(locations.pixmapFolders)
{
    addTheme(locations.themeName, locations.themeFolders);
    addTheme(fallbackTheme, locations.themeFolders);
}

void IconThemeLookup::addTheme(const QString& name, const QStringList& themeFolders)
{
    if (name.isEmpty() || std::any_of(themes_.begin(), themes_.end(), [&](const Theme& theme) { return theme.name == name; }))
        return;
    Theme theme{name, {}, {}};
    QString indexFile;
    for (const QString& folder : themeFolders) {
        const QString themeFolder = folder + u'/' + name;
        if (!QFileInfo(themeFolder).isDir()) continue;
        theme.folders << themeFolder;
        if (indexFile.isEmpty() && QFileInfo::exists(themeFolder + QStringLiteral("/index.theme")))
            indexFile = themeFolder + QStringLiteral("/index.theme");
    }
    if (indexFile.isEmpty()) return;

    QSettings index(indexFile, QSettings::IniFormat);
    for (const QString& path : index.value(QStringLiteral("Icon Theme/Directories")).toStringList()) {
        if (path.isEmpty()) continue;
        index.beginGroup(path);
        bool hasSize = false;
        Directory directory;
        directory.path = path;
        directory.fileNames.resize(static_cast<std::size_t>(theme.folders.size()));
        directory.size = index.value(QStringLiteral("Size")).toInt(&hasSize);
        directory.minSize = index.value(QStringLiteral("MinSize"), directory.size).toInt();
        directory.maxSize = index.value(QStringLiteral("MaxSize"), directory.size).toInt();
        directory.threshold = index.value(QStringLiteral("Threshold"), 2).toInt();
        const QString type = index.value(QStringLiteral("Type")).toString();
        if (type == u"Fixed")
            directory.type = Directory::Type::Fixed;
        else if (type == u"Scalable")
            directory.type = Directory::Type::Scalable;
        // Pictures for high-density screens are drawn at a multiple of their nominal size.
        const bool unscaled = index.value(QStringLiteral("Scale"), 1).toInt() == 1;
        index.endGroup();
        if (hasSize && unscaled) theme.directories.push_back(std::move(directory));
    }
    const QStringList parents = index.value(QStringLiteral("Icon Theme/Inherits")).toStringList();
    themes_.push_back(std::move(theme));
    for (const QString& parent : parents) addTheme(parent, themeFolders);
}

QString IconThemeLookup::findIcon(const QString& name, int size)
{
    for (Theme& theme : themes_) {
        QString file = findInTheme(theme, name, size);
        if (!file.isEmpty()) return file;
    }
    for (const QString& folder : pixmapFolders_) {
        for (const QLatin1String extension : iconExtensions) {
            QString file = folder + u'/' + name + extension;
            if (QFileInfo::exists(file)) return file;
        }
    }
    return {};
}

QString IconThemeLookup::findInTheme(Theme& theme, const QString& name, int size)
{
    QStringList fileNames;
    for (const QLatin1String extension : iconExtensions) fileNames << name + extension;

    for (const QString& fileName : fileNames) {
        for (Directory& directory : theme.directories) {
            if (directory.distance(size) != 0) continue;
            QString file = fileIn(theme, directory, fileName);
            if (!file.isEmpty()) return file;
        }
    }
    QString closest;
    int closestDistance = INT_MAX;
    for (Directory& directory : theme.directories) {
        const int distance = directory.distance(size);
        if (distance >= closestDistance) continue;
        for (const QString& fileName : fileNames) {
            QString file = fileIn(theme, directory, fileName);
            if (file.isEmpty()) continue;
            closest = std::move(file);
            closestDistance = distance;
            break;
        }
    }
    return closest;
}

QString IconThemeLookup::fileIn(const Theme& theme, Directory& directory, const QString& fileName)
{
    for (qsizetype i = 0; i < theme.folders.size(); ++i) {
        std::optional<QSet<QString>>& names = directory.fileNames[static_cast<std::size_t>(i)];
        if (!names) names = fileNamesIn(theme.folders[i] + u'/' + directory.path);
        if (names->contains(fileName)) return theme.folders[i] + u'/' + directory.path + u'/' + fileName;
    }
    return {};
}

} // namespace quenarch::qt
