#pragma once
// Every page editor's pauses in typing and saves in one place, for whoever follows all
// pages at once (the live preview), whichever command made the editor.

#include <QObject>

class frmChild1;

class PageEvents : public QObject
{
    Q_OBJECT
public:
    static PageEvents &instance();
    // Passes on `editor`'s pauses and saves, with the editor.
    static void follow(frmChild1 *editor);

signals:
    void typingPaused(frmChild1 *editor);
    void saved(frmChild1 *editor);

private:
    using QObject::QObject;
};
