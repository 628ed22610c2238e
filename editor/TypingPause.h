#pragma once
// Tells when typing in a document pauses: `paused` comes once the user's text has not
// changed for typingPauseMs. Each change only restarts the wait, so a burst of typing
// gives one pause. Changes of colours and layout (the document's revision stays) start
// no wait, and neither do changes the owner does not count as the user's (a text the
// program puts in).

#include <QObject>

#include <functional>

class QTextDocument;
class QTimer;

// How long typing must pause: the page editor's recovery copy waits this long after the
// last change.
constexpr int typingPauseMs = 2000;

class TypingPause : public QObject
{
    Q_OBJECT
public:
    // `isUsersChange` tells, when the document changes, whether the change is the user's.
    TypingPause(QTextDocument *document, std::function<bool()> isUsersChange, QObject *parent);

    // Forgets a pause still to come.
    void stop();
    bool isWaiting() const;

    // The wait of every pause; tests shorten it.
    static void setDelay(int ms);

signals:
    void paused();

private:
    QTextDocument *mDocument;
    std::function<bool()> mIsUsersChange;
    QTimer *mTimer;
    int mRevision;
};
