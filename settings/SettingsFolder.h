#pragma once
// Where the program keeps its settings file and tag database. A program whose own folder
// holds a settings file it can write (a build folder, a portable copy) keeps them there;
// an installed one keeps them in the user's configuration folder, where a first start
// copies the defaults installed with the program.

#include <QString>
#include <QStringList>

namespace settingsFolder {

struct Choice {
    QString folder;     // where the files are read and written
    QString defaults;   // where a missing file is copied from; empty beside the program
};

// The folder holding an installed program's defaults: share/pagekiln beside its bin folder.
QString installedDefaults(const QString &programFolder);

// Chooses between the program's folder and `userFolder` for a program in `programFolder`
// whose settings file is named `settingsName`. In the user's folder, the defaults are the
// program folder's own files when it holds a settings file (it cannot write them), else
// the installed ones.
Choice choose(const QString &programFolder, const QString &userFolder, const QString &settingsName);

// Copies each of `names` that `choice.folder` does not hold from `choice.defaults`,
// creating the folder; files already there stay as they are. Nothing to do beside the
// program. On failure returns false, and `failedPath` and `reason` say which file and why.
bool placeDefaults(const Choice &choice, const QStringList &names, QString *failedPath, QString *reason);

}   // namespace settingsFolder
