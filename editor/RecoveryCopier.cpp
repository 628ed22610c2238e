#include "editor/RecoveryCopier.h"
#include "common/TextFile.h"
#include "editor/DocumentSnapshot.h"
#include "editor/RecoveryStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QTextDocument>
#include <QThreadPool>

#include <atomic>
#include <mutex>
#include <utility>

// A copy on its way to the disk, shared by the window's thread and the worker.
struct CopyJob {
    std::shared_ptr<RecoveryStore> store;
    QString name;
    QByteArray header;
    QStringList pieces;   // the raw text, freed once written
    QPointer<RecoveryCopier> copier;
    std::atomic<bool> cancelled{false};
    std::mutex commitMutex;   // a cancel and the file's commit never cross
    // What came of it, read once the job is done.
    qsizetype location = -1;
    QString failure;
};

namespace {
// The text goes into the file this many characters at a time (cut after a line break), so
// that its bytes never take more room than that.
constexpr qsizetype chunkChars = qsizetype(1) << 20;

qsizetype chunkEnd(const QString &piece, qsizetype from)
{
    const qsizetype at = piece.indexOf(QChar(QChar::ParagraphSeparator), from + chunkChars);
    return at < 0 ? piece.size() : at + 1;
}

bool writeText(AtomicFileWriter &file, const CopyJob &job)
{
    if (!file.write(job.header))
        return false;
    for (const QString &piece : job.pieces) {
        for (qsizetype from = 0; from < piece.size();) {
            if (job.cancelled)
                return false;
            const qsizetype end = chunkEnd(piece, from);
            if (!file.write(recoveryTextBytes(piece.sliced(from, end - from))))
                return false;
            from = end;
        }
    }
    return true;
}

// Writes the copy at `path`; false with `error` set when it could not be (or was cancelled).
bool writeCopyAt(const QString &path, CopyJob &job, QString *error)
{
    AtomicFileWriter file(path, LinkPolicy::Replace);
    const bool written = writeText(file, job);
    const std::lock_guard guard(job.commitMutex);
    if (job.cancelled)
        return false;
    if (written && file.commit())
        return true;
    *error = file.error();
    return false;
}

// Tries every location in turn, the preferred one first.
void runJob(CopyJob &job)
{
    QStringList reasons;
    const QStringList &locations = job.store->locations();
    for (qsizetype i = 0; i < locations.size() && !job.cancelled; ++i) {
        QString error;
        QString path = job.store->claimCopyPath(i, job.name, &error);
        if (!path.isEmpty() && writeCopyAt(path, job, &error)) {
            job.location = i;
            break;
        }
        reasons << (path.isEmpty() ? locations.at(i) : path) << error;
    }
    if (job.location < 0)
        job.failure = reasons.join(QLatin1Char('\n'));
    job.pieces.clear();
}

std::atomic<quint64> gNextCopier{1};
}   // namespace

// The copies waiting for their turn, the one whose text is being taken and the one being
// written; the worker writes one at a time.
class CopyQueue : public QObject
{
public:
    explicit CopyQueue(QObject *parent) : QObject(parent) { mPool.setMaxThreadCount(1); }
    ~CopyQueue() override
    {
        if (mWriting)
            mWriting->cancelled = true;
        mPool.waitForDone();
    }

    void add(RecoveryCopier *copier)
    {
        if (mTaking != copier && !mWaiting.contains(copier))
            mWaiting << copier;
        next();
    }
    void remove(RecoveryCopier *copier)
    {
        mWaiting.removeAll(copier);
        if (mTaking == copier) {
            mTaking = nullptr;
            next();
        }
    }
    bool holds(const RecoveryCopier *copier) const
    {
        return mTaking == copier || mWaiting.contains(const_cast<RecoveryCopier *>(copier));
    }
    void write(const std::shared_ptr<CopyJob> &job)
    {
        mTaking = nullptr;
        mWriting = job;
        mPool.start([this, job] {
            runJob(*job);
            QMetaObject::invokeMethod(
                this, [this, job] { written(job); }, Qt::QueuedConnection);
        });
    }
    void waitForWorker() { mPool.waitForDone(); }

private:
    void written(const std::shared_ptr<CopyJob> &job)
    {
        mWriting.reset();
        if (!job->cancelled && job->copier)
            job->copier->jobDone(*job);
        next();
    }
    void next()
    {
        while (!mTaking && !mWriting && !mWaiting.isEmpty())
            if (RecoveryCopier *copier = mWaiting.takeFirst()) {
                mTaking = copier;
                copier->beginTaking();
            }
    }

