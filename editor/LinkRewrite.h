#pragma once
// The preview's link rewriting: the page is shown from a copy in the program folder, so
// the page's own folder is put in front of every relative HREF, BACKGROUND and SRC
// target, letting the copy still find the page's pictures and neighbours.

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <functional>

namespace linkRewrite {

// The keywords in the order the passes run.
inline constexpr QLatin1StringView hrefKeyword{"HREF"};
inline constexpr QLatin1StringView backgroundKeyword{"BACKGROUND"};
inline constexpr QLatin1StringView srcKeyword{"SRC"};

// How many characters, from the quote (or equals sign) on, decide whether a target is
// an address of its own.
inline constexpr qsizetype headLength = 10;

// True when `head` (the characters from the quote on) names an address that needs no
// folder: it holds "HTTP:", "HTTPS:" or "MAILTO:" in any letter case.
bool isExternalHead(QStringView head);

// One pass for an upper-case ASCII keyword. Every occurrence of the keyword, in any
// letter case and anywhere in the text, is placed at the first double quote after it, or
// at the first equals sign when no double quote follows at all; unless the ten
// characters from that place on name an external address, the folder is inserted right
// after it. The search goes on after that place, in the input, so that inserted folders
// are not searched again by the same pass. A keyword that can be placed nowhere ends the
// pass; the rest of the text is copied as it is.
//
// The pass takes its input in pieces and hands its output on in pieces as soon as they
// are settled, so that passes can run one behind the other over a large page while only
// a small part of it is in flight. It walks its input once.
class LinkPass
{
public:
    using Sink = std::function<void(QStringView)>;

    LinkPass(QLatin1StringView keyword, QStringView folder, Sink sink);

    // The next piece of the input.
    void feed(QStringView piece);
    // The input is complete: everything still held is settled and handed on.
    void finish();

private:
    void run(bool complete);
    // Settles the input up to `end` (an index into mBuffer) and hands it on.
    void handOn(qsizetype end);
    void compact();

    QLatin1StringView mKeyword;
    QStringView mFolder;
    Sink mSink;
    QString mBuffer;   // input received and not yet handed on starts at mStart
    qsizetype mStart = 0;
    qsizetype mScan = 0;         // the keyword search resumes here
    qsizetype mKeywordAt = -1;   // a keyword still waiting for its place, or -1
    qsizetype mPlaceScan = 0;    // the search for its quote resumes here
    bool mQuotesExhausted = false;
};

// The same pass read literally: an upper-case copy and a fresh search per occurrence. It
// is the yardstick the one-walk pass is checked against.
QString rewritePassReference(const QString &text, QLatin1StringView keyword, const QString &folder);

// One pass over a whole text.
QString rewritePass(QStringView text, QLatin1StringView keyword, QStringView folder);

// The three passes HREF, BACKGROUND and SRC, each over the result of the one before.
QString previewText(QStringView text, QStringView folder);

}   // namespace linkRewrite
