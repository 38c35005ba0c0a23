#include "app/CommandLine.h"

namespace app {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    auto fail = [&](const QString& why) {
        if (line.action == CommandLine::Run) {
            line.action = CommandLine::Fail;
            line.error = why;
        }
    };
    const QString option = QStringLiteral("--catalogue");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString file;
        if (argument == "--help" || argument == "-h" || argument == "--version") {
            line.action = argument == "--version" ? CommandLine::Version : CommandLine::Help;
            line.error.clear();
            return line;
        }
        if (argument == option) {
            if (i + 1 == arguments.size()) {
                fail(option + " needs the name of a catalogue file.");
                continue;
            }
            file = arguments[++i];
        } else if (argument.startsWith(option + "=")) {
            file = argument.mid(option.size() + 1);
        } else {
            line.others << argument;
            continue;
        }
        if (file.isEmpty()) {
            fail(option + " needs the name of a catalogue file.");
        } else if (!line.catalogue.isEmpty()) {
            fail(option + " may be given once.");
        } else {
            line.catalogue = file;
        }
    }
    return line;
}

QString usageText() {
    return QStringLiteral(
        "Usage: quorvane [--catalogue FILE]\n"
        "A catalogue of a collection of recordings.\n"
        "\n"
        "  --catalogue FILE  work on the catalogue FILE (it must exist); its folder holds\n"
        "                    this run's repair files and is searched first for reports,\n"
        "                    help and tune\n"
        "  -h, --help        show this help and end\n"
        "  --version         show the version and end\n"
        "\n"
        "Without --catalogue the catalogue is Zembo.mdb beside the program when it is there,\n"
        "else Zembo.mdb in $XDG_DATA_HOME/quorvane (~/.local/share/quorvane), made empty on\n"
        "the first start.\n");
}

QString versionText() {
    return QStringLiteral("quorvane %1.%2.%3\n")
        .arg(QUORVANE_VERSION_MAJOR)
        .arg(QUORVANE_VERSION_MINOR)
        .arg(QUORVANE_VERSION_PATCH);
}

}  // namespace app
