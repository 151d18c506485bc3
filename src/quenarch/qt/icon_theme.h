#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quenarch::qt {

// Where the desktop keeps its icons.
struct IconThemeLocations {
    QString themeName;         // the chosen freedesktop icon theme
    QStringList themeFolders;  // folders holding themes as sub-folders, searched in order
    QStringList pixmapFolders; // folders of icons that belong to no theme
};

// The desktop's icon theme: the one the platform theme names when a QGuiApplication runs, else
// the user's GTK or KDE setting, else Adwaita (GTK's own default); the folders are the
// QIcon search paths (with a QGuiApplication), ~/.icons and the icons and pixmaps folders of
// the XDG data folders.
IconThemeLocations desktopIconThemeLocations();

// Finds icon files by name as the freedesktop icon theme rules say: in the theme, then in the
// themes it inherits, then in hicolor, each first by exact size (PNG before SVG and XPM), then
// by nearest size; last in the pixmap folders. Reads the index.theme files when made and lists
// each icon directory the first time a search reaches it, so that a name missing from a theme
// of hundreds of directories costs no more than hash look-ups. Not for concurrent use.
class IconThemeLookup {
public:
    explicit IconThemeLookup(const IconThemeLocations& locations);

    // The file of the icon nearest to size pixels, or the empty text.
    QString findIcon(const QString& name, int size);

private:
    struct Directory {
        enum class Type { Fixed, Scalable, Threshold };
        QString path;
        Type type = Type::Threshold;
        int size = 0;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;

        std::vector<std::optional<QSet<QString>>> fileNames; // per folder of the theme, once listed

        // 0 when the directory serves that size.
        int distance(int iconSize) const;
    };
    struct Theme {
        QString name;
        QStringList folders; // every folder of the theme, in search order
        std::vector<Directory> directories;
    };

    void addTheme(const QString& name, const QStringList& themeFolders);
    static QString findInTheme(Theme& theme, const QString& name, int size);
    static QString fileIn(const Theme& theme, Directory& directory, const QString& fileName);

    std::vector<Theme> themes_;
    QStringList pixmapFolders_;
};

} // namespace quenarch::qt
