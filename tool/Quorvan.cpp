// Quorvan: the configuration tool of the exchange table of the communication board.

#include <QApplication>
#include <QIcon>
#include <QThread>

#include "About.h"
#include "QtTranslations.h"
#include "UGlobal_mod.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quorvan::InstallQtTranslations(application);  // without them the dialogs stay in English

    quorvan::TAboutBoxForm AboutBoxForm;  // the splash now, the "?" box later
    AboutBoxForm.show();
    AboutBoxForm.repaint();
    QApplication::processEvents();  // so the splash is on screen during the pause below

    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quorvan/quorvan.png")));
    quorvan::TFGlobal FGlobal(AboutBoxForm);

    QThread::msleep(1300);
    AboutBoxForm.close();

    FGlobal.show();
    return QApplication::exec();
}
