#include "app/FirstStart.h"

#include <QDir>
#include <QFileInfo>

#include "db/DbError.h"
#include "db/Maintenance.h"
#include "platform/Desktop.h"

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
    const std::string partial = (catalogue + ".partial").toStdString();
    namespace maintenance = db::maintenance;
    try {
        maintenance::copyFile(templateFile.toStdString(), partial);
        if (!maintenance::placeFile(partial, catalogue.toStdString())) {
            maintenance::removeFile(partial);  // another start made it first: theirs stays
            return {FirstStart::AlreadyThere, {}};
        }
    } catch (const db::DbError& error) {
        try {
            maintenance::removeFile(partial);
        } catch (const db::DbError&) {
            // The failure below is what the user needs to hear.
        }
        return {FirstStart::Failed, QString::fromStdString(error.description)};
    }
    return {FirstStart::Copied, {}};
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
