#pragma once
// A main window on a temporary folder that stands for the executable's folder, with every
// message recorded and the program's end turned into an exception.

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "About.h"
#include "RecordedMessages.h"
#include "StringGrid.h"
#include "UGlobal_mod.h"
#include "UpDownEdit.h"

// Runs `answer` on the file dialog that is about to run modally. A failed check inside
// `answer` rejects the dialog, so it never waits.
inline void AnswerFileDialog(const std::function<void(QFileDialog& dialog)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        const auto closeAnyway = qScopeGuard([dialog] {
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        answer(*dialog);
    });
}

// Types a file name into the dialog and accepts it, as its "Open" or "Save" button does.
inline void TypeAndAccept(QFileDialog& dialog, const QString& name) {
    auto* typed = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(typed != nullptr);
    typed->setText(name);
    static_cast<QDialog&>(dialog).accept();
}

class WindowFixture : public RecordedMessages {
public:
    WindowFixture() = default;
    // The window goes first, while its messages are still recorded.
    ~WindowFixture() { window.reset(); }

    quorvan::TFGlobal& Create(const QString& executableFolder) {
        window = std::make_unique<quorvan::TFGlobal>(about, executableFolder);
        return *window;
    }
    quorvan::TFGlobal& Create() { return Create(folder.path()); }

    QString Path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    // The executable's name with ".ini", in the folder.
    QString SettingsPath() const {
        return Path(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".ini");
    }
    void Put(const QString& path, const QByteArray& content) const {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray Content(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    template <typename T>
    T* Child(const char* name) const {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no control %s", name);
        }
        return child;
    }
    quorvan::StringGrid& Grid() const { return *Child<quorvan::StringGrid>("Comandos"); }
    quorvan::UpDownEdit& Edit(const char* name) const { return *Child<quorvan::UpDownEdit>(name); }
    QLineEdit& Text(const char* name) const { return *Child<QLineEdit>(name); }
    void Click(const char* button) const {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }

    // The nine cells of a row (columns 1 to 9).
    QStringList Row(int row) const {
        QStringList cells;
        for (int column = 1; column <= 9; ++column) {
            cells << Grid().Cell(column, row);
        }
        return cells;
    }
    void SetRow(int row, const QStringList& cells) const {
        for (int column = 1; column <= 9; ++column) {
            Grid().SetCell(column, row, cells.value(column - 1));
        }
    }
    static QStringList EmptyRow() { return {"0", "0", "0", "", "0", "0", "0", "0", ""}; }

    QTemporaryDir folder;
    quorvan::TAboutBoxForm about;
    std::unique_ptr<quorvan::TFGlobal> window;
};
