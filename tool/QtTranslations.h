#pragma once
// Qt's own texts (file dialogs, standard buttons) in the user's language, so the
// platform's dialogs speak it as the window's own Spanish texts do.

#include <QLocale>

class QCoreApplication;

namespace quorvan {

// Installs on `application` Qt's translations for `locale`, from Qt's translations folder.
// False when none are installed for it (the dialogs then stay in English).
bool InstallQtTranslations(QCoreApplication& application, const QLocale& locale = QLocale());

}  // namespace quorvan
