#include "app/start/FirstStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/ReplacingFile.h"
#include "platform/Desktop.h"
#include "repair/Leftovers.h"

namespace app {

FirstStart provideCatalogue(const QString& templateFile, const QString& catalogue) {
    if (QFileInfo::exists(catalogue)) {
        return {FirstStart::AlreadyThere, {}};
    }
    const QString folder = QFileInfo(catalogue).absolutePath();
    if (!QDir().mkpath(folder)) {
        return {FirstStart::Failed,
                "The folder " + QDir::toNativeSeparators(folder) + " could not be made."};
    }
    if (!QFileInfo(templateFile).isFile()) {
        return {FirstStart::Failed, "The empty catalogue " +
                                        QDir::toNativeSeparators(templateFile) +
                                        " that the program ships is missing."};
    }
    try {
        // Put in place only whole, and only if another start has not made it first.
        if (!files::copyFile(templateFile.toStdString(), catalogue.toStdString(),
                             files::ReplacingFile::Placing::KeepExisting)) {
            return {FirstStart::AlreadyThere, {}};
        }
    } catch (const files::FileError& error) {
        return {FirstStart::Failed, QString::fromStdString(error.what())};
    }
    return {FirstStart::Copied, {}};
}

void clearLeftovers(const QString& folder) {
    const std::string path = QFile::encodeName(folder).toStdString();
    files::removeLeftovers(path);
    db::maintenance::removeRebuiltLeftovers(path);
}

bool reportFirstStart(platform::Desktop& desktop, const FirstStart& result,
                      const QString& catalogue) {
    const QString file = QDir::toNativeSeparators(catalogue);
    switch (result.outcome) {
        case FirstStart::AlreadyThere:
            return true;
        case FirstStart::Copied:
            desktop.messageBox("Your catalogue is kept in the file\r\n" + file +
                                   "\r\n\r\nIt starts with no recordings, ready for yours.",
                               platform::Buttons::Ok, platform::Icon::Information);
            return true;
        case FirstStart::Failed:
            break;
    }
    desktop.messageBox("Your catalogue " + file + " could not be made.\r\n\r\n" + result.why,
                       platform::Buttons::Ok, platform::Icon::Critical);
    return false;
}

}  // namespace app
