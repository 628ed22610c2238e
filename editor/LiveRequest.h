#pragma once
// The rules by which the live preview's server reads a request: which file of the site
// its target names (or why none), whether its Host is ours, whether it carries the
// server's token, and the reload script that served pages get.

#include "common/TextCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace liveRequest {

// The name of the token in an address's query, and of the cookie that carries it on.
inline constexpr char tokenName[] = "pagekiln";
// The folder of the server's own addresses (the reload channel); no file of the site is
// served under it.
inline constexpr char ownFolder[] = "/__pagekiln/";

struct Target {
    enum Kind {
        Site,        // `path` names a file or folder of the site
        Refused,     // a name that could leave the site or hide what it names (403)
        Malformed,   // not a path at all (400)
    };
    Kind kind = Malformed;
    // Decoded, from the site's folder: "/" for the folder itself, "/a/b.htm", or "/a/" for
    // a folder. No segment is empty, "." or "..".
    QString path;
    QByteArray query;   // as sent, without the '?'
    bool isFolder() const { return path.endsWith(QLatin1Char('/')); }
};

// Reads a request target ("/a/b.htm?x=1"). Backslashes, control characters, empty
// segments, "." and "..", and percent-encoded dots, slashes, backslashes and control
// characters are refused: a browser never sends them for a link of the site. The rest is
// percent-decoded as UTF-8, as browsers encode paths.
Target parseTarget(QByteArrayView target);

// The path of a Referer or Origin value of this server at `port`, or nothing.
QString sameOriginPath(QByteArrayView referer, quint16 port);

// True when `host` is the loopback address with this server's port, as a browser sends
// it for the addresses the server hands out.
bool hostAllowed(QByteArrayView host, quint16 port);

// The value of `name` in a query ("a=1&pagekiln=..."), as sent.
QByteArray queryValue(QByteArrayView query, QByteArrayView name);

// Compares a presented token with the server's in time that does not depend on where they
// differ; an empty one never matches.
bool tokenMatches(QByteArrayView presented, QByteArrayView token);

// The charset parameter for a page in `encoding`.
QByteArray charsetName(TextEncoding encoding);

// The script served pages get: it asks the server's reload channel, for page `pagePath`
// served at change number `generation`, and reloads the page when told, keeping its scroll
// position.
QByteArray reloadScript(const QString &pagePath, quint64 generation);

// Puts `script` before the page's last "</body" tag (any letter case), else before its
// last "</html", else at its end. The tags are ASCII, which Shift-JIS and UTF-8 keep as
// single bytes, so the page's bytes are searched as they are.
QByteArray withScript(QByteArray page, QByteArrayView script);

}   // namespace liveRequest
