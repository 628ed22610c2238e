#pragma once
// The live preview's web server: it serves the site's folder to the user's own browser on
// the loopback interface (127.0.0.1 and ::1, one free port), pages with unsaved changes
// from their editors' texts, and tells the pages it served when to reload.
//
// Every request is answered on the server's own threads (one per connection), so that
// reading and sending files never waits on the window. Only GET and HEAD are answered; a
// request must name this server's loopback address and port as its Host, and carry the
// server's random token in its address (?pagekiln=...) or in the cookie that the first
// such answer sets, else it is told that nothing is there. Request lines and headers are
// bounded, idle and stalled connections are closed, and nothing outside the site's folder
// is served.

#include "common/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class LiveServer
{
public:
    struct Limits {
        int idleSeconds = 10;          // a connection that sends or takes nothing this long is closed
        int heartbeatMs = 4000;        // how often an open reload channel shows it is alive
        int connectionBytes = 32768;   // the memory of one connection: request line and headers fit in half
        int connections = 64;          // connections at once, per address
    };

    LiveServer();
    ~LiveServer();   // stops the server
    LiveServer(const LiveServer &) = delete;
    LiveServer &operator=(const LiveServer &) = delete;

    // Starts serving `root` (an existing folder) with a fresh token on a free port; false
    // with `error` saying why when the server could not start.
    bool start(const QString &root, QString *error, const Limits &limits);
    bool start(const QString &root, QString *error) { return start(root, error, Limits()); }
    // Stops serving: open reload channels end and every connection is closed.
    void stop();
    bool isRunning() const;

    quint16 port() const;
    QByteArray token() const;
    // The folder served, canonical (no links, no trailing separator).
    QString root() const;
    // Serves another folder from now on; what was learnt about the old one is forgotten.
    void setRoot(const QString &root);
    // The address of site path `sitePath` ("/a/b.htm"), with the token.
    QString address(const QString &sitePath) const;

    // The text of the page file at `file` (a canonical path), served instead of the file
    // while it is set; it is encoded in `encoding` when asked for.
    void setPageText(const QString &file, const QString &text, TextEncoding encoding);
    void dropPageText(const QString &file);

    // The files at `files` changed: the pages that showed one of them, or anything that
    // uses one, are told to reload.
    void announceChanges(const QStringList &files);

    // Called on a server thread with each file served or looked for, the first time it is.
    void setFileSeen(std::function<void(const QString &file)> seen);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};
