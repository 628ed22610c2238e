// The page scan: the linear link walk gives exactly what the literal step-by-step walk
// gives, the CR LF text is the page read line by line character by character, and the
// title is the text between the first TITLE tags found by a plain search.
#include "FuzzSupport.h"
#include "common/TextHelpers.h"
#include "tree/PageScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;   // the literal walk is quadratic; small pages find the same faults
    const QString text = QString::fromLatin1(fuzzBytes(data, size));
    FUZZ_CHECK(scanLinks(text) == scanLinksReference(text));
    const PageScan page = scanPageText(text);
    FUZZ_CHECK(page.Text == plainCrLfLines(text));
    FUZZ_CHECK(page.Links == scanLinksReference(plainCrLfLines(text)));
    // A page whose only tags are one plain <TITLE>...</TITLE> pair around a text without
    // "<" or control characters has exactly that text as its title.
    const qsizetype open = text.indexOf(QLatin1Char('<'));
    if (open < 0) {
        const QString wrapped = QStringLiteral("<html><TITLE>") + text + QStringLiteral("</title>\r\n");
        bool plain = true;
        for (QChar c : text)
            plain = plain && c.unicode() >= 0x20 && c.unicode() != 0x7F;
        if (plain)
            FUZZ_CHECK(scanPageText(wrapped).Title == text);
    }
    return 0;
}
