#include "platform/CommandKeys.h"

namespace {
struct KeyBinding {
    QKeySequence own;
    QKeySequence::StandardKey standard;
    QKeySequence also = {};   // a second key of the command's own, on every desktop
};

KeyBinding bindingOf(CommandKey command)
{
    switch (command) {
    case CommandKey::SavePage: return {QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence::Save};
    case CommandKey::SavePageAs: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence::SaveAs};
    case CommandKey::Preview: return {QKeySequence(Qt::Key_F5), QKeySequence::UnknownKey};
    case CommandKey::ClosePage: return {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence::Close};
    case CommandKey::OpenSite: return {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence::Open};
    case CommandKey::Quit: return {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence::Quit};
    case CommandKey::NextWindow: return {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence::NextChild};
    case CommandKey::PreviousWindow:
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence::PreviousChild};
    case CommandKey::SiteCheck: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), QKeySequence::UnknownKey};
    case CommandKey::Find: return {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence::Find};
    case CommandKey::Replace: return {QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence::Replace};
    case CommandKey::FindNext: return {QKeySequence(Qt::Key_F3), QKeySequence::FindNext};
    case CommandKey::FindPrevious: return {QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence::FindPrevious};
    case CommandKey::FindInSite: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), QKeySequence::UnknownKey};
    case CommandKey::WordWrap: return {QKeySequence(Qt::ALT | Qt::Key_Z), QKeySequence::UnknownKey};
    case CommandKey::Undo: return {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence::Undo};
    case CommandKey::Redo:
        return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    case CommandKey::Cut: return {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence::Cut};
    case CommandKey::Copy: return {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence::Copy};
    case CommandKey::Paste: return {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence::Paste};
    case CommandKey::SelectAll: return {QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence::SelectAll};
    case CommandKey::LivePreview: return {QKeySequence(Qt::CTRL | Qt::Key_F5), QKeySequence::UnknownKey};
    case CommandKey::FocusTree: return {QKeySequence(Qt::ALT | Qt::Key_1), QKeySequence::UnknownKey};
    case CommandKey::FocusTags: return {QKeySequence(Qt::ALT | Qt::Key_2), QKeySequence::UnknownKey};
    }
    return {};
}
}   // namespace

QList<QKeySequence> commandKeys(CommandKey command)
{
    const KeyBinding binding = bindingOf(command);
    QList<QKeySequence> keys{binding.own};
    if (!binding.also.isEmpty())
        keys << binding.also;
    if (binding.standard != QKeySequence::UnknownKey)
        for (const QKeySequence &key : QKeySequence::keyBindings(binding.standard))
            if (!keys.contains(key))
                keys << key;
    return keys;
}

QString tipWithKey(const QString &tip, CommandKey command)
{
    return tip + QStringLiteral(" (") + bindingOf(command).own.toString(QKeySequence::NativeText) + QLatin1Char(')');
}
