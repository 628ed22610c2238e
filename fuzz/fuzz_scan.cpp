// The page scan: the linear link walk gives exactly what the literal step-by-step walk
// gives, and the title and CR LF text hold their rules.
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
    FUZZ_CHECK(page.Text.isEmpty() || page.Text.endsWith(QStringLiteral("\r\n")));
    FUZZ_CHECK(page.Links == scanLinks(page.Text));
    qsizetype end = 0;
    FUZZ_CHECK(page.Title == basSystem::GetTagText(page.Text, QStringLiteral("TITLE"), end).value_or(QString()));
    return 0;
}
