#pragma once
// The keyboard shortcuts of the program's commands, shared by the frame's menus and the
// buttons that carry the same commands, so that a menu and a tooltip never disagree.

#include <QKeySequence>
#include <QList>
#include <QString>

enum class CommandKey {
    SavePage,         // Ctrl+S
    SavePageAs,       // Ctrl+Shift+S
    Preview,          // F5
    ClosePage,        // Ctrl+W
    OpenSite,         // Ctrl+O
    Quit,             // Ctrl+Q
    NextWindow,       // Ctrl+Tab
    PreviousWindow,   // Ctrl+Shift+Tab
    SiteCheck,        // Ctrl+Shift+K
    Find,             // Ctrl+F
    Replace,          // Ctrl+H
    FindNext,         // F3
    FindPrevious,     // Shift+F3
    FindInSite,       // Ctrl+Shift+F
    WordWrap,         // Alt+Z
    Undo,             // Ctrl+Z
    Redo,             // Ctrl+Y, Ctrl+Shift+Z
    Cut,              // Ctrl+X
    Copy,             // Ctrl+C
    Paste,            // Ctrl+V
    SelectAll,        // Ctrl+A
    LivePreview,      // Ctrl+F5
    FocusTree,        // Alt+1
    FocusTags,        // Alt+2
};

// The keys of `command`: its own key first (the one menus show), then whatever else the
// desktop binds to the same standard action.
QList<QKeySequence> commandKeys(CommandKey command);

// `tip` followed by the command's key in brackets, as the buttons' tooltips show it.
QString tipWithKey(const QString &tip, CommandKey command);
