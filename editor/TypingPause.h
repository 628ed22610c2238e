#pragma once
// A pause in typing: the moment a page's text has stopped changing for a while. Work that
// need not follow every key (the recovery copy, the live preview's reload) waits for it.

#include <QObject>

class QTextDocument;
class QTimer;

// How long a text must stay unchanged before typing counts as paused, in milliseconds.
constexpr int typingPauseMs = 2000;

class TypingPause : public QObject
{
    Q_OBJECT
public:
    // Follows the changes of `document` while it holds unsaved changes, and a change back
    // to the saved text.
    TypingPause(QTextDocument *document, QObject *parent);

    // Tests shorten the pause; 0 puts typingPauseMs back.
    static void setDelay(int ms);
    static int delay();

signals:
    void paused();

private:
    QTimer *mTimer;
};
