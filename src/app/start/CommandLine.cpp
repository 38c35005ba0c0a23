#include "app/start/CommandLine.h"

namespace app {
namespace {

// The toolkit's own options (with one dash or two), which it takes out of the line itself;
// the first ones are followed by a value, unless it is given after "=".
const QStringList ToolkitOptionsWithValue = {"platform",
                                             "platformpluginpath",
                                             "platformtheme",
                                             "plugin",
                                             "qwindowgeometry",
                                             "qwindowicon",
                                             "qwindowtitle",
                                             "session",
                                             "display",
                                             "geometry",
                                             "style",
                                             "stylesheet",
                                             "title",
                                             "name",
                                             "visual",
                                             "font",
                                             "fn",
                                             "bg",
                                             "background",
                                             "fg",
                                             "foreground",
                                             "btn",
                                             "button",
                                             "im",
                                             "inputstyle",
                                             "ncols",
                                             "cmap",
                                             "qmljsdebugger"};
const QStringList ToolkitOptionsAlone = {"reverse", "widgetcount", "nograb",
                                         "dograb",  "sync",        "testability"};

// How many arguments a toolkit option at `argument` takes up (with its value); 0 when it is
// not one.
int toolkitOption(const QString& argument, bool valueFollows) {
    if (!argument.startsWith('-')) {
        return 0;
    }
    const QString name = argument.mid(argument.startsWith("--") ? 2 : 1).section('=', 0, 0);
    if (ToolkitOptionsAlone.contains(name) && !argument.contains('=')) {
        return 1;
    }
    if (ToolkitOptionsWithValue.contains(name)) {
        return argument.contains('=') || !valueFollows ? 1 : 2;
    }
    return 0;
}

}  // namespace

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
        } else if (const int taken = toolkitOption(argument, i + 1 < arguments.size())) {
            line.others << arguments.mid(i, taken);
            i += taken - 1;
            continue;
        } else {
            // Found out here, before the toolkit looks for a display it may not find.
            fail("unknown argument '" + argument + "'.");
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
