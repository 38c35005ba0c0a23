#include "app/Locations.h"

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
    if (!catalogueFile.isEmpty()) {
        const QFileInfo file(catalogueFile);
        return {QDir::cleanPath(file.absolutePath()), file.fileName(), shareDir, false};
    }
    if (QFileInfo::exists(QDir(programDir).filePath(CatalogueFileName))) {
        return {QDir::cleanPath(programDir), CatalogueFileName, shareDir, false};
    }
    return {userFolder, CatalogueFileName, shareDir, true};
}

QString findResource(const QString& appDir, const QString& shareDir, const QString& name) {
    const QString beside = QDir(appDir).filePath(name);
    if (QFileInfo::exists(beside) || shareDir.isEmpty()) {
        return beside;
    }
    const QString installed = QDir(shareDir).filePath(name);
    return QFileInfo::exists(installed) ? installed : beside;
}

QString findResource(const Locations& where, const QString& name) {
    return findResource(where.appDir, where.shareDir, name);
}

}  // namespace app
