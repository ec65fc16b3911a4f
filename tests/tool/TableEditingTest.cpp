// Editing the exchange table: the checks of "Asignar", row selection and deletions.

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "WindowFixture.h"

namespace {

// Fills the editor with a valid exchange; `code` tells the rows apart.
void FillEditor(const WindowFixture& f, const QString& code) {
    f.Edit("ROCodigo").setText(code);
    f.Edit("ROBloque").setText("2");
    f.Edit("ROOffset").setText("3");
    f.Text("DescOrigen").setText("Origen " + code);
    f.Edit("RDCodigo").setText("5");
    f.Edit("RDBloque").setText("6");
    f.Edit("RDOffset").setText("7");
    f.Text("DescDestino").setText("Destino " + code);
}

QStringList RowFor(const QString& code, const QString& size = "1") {
    return {code, "2", "3", "Origen " + code, size, "5", "6", "7", "Destino " + code};
}

void ClickRow(const WindowFixture& f, int row) {
    auto& grid = f.Grid();
    const QRect cell = grid.visualItemRect(grid.item(row - 1, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
}

// What the grid shows of its order column (column 0): a strip down its left edge, from
// the header row to the bottom of the rows, as wide as the column.
QImage OrderColumnAsShown(quorvan::StringGrid& grid) {
    const int bottom = grid.viewport()->geometry().bottom();
    return grid.grab(QRect(0, 0, grid.frameWidth() + grid.ColWidth(0), bottom)).toImage();
}

// A mouse click on the order column of a row, wherever the grid draws it.
void ClickOrderColumn(quorvan::StringGrid& grid, int row) {
    const QRect cell = grid.visualItemRect(grid.item(row - 1, grid.currentColumn()));
    const QPoint point(grid.frameWidth() + grid.ColWidth(0) / 2,
                       grid.viewport()->mapTo(&grid, cell.center()).y());
    QWidget* target = grid.childAt(point);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&grid, point));
}

}  // namespace

