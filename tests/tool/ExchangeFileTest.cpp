// Saving the exchange table to an exchange file and opening it again.

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <QTimer>

#include "ExchangeFileDialogs.h"
#include "IniFile.h"
#include "WindowFixture.h"

namespace {

// The dialogs answer with a fixed name (empty for cancel) and count their runs.
struct Dialogs {
    QString answer;
    int runs = 0;
};

void AnswerDialogs(WindowFixture& f, Dialogs& dialogs) {
    const auto answer = [&dialogs](QWidget*) {
        ++dialogs.runs;
        return dialogs.answer;
    };
    f.window->SetExchangeFileDialogs({answer, answer});
}

QStringList Sample(int row) {
    return {
        QString::number(row), "3", "40", "TEMP " + QString::number(row), "2", "7", "1", "8", "AUX"};
}

// The keys of a row in the saved order, for a row given as columns 1 to 9.
QByteArray SavedRow(int n, const QStringList& c) {
    const QByteArray row = QByteArray::number(n);
    QByteArray text;
    const std::pair<const char*, QString> keys[] = {{"0_", c[0]}, {"1_", c[1]}, {"2_", c[2]},
                                                    {"7_", c[3]}, {"3_", c[4]}, {"4_", c[5]},
                                                    {"5_", c[6]}, {"6_", c[7]}, {"8_", c[8]}};
    for (const auto& [key, value] : keys) {
        text += key + row + "=" + value.toLatin1() + "\r\n";
    }
    return text;
}

QByteArray FileWithRows(int numInstrucciones, int rows) {
    QByteArray text = "[CONFIG]\nNumInstrucciones=" + QByteArray::number(numInstrucciones) +
                      "\nPuerto=6\n[Instrucciones]\n";
    for (int n = 1; n <= rows; ++n) {
        text += "0_" + QByteArray::number(n) + "=" + QByteArray::number(n) + "\n";
    }
    return text;
}

}  // namespace

