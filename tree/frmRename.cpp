#include "tree/frmRename.h"
#include "editor/EditorTexts.h"
#include "editor/PageFiles.h"
#include "platform/Fonts.h"
#include "site/SiteFile.h"
#include "tree/LinkCheck.h"
#include "tree/TreeTexts.h"

#include <QDir>
#include <QFontMetrics>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPromise>
#include <QPushButton>
#include <QTableView>
#include <QThreadPool>
#include <QVBoxLayout>

#include <sys/stat.h>

using renamePlan::Plan;

frmRename::frmRename(QWidget *parent, Subject subject)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowMaximizeButtonHint),
      mSubject(std::move(subject))
{
    setWindowTitle(treeTexts::renameCaption);
    createControls();
    const QFileInfo file(mSubject.path);
    mTxtFolder->setText(QDir::toNativeSeparators(file.path() + u'/'));
    mTxtName->setText(file.fileName());
    // The name without its extension is what is usually changed.
    mTxtName->setSelection(0, int(file.completeBaseName().size()));
    mTxtName->setFocus();
    connect(&mWatcher, &QFutureWatcherBase::finished, this, &frmRename::takePlan);
    startPlanning();
}

frmRename::~frmRename()
{
    mWatcher.future().cancel();
}

void frmRename::createControls()
{
    auto *fileLabel = new QLabel(treeTexts::renameFile, this);
    auto *file = new QLabel(QDir::toNativeSeparators(mSubject.path), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mTxtFolder = new QLineEdit(this);
    mTxtName = new QLineEdit(this);
    auto *folderLabel = new QLabel(treeTexts::renameFolder, this);
    auto *nameLabel = new QLabel(treeTexts::renameName, this);
    folderLabel->setBuddy(mTxtFolder);
    nameLabel->setBuddy(mTxtName);
    mCmdBrowse = new QPushButton(treeTexts::renameBrowse, this);
    mLstChanges = new QTableView(this);
    mLstChanges->setModel(&mChanges);
    mLstChanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mLstChanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    mLstChanges->setWordWrap(false);
    mLstChanges->verticalHeader()->hide();
    // Rows of one height, so that a list of ten thousand rows costs what its screen shows.
    mLstChanges->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mLstChanges->verticalHeader()->setDefaultSectionSize(QFontMetrics(msGothicFont()).height() + 6);
    // Columns fit what the first rows hold; a long list is not measured to its end.
    mLstChanges->horizontalHeader()->setResizeContentsPrecision(200);
    mLstChanges->horizontalHeader()->setStretchLastSection(true);
    mLstChanges->setFont(msGothicFont());
    mLblStatus = new QLabel(this);
    mLblStatus->setWordWrap(true);
    mCmdApply = new QPushButton(treeTexts::renameApply, this);
    mCmdCancel = new QPushButton(treeTexts::renameCancel, this);
    mCmdApply->setDefault(true);
    mCmdApply->setEnabled(false);

    auto *place = new QGridLayout;
    place->addWidget(fileLabel, 0, 0);
    place->addWidget(file, 0, 1, 1, 2);
    place->addWidget(folderLabel, 1, 0);
    place->addWidget(mTxtFolder, 1, 1);
    place->addWidget(mCmdBrowse, 1, 2);
    place->addWidget(nameLabel, 2, 0);
    place->addWidget(mTxtName, 2, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mCmdApply);
    buttons->addWidget(mCmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(place);
    layout->addWidget(new QLabel(treeTexts::renameChanges, this));
    layout->addWidget(mLstChanges, 1);
    layout->addWidget(mLblStatus);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(mTxtFolder, &QLineEdit::textChanged, this, &frmRename::startPlanning);
    connect(mTxtName, &QLineEdit::textChanged, this, &frmRename::startPlanning);
    connect(mCmdBrowse, &QPushButton::clicked, this, &frmRename::cmdBrowse_Click);
    connect(mCmdApply, &QPushButton::clicked, this, &frmRename::cmdApply_Click);
    connect(mCmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString frmRename::target() const
{
    QString folder = QDir::fromNativeSeparators(mTxtFolder->text().trimmed());
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return linkCheck::cleanFilePath(folder + mTxtName->text());
}

// Why the place shown cannot take the file; empty when it can.
QString frmRename::placeProblem() const
{
    const QString name = mTxtName->text();
    const QString folder = QDir::fromNativeSeparators(mTxtFolder->text().trimmed());
    if (name.trimmed().isEmpty())
        return treeTexts::renameNoName;
    if (name.contains(u'/') || name.contains(u'\\') || name == u"." || name == u"..")
        return treeTexts::renameBadName;
    if (!folder.startsWith(u'/'))
        return treeTexts::renameNotAbsolute;
    const QString path = target();
    if (path == mSubject.path)
        return treeTexts::renameSamePlace;
    struct stat status { };
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0)
        return treeTexts::renameTargetExists;
    if (!pageFiles::systemCarriesName(path))
        return treeTexts::renameNameUnusable;
    if (mSubject.isPage && !ksd::entryCarries(QFileInfo(path).path() + u'/', name))
        return treeTexts::renameNameNotInDefinition;
    return QString();
}

bool frmRename::isPlanning() const
{
    return mWatcher.isRunning();
}

// Works out the list for the place shown, dropping the one being worked out for another.
void frmRename::startPlanning()
{
    mWatcher.future().cancel();
    mPlan.reset();
    mChanges.clear();
    mCmdApply->setEnabled(false);
    if (const QString problem = placeProblem(); !problem.isEmpty()) {
        showStatus(problem);
        emit planShown();
        return;
    }
    showStatus(treeTexts::renamePlanning);
    auto promise = std::make_shared<QPromise<std::optional<Plan>>>();
    mWatcher.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, subject = mSubject, to = target()] {
        const auto cancelled = [&promise] { return promise->isCanceled(); };
        if (std::optional<Plan> plan = renamePlan::plan(subject.pages, subject.siteFolder, subject.path, to, cancelled))
            promise->addResult(std::move(plan));
        promise->finish();
    });
}

void frmRename::takePlan()
{
    const QFuture<std::optional<Plan>> future = mWatcher.future();
    if (future.isCanceled() || future.resultCount() == 0)
        return;
    mPlan = future.result();
    if (!mPlan->error.isEmpty()) {
        showStatus(treeTexts::renameReadFailed + mPlan->error);
        mPlan.reset();
    } else {
        mChanges.setPlan(*mPlan, mSubject.pageNames, mSubject.siteFolder);
        for (const int column : {RenameChanges::KindColumn, RenameChanges::FileColumn, RenameChanges::LineColumn,
                                 RenameChanges::BeforeColumn})
            mLstChanges->resizeColumnToContents(column);
        // The text before stays beside the text after, however long it is.
        const int widest = mLstChanges->viewport()->width() / 3;
        if (mLstChanges->columnWidth(RenameChanges::BeforeColumn) > widest)
            mLstChanges->setColumnWidth(RenameChanges::BeforeColumn, widest);
        showStatus(treeTexts::renameSummary(mPlan->changeCount(), mPlan->files.size(), mPlan->brokenCount()));
        mCmdApply->setEnabled(true);
    }
    emit planShown();
}

void frmRename::showStatus(const QString &text)
{
    mLblStatus->setText(text);
}

void frmRename::cmdBrowse_Click()
{
    dlgMove.DialogTitle = treeTexts::renameBrowseTitle;
    dlgMove.Filter = treeTexts::changeLinkFilter;
    dlgMove.FilterIndex = 1;
    dlgMove.InitDir = QDir::fromNativeSeparators(mTxtFolder->text().trimmed());
    dlgMove.FileName = mTxtName->text();
    const QPointer<frmRename> self(this);
    if (!dlgMove.ShowSave() || !self || dlgMove.FileTitle.isEmpty())
        return;
    mTxtFolder->setText(QDir::toNativeSeparators(dlgMove.folder()));
    mTxtName->setText(dlgMove.FileTitle);
}

void frmRename::cmdApply_Click()
{
    if (!mPlan || isPlanning())
        return;
    pbOkFlg = true;
    accept();
}
