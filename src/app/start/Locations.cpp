#include "app/start/Locations.h"

#include <QDir>
#include <QFileInfo>

namespace app {

QString userDataFolder(const QString& xdgDataHome, const QString& home) {
    const QString base = !xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : home + "/.local/share";
    return QDir::cleanPath(base + "/quorvane");
}

QString shareFolder(const QString& programDir, const QString& shareRelative) {
    return QDir::cleanPath(programDir + "/" + shareRelative);
}

Locations chooseLocations(const QString& programDir, const QString& catalogueFile,
                          const QString& userFolder, const QString& shareDir) {
    const QStringList resourceDirs{QDir::cleanPath(programDir), shareDir};
    if (!catalogueFile.isEmpty()) {
        const QFileInfo file(catalogueFile);
        return {QDir::cleanPath(file.absolutePath()), file.fileName(), shareDir, resourceDirs,
                false};
    }
    if (QFileInfo::exists(QDir(programDir).filePath(CatalogueFileName))) {
        return {QDir::cleanPath(programDir), CatalogueFileName, shareDir, resourceDirs, false};
    }
    return {userFolder, CatalogueFileName, shareDir, resourceDirs, true};
}

QString findResource(const QString& appDir, const QStringList& resourceDirs, const QString& name) {
    const QString beside = QDir(appDir).filePath(name);
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    for (const QString& folder : resourceDirs) {
        const QString there = QDir(folder).filePath(name);
        if (!folder.isEmpty() && QFileInfo::exists(there)) {
            return there;
        }
    }
    return beside;
}

}  // namespace app
