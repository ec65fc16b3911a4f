// Quorvan: the configuration tool of the exchange table of the communication board.

#include <QApplication>

#include "ProgramStart.h"
#include "QtTranslations.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quorvan::InstallQtTranslations(application);  // without them the dialogs stay in English
    return quorvan::RunProgram(QCoreApplication::applicationDirPath());
}
