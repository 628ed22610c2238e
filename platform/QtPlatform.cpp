#include "platform/QtPlatform.h"
#include "platform/DesktopOpener.h"
#include "platform/PlatformTexts.h"
#include "platform/FileDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <utility>

namespace {
QString gProgramFolderOverride;
QString gDefaultsFolder;

double twipsPerPixel(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

// The window a box of ours opens over, centred: an open dialog of ours, else the frame, also
// while another program is active or the frame's own window has not taken the focus yet.
QWidget *dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (qobject_cast<QMainWindow *>(window) && window->isVisible())
            return window;
    return QApplication::activeWindow();
}

}   // namespace

YesNoChoice QtPlatform::askYesNoBox(QMessageBox::Icon icon, const QString &prompt, const QString &title,
                                    bool yesDefault)
{
    QMessageBox box(icon, title, prompt, QMessageBox::NoButton, dialogParent());
    QPushButton *yes = box.addButton(platformTexts::yes, QMessageBox::YesRole);
    QPushButton *no = box.addButton(platformTexts::no, QMessageBox::NoRole);
    // Esc and the close box press a button nobody sees: they answer neither.
    QPushButton *closed = box.addButton(QMessageBox::Cancel);
    closed->hide();
    box.setDefaultButton(yesDefault ? yes : no);
    box.setEscapeButton(closed);
    exec(box);
    if (box.clickedButton() == yes)
        return YesNoChoice::Yes;
    return box.clickedButton() == no ? YesNoChoice::No : YesNoChoice::Closed;
}

SaveChoice QtPlatform::showSaveQuestion(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::Warning, title, prompt, QMessageBox::NoButton, dialogParent());
    QPushButton *save = box.addButton(platformTexts::save, QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(platformTexts::discard, QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(platformTexts::cancel, QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    exec(box);
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

YesNoChoice QtPlatform::showYesNoQuestion(const QString &prompt, const QString &title)
{
    return askYesNoBox(QMessageBox::Question, prompt, title, true);
}

int QtPlatform::exec(QDialog &dialog)
{
    mOpen.append(&dialog);
    const int result = dialog.exec();
    mOpen.removeAll(&dialog);
    return result;
}

void QtPlatform::cancelModalRequests()
{
    // Innermost first, so that each event loop ends before the one around it.
    for (qsizetype i = mOpen.size() - 1; i >= 0; --i)
        if (QDialog *dialog = mOpen.at(i))
            dialog->reject();
}

int QtPlatform::showMessageBox(const QString &prompt, const QString &title, int style)
{
    if ((style & 7) == vbYesNo)
        return askYesNoBox(QMessageBox::NoIcon, prompt, title, !(style & vbDefaultButton2)) == YesNoChoice::Yes ? vbYes
                                                                                                                : vbNo;
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, dialogParent());
    exec(box);
    return vbOK;
}

QString QtPlatform::showInputBox(const QString &prompt, const QString &title)
{
    QInputDialog box(dialogParent());
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    return exec(box) == QDialog::Accepted ? box.textValue() : QString();
}

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that already names its patterns in brackets is shown as it is.
        const QString shown = QLatin1String(" (") + patterns + QLatin1Char(')');
        result << (parts.at(i).endsWith(shown) ? parts.at(i) : parts.at(i) + shown);
    }
    return result;
}

QString QtPlatform::showFileDialog(const FileDialog &dialog, FileDialogMode mode)
{
    QFileDialog box(dialogParent(), dialog.DialogTitle);
    box.setAcceptMode(mode == FileDialogMode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    box.setFileMode(mode == FileDialogMode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(dialog.Filter);
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        box.selectNameFilter(filters.at(dialog.FilterIndex - 1));
    box.setDefaultSuffix(dialog.DefaultExt);
    // A dialog that chose a file before opens at that file, whatever its initial folder says.
    if (!dialog.FileName.isEmpty()) {
        box.setDirectory(QFileInfo(dialog.FileName).absolutePath());
        box.selectFile(dialog.FileName);
    } else if (!dialog.InitDir.isEmpty()) {
        box.setDirectory(dialog.InitDir);
    }
    if (exec(box) != QDialog::Accepted || box.selectedFiles().isEmpty())
        return QString();
    return box.selectedFiles().constFirst();
}

int QtPlatform::showModal(QDialog &dialog)
{
    return exec(dialog);
}

namespace {
// `target` (a path or an address) with the desktop's opener; on a desktop without one, Qt's
// own way to `url`, which answers at once and gives no reason.
void openInDesktopBrowser(const QString &target, const QUrl &url, std::function<void(const QString &reason)> failed)
{
    if (openWithDesktop(target, failed))
        return;
    if (!QDesktopServices::openUrl(url))
        failed(QString());
}
}   // namespace

void QtPlatform::openInBrowser(const QString &path, std::function<void(const QString &reason)> failed)
{
    openInDesktopBrowser(path, QUrl::fromLocalFile(path), std::move(failed));
}

void QtPlatform::openAddressInBrowser(const QString &address, std::function<void(const QString &reason)> failed)
{
    openInDesktopBrowser(address, QUrl(address), std::move(failed));
}

void QtPlatform::setBusyPointer(bool busy)
{
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++mBusyDepth;
    } else if (mBusyDepth > 0) {
        QGuiApplication::restoreOverrideCursor();
        --mBusyDepth;
    }
}

bool QtPlatform::isBusyPointer() const
{
    return mBusyDepth > 0;
}

void QtPlatform::sendKey(QWidget *target, int key, const QString &text)
{
    postKeyStroke(target, key, text);
}

QString QtPlatform::programFolder() const
{
    if (!gProgramFolderOverride.isEmpty())
        return gProgramFolderOverride;
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::executableFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString QtPlatform::defaultsFolder() const
{
    return gDefaultsFolder;
}

void QtPlatform::setProgramFolderOverride(const QString &folder, const QString &defaults)
{
    gProgramFolderOverride = folder;
    gDefaultsFolder = defaults;
}

double QtPlatform::twipsPerPixelX() const
{
    return twipsPerPixel(true);
}

double QtPlatform::twipsPerPixelY() const
{
    return twipsPerPixel(false);
}
