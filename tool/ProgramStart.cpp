#include "ProgramStart.h"

#include <QApplication>
#include <QIcon>
#include <QThread>

#include "About.h"
#include "UGlobal_mod.h"

namespace quorvan {

int RunProgram(const QString& executableFolder) {
    TAboutBoxForm AboutBoxForm;  // the splash now, the "?" box later
    AboutBoxForm.show();
    AboutBoxForm.repaint();
    QApplication::processEvents();  // so the splash is on screen during the pause below

    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quorvan/quorvan.png")));
    TFGlobal FGlobal(AboutBoxForm, executableFolder);

    QThread::msleep(1300);
    AboutBoxForm.close();

    FGlobal.show();
    return QApplication::exec();
}

}  // namespace quorvan
