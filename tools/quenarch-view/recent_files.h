#pragma once

#include <QStringList>

class QSettings;

namespace quenarch::view {

// The archives opened last, the latest first, kept in the viewer's settings so that they outlive
// the run. Paths are absolute; each appears once.
class RecentFiles {
public:
    static constexpr int maximum = 8;

    // Reads the list from settings; without settings the list lives for the run only.
    explicit RecentFiles(QSettings* settings);

    const QStringList& files() const { return files_; }
    // Puts path first, dropping an earlier mention and the oldest beyond the maximum.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

private:
    void save() const;

    QSettings* settings_;
    QStringList files_;
};

} // namespace quenarch::view
