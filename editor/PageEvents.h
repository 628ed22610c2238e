#pragma once
// Every page editor's edits, pauses in typing and saves in one place, for whoever follows
// all pages at once (the live preview, the site search), whichever command made the editor.

#include "editor/SiteSearch.h"

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
    // An edit changed the editor's text: typing, pasting, replacing, undoing (not a text
    // set from outside, nor a waiting text going into the text box).
    void textEdited(frmChild1 *editor, const TextEdit &edit);
    // The editor's whole text was set from outside (setText).
    void textReplaced(frmChild1 *editor);

private:
    using QObject::QObject;
};
