#pragma once

#include <QString>
#include <QStringList>

// The program's command line, read before any window (or display) is needed.
namespace app {

struct CommandLine {
    enum Action { Run, Help, Version, Fail } action = Run;
    QString catalogue;   // --catalogue FILE; empty when not given
    QString error;       // for Fail: what is wrong with the line
    QStringList others;  // arguments that are not the program's own (maybe the toolkit's)
};

// Reads the arguments after the program's name. --help and --version win over the rest.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();

}  // namespace app
