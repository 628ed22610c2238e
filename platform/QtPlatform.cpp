#include "platform/QtPlatform.h"
#include "platform/FileDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace {
QString gProgramFolderOverride;

double twipsPerPixel(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY())
                              : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
} // namespace

int QtPlatform::messageBox(const QString &prompt, const QString &title, int)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    return vbOK;
}

SaveChoice QtPlatform::askToSave(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::Warning, title, prompt, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton *save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

bool QtPlatform::askYesNo(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, prompt, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtPlatform::inputBox(const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << parts.at(i) + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

QString QtPlatform::runFileDialog(const FileDialog &dialog, FileDialogMode mode)
{
    QFileDialog box(QApplication::activeWindow(), dialog.DialogTitle);
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
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return QString();
    return box.selectedFiles().constFirst();
}

int QtPlatform::execModal(QDialog &dialog)
{
    return dialog.exec();
}

bool QtPlatform::openInBrowser(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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

void QtPlatform::setProgramFolderOverride(const QString &folder)
{
    gProgramFolderOverride = folder;
}

double QtPlatform::twipsPerPixelX() const
{
    return twipsPerPixel(true);
}

double QtPlatform::twipsPerPixelY() const
{
    return twipsPerPixel(false);
}
