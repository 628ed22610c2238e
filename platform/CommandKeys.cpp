#include "platform/CommandKeys.h"

namespace {
struct KeyBinding {
    QKeySequence own;
    QKeySequence::StandardKey standard;
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
    case CommandKey::LivePreview: return {QKeySequence(Qt::CTRL | Qt::Key_F5), QKeySequence::UnknownKey};
    }
    return {};
}
}   // namespace

QList<QKeySequence> commandKeys(CommandKey command)
{
    const KeyBinding binding = bindingOf(command);
    QList<QKeySequence> keys{binding.own};
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
