#pragma once
// What the command line asks for: a definition to open at start, or an answer on the
// terminal (help, version, a usage error, or how to start without a display) instead of
// a window.

#include <QString>

struct CommandLine {
    QString definition;   // the definition to open at start, as an absolute path
    QString answer;       // text for the terminal; the program then ends with exitCode
    int exitCode = 0;
};

// Reads the arguments (argv[0] is the program) and the environment's display; the help
// names `filesFolder`, where the settings file and tag database are kept.
CommandLine parseCommandLine(int argc, const char *const *argv, const QString &filesFolder = QString());
