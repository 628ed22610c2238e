#pragma once
#include <QString>

// One file dialog of a window, with the properties its callers set and read. The
// object keeps its values between showings, so a dialog that chose a file before
// proposes that file again.
class FileDialog
{
public:
    QString DialogTitle;
    QString Filter;        // "description|pattern|description|pattern"
    int FilterIndex = 1;   // the pair selected when the dialog opens, from 1
    QString DefaultExt;    // without the dot; appended to a name typed without extension
    QString InitDir;
    QString FileName;    // in: the name proposed; out: the chosen full path
    QString FileTitle;   // out: the chosen file's name without its folder

    // Shows the dialog; false when the user cancelled (FileName and FileTitle stay). A
    // cancel is always reported, so callers need no switch for it.
    bool ShowOpen();
    bool ShowSave();

    // The chosen file's folder, with its trailing separator: the first
    // (length of FileName - length of FileTitle) characters of FileName.
    QString folder() const;

private:
    bool show(int mode);
};

// The name part of a path: everything after its last separator.
QString fileTitleOf(const QString &path);
// `name` with ".ext" appended when its file name part has no extension.
QString withDefaultExtension(const QString &name, const QString &ext);