class TableEditingTest : public QObject {
    Q_OBJECT

private slots:
    void asignarChecksTheSevenFieldsInOrder_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("code 0") << "ROCodigo"
                                << "0"
                                << "ROCodigo incorrecto";
        QTest::newRow("code 1024") << "ROCodigo"
                                   << "1024"
                                   << "ROCodigo incorrecto";
        QTest::newRow("block 0") << "ROBloque"
                                 << "0"
                                 << "ROBloque incorrecto";
        QTest::newRow("offset -1") << "ROOffset"
                                   << "-1"
                                   << "ROOffset incorrecto";
        QTest::newRow("size empty") << "ROTamanio"
                                    << ""
                                    << "ROTamanio incorrecto";
        QTest::newRow("dest code abc") << "RDCodigo"
                                       << "abc"
                                       << "RDCodigo incorrecto";
        QTest::newRow("dest block blank") << "RDBloque"
                                          << "6 "
                                          << "RDBloque incorrecto";
        QTest::newRow("dest offset 1024") << "RDOffset"
                                          << "1024"
                                          << "RDOffset incorrecto";
    }
    void asignarChecksTheSevenFieldsInOrder() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        WindowFixture f;
        f.Create().show();
        FillEditor(f, "1");
        f.Edit("RDOffset").setText("x");  // a later field is wrong as well
        f.Edit(field.toLatin1().constData()).setText(text);
        f.Click("Asignar");
        QCOMPARE(f.messages, QStringList{message});
        QCOMPARE(f.Row(1), WindowFixture::EmptyRow());
        QCOMPARE(f.window->FilaActual, 1);
    }

    void asignarAcceptsTheWholeRanges() {
        WindowFixture f;
        f.Create().show();
        FillEditor(f, "1023");
        f.Edit("ROBloque").setText("1023");
        f.Edit("ROOffset").setText("0");
        f.Edit("RDBloque").setText("$100");
        f.Edit("RDOffset").setText("1023");
        f.Click("Asignar");
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.Row(1), QStringList({"1023", "1023", "0", "Origen 1023", "1", "5", "$100",
                                        "1023", "Destino 1023"}));
    }

    void asignarWritesTheRowAsTypedAndMovesOn() {
        WindowFixture f;
        f.Create().show();
        FillEditor(f, " 0x1F");
        auto* combo = f.Child<QComboBox>("ComboTamano");
        combo->setCurrentIndex(2);  // set by program: the hidden size keeps "1"
        QCOMPARE(f.Edit("ROTamanio").text(), QString("1"));
        f.Click("Asignar");
        // the size comes from the combo
        QCOMPARE(f.Row(1), RowFor(" 0x1F", "4"));
        QCOMPARE(f.window->FilaActual, 2);
        QCOMPARE(f.Grid().Row(), 2);
        QCOMPARE(f.Row(2), WindowFixture::EmptyRow());

        combo->setCurrentIndex(1);
        f.Click("SpeedButton1");  // the data list's own "Asignar"
        QCOMPARE(f.Row(2), RowFor(" 0x1F", "2"));
        QCOMPARE(f.window->FilaActual, 3);
    }

    void asignarOnAUsedNextRowLoadsIt() {
        WindowFixture f;
        f.Create().show();
        f.SetRow(2, RowFor("40", "4"));
        FillEditor(f, "10");
        f.Click("Asignar");
        QCOMPARE(f.Row(1), RowFor("10"));
        QCOMPARE(f.window->FilaActual, 2);
        QCOMPARE(f.Edit("ROCodigo").text(), QString("40"));
        QCOMPARE(f.Text("DescDestino").text(), QString("Destino 40"));
        QCOMPARE(f.Child<QComboBox>("ComboTamano")->currentText(), QString("LONG - FLOAT"));
        // a used row is not emptied
        QCOMPARE(f.Row(2), RowFor("40", "4"));
    }

    void rowThirtyIsWrittenAgainAndAgain() {
        WindowFixture f;
        f.Create().show();
        f.Grid().scrollToBottom();
        ClickRow(f, 30);
        QCOMPARE(f.window->FilaActual, 30);
        FillEditor(f, "1");
        f.Click("Asignar");
        FillEditor(f, "2");
        f.Click("Asignar");
        QCOMPARE(f.Row(30), RowFor("2"));
        QCOMPARE(f.Row(29), WindowFixture::EmptyRow());
        QCOMPARE(f.window->FilaActual, 30);
    }

    void selectingARowLoadsTheFieldsOnlyWhenItIsUsed() {
        WindowFixture f;
        f.Create().show();
        f.SetRow(3, RowFor("12", "2"));
        f.Grid().SetCell(1, 4, "0");  // "0" in the code marks a free row, whatever else it holds
        f.Grid().SetCell(2, 4, "9");
        FillEditor(f, "1");

        ClickRow(f, 4);
        QCOMPARE(f.window->FilaActual, 4);
        QCOMPARE(f.Edit("ROCodigo").text(), QString("1"));
        QCOMPARE(f.Edit("ROBloque").text(), QString("2"));

        ClickRow(f, 3);
        QCOMPARE(f.window->FilaActual, 3);
        QCOMPARE(f.Edit("ROCodigo").text(), QString("12"));
        QCOMPARE(f.Text("DescOrigen").text(), QString("Origen 12"));
        QCOMPARE(f.Edit("ROTamanio").text(), QString("2"));
        QCOMPARE(f.Child<QComboBox>("ComboTamano")->currentText(), QString("INTEGER"));

        f.Click("Asignar");
        QCOMPARE(f.Row(3), RowFor("12", "2"));
        QCOMPARE(f.window->FilaActual, 4);
    }

    void theOrderColumnStaysInViewAndNeverTakesTheCursor() {
        WindowFixture f;
        f.Create().show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        auto& grid = f.Grid();
        grid.SetColWidth(4, 400);  // wide enough to scroll at any screen size
        f.SetRow(3, RowFor("12"));
        ClickRow(f, 2);
        const QImage shown = OrderColumnAsShown(grid);

        struct Step {
            const char* name;
            std::function<void()> act;
            int row;
        };
        const Step steps[] = {
            {"End", [&] { QTest::keyClick(&grid, Qt::Key_End); }, 2},
            {"Home", [&] { QTest::keyClick(&grid, Qt::Key_Home); }, 2},
            {"Left", [&] { QTest::keyClick(&grid, Qt::Key_Left); }, 2},
            {"click on row 3, scrolled right",
             [&] {
                 grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
                 ClickOrderColumn(grid, 3);
             },
             3},
        };
        for (const Step& step : steps) {
            step.act();
            QVERIFY2(grid.currentColumn() > 0, step.name);
            QVERIFY2(grid.Row() == step.row, step.name);
            QVERIFY2(grid.selectionModel()->isRowSelected(step.row - 1), step.name);
            QVERIFY2(OrderColumnAsShown(grid) == shown, step.name);
        }
        QVERIFY(grid.horizontalScrollBar()->value() > 0);
        // a click runs ComandosClick like a click on any cell of the row, also on the row
        // already selected
        QCOMPARE(f.window->FilaActual, 3);
        f.Edit("ROCodigo").setText("99");
        ClickOrderColumn(grid, 3);
        QCOMPARE(f.Edit("ROCodigo").text(), QString("12"));
    }

    void deletingARowMovesTheRowsBelowUpWithTheirGaps() {
        WindowFixture f;
        f.Create().show();
        f.SetRow(1, RowFor("1"));
        f.SetRow(2, RowFor("2"));
        f.SetRow(4, RowFor("4"));
        f.SetRow(30, RowFor("30"));
        ClickRow(f, 2);
        f.window->FilaActual = 7;  // the selected row is deleted, not FilaActual
        f.Click("BorraUno");

        QCOMPARE(f.Row(1), RowFor("1"));
        // the gap moved up
        QCOMPARE(f.Row(2), WindowFixture::EmptyRow());
        QCOMPARE(f.Row(3), RowFor("4"));
        QCOMPARE(f.Row(29), RowFor("30"));
        QCOMPARE(f.Row(30), WindowFixture::EmptyRow());
        QCOMPARE(f.Grid().Cell(0, 3), QString("3"));
        QCOMPARE(f.window->FilaActual, 7);
        QCOMPARE(f.Grid().Row(), 2);

        f.Grid().SetRow(29);
        f.Click("BorraUno");
        QCOMPARE(f.Row(29), WindowFixture::EmptyRow());
        QCOMPARE(f.Row(3), RowFor("4"));
    }

    void clearingAllEmptiesEveryRowAndRestartsAtRowOne() {
        WindowFixture f;
        f.Create().show();
        for (int row = 1; row <= 30; ++row) {
            f.SetRow(row, RowFor(QString::number(row)));
        }
        f.Grid().SetRow(5);
        FillEditor(f, "99");
        f.Click("BorraTodo");
        for (int row = 1; row <= 30; ++row) {
            QCOMPARE(f.Row(row), WindowFixture::EmptyRow());
            QCOMPARE(f.Grid().Cell(0, row), QString::number(row));
        }
        QCOMPARE(f.Grid().Row(), 5);
        QCOMPARE(f.window->FilaActual, 1);
        // the fields are left alone
        QCOMPARE(f.Edit("ROCodigo").text(), QString("99"));
        f.Click("Asignar");
        QCOMPARE(f.Row(1), RowFor("99"));
    }

    void theSizeComboAndTheHiddenSizeFollowEachOther() {
        WindowFixture f;
        f.Create().show();
        auto* combo = f.Child<QComboBox>("ComboTamano");
        auto& size = f.Edit("ROTamanio");
        combo->setCurrentIndex(1);
        emit combo->activated(1);  // as when the technician picks the item
        QCOMPARE(size.text(), QString("2"));
        size.setText("4");
        QCOMPARE(combo->currentIndex(), 2);
        size.setText("3");
        // no size text falls back to the first item
        QCOMPARE(combo->currentIndex(), 0);
    }
};

QTEST_MAIN(TableEditingTest)
#include "TableEditingTest.moc"
