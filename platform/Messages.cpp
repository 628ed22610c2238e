#include "platform/Messages.h"
#include "platform/Platform.h"

namespace basSystem {

const QString messageTitle = QStringLiteral("HTML Editor");

QString AppFilePath(const QString &name)
{
    const QString folder = platform().programFolder();
    if (name.isEmpty())
        return folder;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

int ShowMessage(const QString &prompt, int style)
{
    return platform().messageBox(prompt, messageTitle, style);
}

}   // namespace basSystem
