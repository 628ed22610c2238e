#pragma once
// The editor holds lines; whatever leaves it (save, preview, the text other windows read)
// has its lines joined by CR LF.

#include <QString>

namespace editorText {

// `text` with every line break the text box knows (CR LF, a lone CR, a lone LF, and the
// paragraph separator its document keeps between lines) written as CR LF. A text that
// needs no change is returned as it is, without a copy.
QString crLfText(const QString &text);

} // namespace editorText
