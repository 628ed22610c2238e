#include "platform/FileDialog.h"
#include "common/TextHelpers.h"
#include "platform/Platform.h"

bool FileDialog::ShowOpen()
{
    return show(int(FileDialogMode::Open));
}

bool FileDialog::ShowSave()
{
    return show(int(FileDialogMode::Save));
}

bool FileDialog::show(int mode)
{
    const QString chosen = platform().runFileDialog(*this, FileDialogMode(mode));
    if (chosen.isEmpty())
        return false;
    FileName = withDefaultExtension(chosen, DefaultExt);
    FileTitle = fileTitleOf(FileName);
    return true;
}

QString FileDialog::folder() const
{
    return basSystem::folderOfChosenFile(FileName, FileTitle);
}

QString fileTitleOf(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    return path.mid(cut + 1);
}

QString withDefaultExtension(const QString &name, const QString &ext)
{
    if (ext.isEmpty())
        return name;
    const QString title = fileTitleOf(name);
    if (title.isEmpty() || title.contains(QLatin1Char('.')))
        return name;
    return name + QLatin1Char('.') + ext;
}
