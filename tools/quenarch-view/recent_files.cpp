#include "recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace quenarch::view {
namespace {

const QString recentFilesKey = QStringLiteral("recentFiles");

QString absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

} // namespace

RecentFiles::RecentFiles(QSettings* settings) : settings_(settings)
{
    if (settings_ == nullptr) return;
    // The settings file may have been edited by hand: blanks and repeats are dropped.
    for (const QString& path : settings_->value(recentFilesKey).toStringList())
        if (!path.isEmpty() && !files_.contains(absolute(path)) && files_.size() < maximum) files_.append(absolute(path));
}

void RecentFiles::add(const QString& path)
{
    const QString file = absolute(path);
    files_.removeAll(file);
    files_.prepend(file);
    while (files_.size() > maximum) files_.removeLast();
    save();
}

void RecentFiles::remove(const QString& path)
{
    if (files_.removeAll(absolute(path)) > 0) save();
}

void RecentFiles::clear()
{
    files_.clear();
    save();
}

void RecentFiles::save() const
{
    if (settings_ != nullptr) settings_->setValue(recentFilesKey, files_);
}

} // namespace quenarch::view