    QList<QPointer<RecoveryCopier>> mWaiting;
    QPointer<RecoveryCopier> mTaking;
    std::shared_ptr<CopyJob> mWriting;
    QThreadPool mPool;
};

namespace {
QPointer<CopyQueue> gQueue;   // goes with the application

CopyQueue &copyQueue()
{
    if (!gQueue)
        gQueue = new CopyQueue(QCoreApplication::instance());
    return *gQueue;
}
}   // namespace

RecoveryCopier::RecoveryCopier(QTextDocument *document, std::function<RecoveryCopy()> describe, QObject *parent)
    : QObject(parent),
      mDocument(document),
      mDescribe(std::move(describe)),
      mStore(RecoveryStore::current()),
      mSnapshot(new DocumentSnapshot(document, this)),
      mName(QString::number(gNextCopier++) + QStringLiteral(".recovery"))
{
    connect(mSnapshot, &DocumentSnapshot::complete, this, &RecoveryCopier::textComplete);
}

RecoveryCopier::~RecoveryCopier()
{
    abandon();
}

void RecoveryCopier::request()
{
    copyQueue().add(this);
}

bool RecoveryCopier::isBusy() const
{
    return mJob || (gQueue && gQueue->holds(this));
}

void RecoveryCopier::beginTaking()
{
    mSnapshot->start();
}

std::shared_ptr<CopyJob> RecoveryCopier::newJob(QStringList pieces)
{
    mCopyMade = true;   // from now on a copy may lie in the store
    auto job = std::make_shared<CopyJob>();
    job->store = mStore;
    job->name = mName;
    job->header = recoveryCopyHeader(mDescribe());
    job->pieces = std::move(pieces);
    job->copier = this;
    return job;
}

void RecoveryCopier::textComplete()
{
    mJob = newJob(mSnapshot->takePieces());
    emit textTaken();
    copyQueue().write(mJob);
}

// On the window's thread, once the worker is done with `job`.
void RecoveryCopier::jobDone(const CopyJob &job)
{
    mJob.reset();
    if (job.location < 0) {
        mFailure = job.failure;
        emit finished();
        return;
    }
    mFailure.clear();
    // A copy written in one location makes the others' out of date.
    for (qsizetype i = 0; i < job.store->locations().size(); ++i)
        if (i != job.location)
            QFile::remove(job.store->copyPath(i, mName));
    if (!mAdopted.isEmpty())
        QFile::remove(std::exchange(mAdopted, QString()));
    emit finished();
}

void RecoveryCopier::abandon()
{
    mSnapshot->cancel();
    if (gQueue)
        gQueue->remove(this);
    const std::shared_ptr<CopyJob> job = std::exchange(mJob, nullptr);
    if (!job)
        return;
    const std::lock_guard guard(job->commitMutex);
    job->cancelled = true;
}

bool RecoveryCopier::writeNow()
{
    abandon();
    if (gQueue)
        gQueue->waitForWorker();
    const std::shared_ptr<CopyJob> job = newJob({mDocument->toRawText()});
    runJob(*job);
    jobDone(*job);
    return job->location >= 0;
}

void RecoveryCopier::drop()
{
    const bool wasBusy = isBusy();
    abandon();
    // An editor that never had its text written, nor was restored from a copy, and is not
    // waiting for one, has nothing to remove and no state to show anew: a site with every
    // page open drops a copy for each editor once its text is in, all at the same moment.
    if (!wasBusy && !mCopyMade && mAdopted.isEmpty() && mFailure.isEmpty())
        return;
    for (qsizetype i = 0; i < mStore->locations().size(); ++i)
        QFile::remove(mStore->copyPath(i, mName));
    mCopyMade = false;
    if (!mAdopted.isEmpty())
        QFile::remove(std::exchange(mAdopted, QString()));
    mFailure.clear();
    emit finished();
}

void RecoveryCopier::adopt(const QString &path)
{
    mAdopted = path;
    request();
}