class ExchangeFileTest : public QObject {
    Q_OBJECT

private slots:
    void savingWritesEveryKeyInItsOrder() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("tabla.int")};
        AnswerDialogs(f, dialogs);
        f.SetRow(5, {"12", "3", "40", "TEMP", "2", "7", "1", "8", "AUX"});
        f.SetRow(6, {"1", "1", "0", "Señal", "4", "2", "1", "0", ""});
        f.Edit("EditPuerto").setText("3");
        f.window->Guardar1Click();

        QByteArray expected = "[CONFIG]\r\nNumInstrucciones=31\r\nPuerto=3\r\n[Instrucciones]\r\n";
        for (int n = 1; n <= 30; ++n) {
            if (n == 5) {
                expected +=
                    "0_5=12\r\n1_5=3\r\n2_5=40\r\n7_5=TEMP\r\n3_5=2\r\n4_5=7\r\n5_5=1\r\n6_5=8\r\n"
                    "8_5=AUX\r\n";
            } else if (n == 6) {
                expected +=
                    "0_6=1\r\n1_6=1\r\n2_6=0\r\n7_6=Se\xF1"
                    "al\r\n3_6=4\r\n4_6=2\r\n5_6=1\r\n6_6=0\r\n"
                    "8_6=\r\n";
            } else {
                expected += SavedRow(n, WindowFixture::EmptyRow());
            }
        }
        QCOMPARE(f.Content(f.Path("tabla.int")), expected);
        QVERIFY(f.messages.isEmpty());
    }

    void savingOverAFileKeepsItsOtherContentAndCancelWritesNothing() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("tabla.int")};
        AnswerDialogs(f, dialogs);
        f.Put(dialogs.answer, "[Notas]\nAutor=Ana\n[CONFIG]\nPuerto=9\n");
        f.window->Guardar1Click();
        const QByteArray saved = f.Content(dialogs.answer);
        QVERIFY(saved.startsWith("[Notas]\nAutor=Ana\n[CONFIG]\nPuerto=1\nNumInstrucciones=31\n"));

        dialogs.answer.clear();
        f.window->Guardar1Click();
        QCOMPARE(dialogs.runs, 2);
        QCOMPARE(f.Content(f.Path("tabla.int")), saved);
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files).size(), 2);  // settings and table
    }

    void openingRestoresEveryCellAndThePort() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("tabla.int")};
        AnswerDialogs(f, dialogs);
        for (int row = 1; row <= 30; row += 3) {
            f.SetRow(row, Sample(row));
        }
        f.Edit("EditPuerto").setText("12");
        f.window->Guardar1Click();

        f.window->BorraTodoClick();
        f.SetRow(2, Sample(99));
        f.Edit("EditPuerto").setText("1");
        f.Grid().SetRow(8);
        f.window->Abrir1Click();

        for (int row = 1; row <= 30; ++row) {
            QCOMPARE(f.Row(row), row % 3 == 1 ? Sample(row) : WindowFixture::EmptyRow());
            QCOMPARE(f.Grid().Cell(0, row), QString::number(row));
        }
        QCOMPARE(f.Edit("EditPuerto").text(), QString("12"));
        QCOMPARE(baslink::ini::ReadString(f.SettingsPath().toStdString(), "CONFIG", "Puerto"),
                 "12");
        QCOMPARE(f.window->FilaActual, 1);
        QVERIFY(f.messages.isEmpty());
    }

    void everyNumberTheTableAcceptsOpensAsTheSameNumber() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("tabla.int")};
        AnswerDialogs(f, dialogs);
        const QStringList forms = {"$1F", "x1F", "X1F", "0x1F", "31", "+31", "+x1F"};
        for (const QString& form : forms) {
            for (const char* field :
                 {"ROCodigo", "ROBloque", "ROOffset", "RDCodigo", "RDBloque", "RDOffset"}) {
                f.Edit(field).setText(form);
            }
            f.window->AsignarClick();
        }
        QCOMPARE(f.messages, QStringList());
        f.window->Guardar1Click();
        f.window->Abrir1Click();
        for (int row = 1; row <= forms.size(); ++row) {
            QVERIFY2(f.Row(row) == QStringList({"31", "31", "31", "", "1", "31", "31", "31", ""}),
                     qPrintable(forms[row - 1] + " reads back as " + f.Row(row).join(',')));
        }
    }

    void openingTakesNumInstruccionesMinusOneRowsAtMostThirty_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("filledRows");
        QTest::newRow("5") << FileWithRows(5, 30) << 4;
        QTest::newRow("40") << FileWithRows(40, 39) << 30;
        QTest::newRow("0") << FileWithRows(0, 30) << 0;
        QTest::newRow("1") << FileWithRows(1, 30) << 0;
        QTest::newRow("missing") << QByteArray("[CONFIG]\nPuerto=6\n[Instrucciones]\n0_1=5\n") << 0;
    }
    void openingTakesNumInstruccionesMinusOneRowsAtMostThirty() {
        QFETCH(QByteArray, file);
        QFETCH(int, filledRows);
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("tabla.int")};
        AnswerDialogs(f, dialogs);
        f.Put(dialogs.answer, file);
        f.SetRow(30, Sample(30));
        f.window->Abrir1Click();
        for (int row = 1; row <= 30; ++row) {
            const QStringList expected =
                row <= filledRows
                    ? QStringList{QString::number(row), "0", "0", "", "0", "0", "0", "0", ""}
                    : WindowFixture::EmptyRow();
            QCOMPARE(f.Row(row), expected);
        }
        QCOMPARE(f.Edit("EditPuerto").text(), QString("6"));
    }

    void openingReadsNumbersAsIntegersAndNamesAsText() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("tabla.chk")};
        AnswerDialogs(f, dialogs);
        f.Put(dialogs.answer,
              "[config]\r\nnuminstrucciones=2\r\n[INSTRUCCIONES]\r\n0_1=0x0A\r\n1_1=007\r\n"
              "2_1=abc\r\n3_1=$4\r\n4_1= 9 \r\n7_1=  Tama\xF1o \r\n8_1=0x10\r\n");
        f.window->Abrir1Click();
        QCOMPARE(f.Row(1), QStringList({"10", "7", "0", "Tamaño", "4", "9", "0", "0", "0x10"}));
        // a missing port reads as 0
        QCOMPARE(f.Edit("EditPuerto").text(), QString("0"));
        QCOMPARE(baslink::ini::ReadString(f.SettingsPath().toStdString(), "CONFIG", "Puerto"), "0");
    }

    void openingWhatIsNoReadableFileKeepsTheTableAndThePort() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs{f.Path("no-existe.int")};
        AnswerDialogs(f, dialogs);
        f.SetRow(3, Sample(3));
        f.Edit("EditPuerto").setText("4");
        f.window->FilaActual = 9;

        f.window->Abrir1Click();  // must neither end the program nor clear the table
        QCOMPARE(f.messages, QStringList{"No se ha encontrado el fichero " + dialogs.answer});
        QCOMPARE(f.Row(3), Sample(3));
        QCOMPARE(f.Edit("EditPuerto").text(), QString("4"));
        QCOMPARE(f.window->FilaActual, 9);
        QVERIFY(!QFile::exists(dialogs.answer));

        dialogs.answer = f.folder.path();  // a folder is no exchange file either
        f.window->Abrir1Click();
        QCOMPARE(f.messages.size(), 2);
        QCOMPARE(f.Row(3), Sample(3));

        dialogs.answer = f.Path("enorme.int");  // nor is a file too large to read
        f.Put(dialogs.answer, FileWithRows(31, 30));
        QVERIFY(QFile::resize(dialogs.answer, baslink::ini::kMaxFileSize + 1));
        f.window->Abrir1Click();
        QCOMPARE(f.messages.size(), 3);
        QCOMPARE(f.Row(3), Sample(3));
        QCOMPARE(f.Edit("EditPuerto").text(), QString("4"));
    }

    void theDialogsFilterExchangeFilesAndGiveTypedNamesTheExtensionChk() {
        WindowFixture f;
        f.Put(f.Path("notas"), "");  // "Todo" must show a name without a dot as well
        const quorvan::ExchangeFileDialogs dialogs = quorvan::PlatformExchangeFileDialogs();
        QStringList filters;
        QStringList allFiles;
        const auto typeName = [&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            dialog.setDirectory(f.folder.path());
            dialog.selectNameFilter(filters.value(1));
            auto* model = dialog.findChild<QFileSystemModel*>();
            QVERIFY(model != nullptr);
            const QModelIndex folder = model->index(f.folder.path());
            QTRY_VERIFY(model->rowCount(folder) > 0);
            for (int row = 0; row < model->rowCount(folder); ++row) {
                const QModelIndex index = model->index(row, 0, folder);
                if (!model->isDir(index) && index.flags().testFlag(Qt::ItemIsEnabled)) {
                    allFiles << model->fileName(index);
                }
            }
            TypeAndAccept(dialog, QStringLiteral("tabla"));
        };

        AnswerFileDialog(typeName);
        QCOMPARE(dialogs.SaveDialogProyecto(nullptr), f.Path("tabla.chk"));
        QCOMPARE(filters, QStringList({"Archivo de intercambio (*.int)", "Todo (*)"}));
        QVERIFY2(allFiles.contains("notas"), qPrintable(allFiles.join(',')));

        allFiles.clear();
        AnswerFileDialog(typeName);
        QCOMPARE(dialogs.OpenDialogProyecto(nullptr), f.Path("tabla.chk"));
        // (the blank that ends the open dialog's first text is dropped by the dialog itself)
        QCOMPARE(filters, QStringList({"Archivo de intercambio (*.int)", "Todo (*)"}));
        QVERIFY(allFiles.contains("notas"));

        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QCOMPARE(dialogs.OpenDialogProyecto(nullptr), QString());
    }

    void openingCancelledOrMalformedChangesNothingHarmful() {
        WindowFixture f;
        f.Create();
        Dialogs dialogs;
        AnswerDialogs(f, dialogs);
        f.SetRow(3, Sample(3));
        f.window->Abrir1Click();
        QCOMPARE(dialogs.runs, 1);
        QCOMPARE(f.Row(3), Sample(3));

        dialogs.answer = f.Path("basura.int");
        QByteArray garbage("\0\xFF[\n=\r\r[CONFIG\nNumInstrucciones==\n0_1\n[]\n=5\n", 42);
        garbage += QByteArray(5000, '[');
        f.Put(dialogs.answer, garbage);
        f.window->Abrir1Click();
        QCOMPARE(f.Row(3), WindowFixture::EmptyRow());
        QVERIFY(f.messages.isEmpty());
    }
};

QTEST_MAIN(ExchangeFileTest)
#include "ExchangeFileTest.moc"
