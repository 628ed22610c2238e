#pragma once
// Qt's own texts (file dialogs, input boxes, message-box buttons) in Japanese, to match
// the program's own.

class QCoreApplication;

// Loads Qt's Japanese translation from Qt's translation folder into `app`; false when it
// is not installed (Qt's texts then stay in English).
bool installQtTranslation(QCoreApplication &app);
