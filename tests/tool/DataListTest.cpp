// The data list: loading project files, sorting by the header, drawing, and copying a
// variable into the exchange editor.

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QTabWidget>

#include "DataCell.h"
#include "DataListHeader.h"
#include "DataListView.h"
#include "WindowFixture.h"

namespace {

const QByteArray kExample =
    "[CONFIG]\r\nCodigo=12\r\n[BASIC]\r\nByte1_3=Marcha\r\nByte2_3=Orden de marcha\r\n"
    "Byte3_3=2\r\nByte4_3=14\r\n";

// Sorts differently by every field: two regulators, blocks compared as text.
const QByteArray kRegulator12 =
    "[CONFIG]\nCodigo=12\n[BASIC]\n"
    "Int1_1=abc\nInt2_1=zeta\nInt3_1=10\nInt4_1=3\n"
    "Int1_2=ABD\nInt2_2=alfa\nInt3_2=2\nInt4_2=1\n"
    "Int1_3=marcha\nInt2_3=Bomba\nInt3_3=2\nInt4_3=0\n";
const QByteArray kRegulator3 =
    "[CONFIG]\nCodigo=3\n[BASIC]\nLong1_1=nivel\nLong2_1=Caudal\n"
    "Long3_1=1\nLong4_1=9\n";

const QColor kNavy(0, 0, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kGrey(0x80, 0x80, 0x80);

struct DataList {
    explicit DataList(WindowFixture& fixture) : f(fixture), window(f.Create()) {
        window.SetAbrirQZT([this](QWidget*) {
            ++dialogRuns;
            return answer;
        });
    }
    void Load(const QByteArray& content) {
        answer = f.Path(QStringLiteral("p%1.qzt").arg(dialogRuns));
        f.Put(answer, content);
        window.LeerproyectoMorvianBasic1Click();
    }
    quorvan::DataListView& View() const { return *f.Child<quorvan::DataListView>("ListaVisibles"); }
    quorvan::DataListHeader& Header() const {
        return *f.Child<quorvan::DataListHeader>("Cabecera");
    }
    QStringList Names() const {
        QStringList names;
        for (int entry = 0; entry < View().Count(); ++entry) {
            names << View().Record(entry)->Nombre;
        }
        return names;
    }
    void Focus(int entry) const {
        View().selectionModel()->setCurrentIndex(View().model()->index(entry, 0),
                                                 QItemSelectionModel::NoUpdate);
    }
    void ClickSection(int section) const {
        const QPoint centre(
            Header().sectionViewportPosition(section) + Header().sectionSize(section) / 2,
            Header().height() / 2);
        QTest::mouseClick(Header().viewport(), Qt::LeftButton, {}, centre);
    }
    int Page() const { return f.Child<QTabWidget>("Paginas")->currentIndex(); }
    QStringList Origin() const {
        return {f.Edit("ROCodigo").text(), f.Edit("ROBloque").text(), f.Edit("ROOffset").text(),
                f.Text("DescOrigen").text()};
    }
    QStringList Destination() const {
        return {f.Edit("RDCodigo").text(), f.Edit("RDBloque").text(), f.Edit("RDOffset").text(),
                f.Text("DescDestino").text()};
    }
    QString Size() const { return f.Child<QComboBox>("ComboTamano")->currentText(); }

    WindowFixture& f;
    quorvan::TFGlobal& window;
    QString answer;
    int dialogRuns = 0;
};

// The rightmost column holding a dark pixel, or -1.
int RightmostInk(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 100) {
                return x;
            }
        }
    }
    return -1;
}

}  // namespace

class DataListTest : public QObject {
    Q_OBJECT

private slots:
    void theExampleProjectIsCopiedAsOriginAndAsDestination() {
        WindowFixture f;
        DataList list(f);
        f.Child<QTabWidget>("Paginas")->setCurrentIndex(0);
        f.Edit("ROTamanio").setText("4");  // which also selects "LONG - FLOAT"
        list.Load(kExample);
        QCOMPARE(list.Page(), 1);
        QCOMPARE(list.Names(), QStringList{"Marcha"});

        f.Click("SelecOrigen");
        QCOMPARE(list.Origin(), QStringList({"12", "2", "14", "Marcha"}));
        QCOMPARE(list.Size(), QString("CHAR - BYTE"));
        QCOMPARE(f.Edit("ROTamanio").text(), QString("4"));  // ComboTamanoChange did not run
        QCOMPARE(list.window.RegistroActual, list.View().Record(0));

        f.Child<QComboBox>("ComboTamano")->setCurrentIndex(1);
        f.Click("SelecDestino");
        QCOMPARE(list.Destination(), QStringList({"12", "2", "14", "Marcha"}));
        QCOMPARE(list.Size(), QString("INTEGER"));
        QVERIFY(f.messages.isEmpty());
    }

    void theOriginSelectsTheSizeOfTheVariablesType() {
        WindowFixture f;
        DataList list(f);
        list.Load(
            "[BASIC]\nChar1_1=c\nChar2_1=1\nInt1_1=i\nInt2_1=2\nLong1_1=l\nLong2_1=3\n"
            "Float1_1=f\nFloat2_1=4\n");
        const struct {
            const char* name;
            const char* size;
        } rows[] = {
            {"c", "CHAR - BYTE"}, {"i", "INTEGER"}, {"l", "LONG - FLOAT"}, {"f", "LONG - FLOAT"}};
        for (int entry = 0; entry < 4; ++entry) {
            QCOMPARE(list.View().Record(entry)->Nombre, QString(rows[entry].name));
            f.Child<QComboBox>("ComboTamano")->setCurrentIndex(entry == 0 ? 2 : 0);
            list.Focus(entry);
            list.window.SelecOrigenClick();
            QCOMPARE(list.Size(), QString(rows[entry].size));
        }
    }

    void loadsAppendCancelsResortAndEmptyingLeavesAWorkingEmptyList() {
        WindowFixture f;
        DataList list(f);
        list.Load(kExample);
        list.Load(kExample);
        QCOMPARE(list.Names(), QStringList({"Marcha", "Marcha"}));
        list.window.SelecOrigenClick();

        list.window.CabeceraSectionClick(3);
        f.Child<QTabWidget>("Paginas")->setCurrentIndex(0);
        list.answer.clear();  // cancelled
        list.window.LeerproyectoMorvianBasic1Click();
        QCOMPARE(list.dialogRuns, 3);
        QCOMPARE(list.window.ColumnaOrden, 0);
        QCOMPARE(list.Page(), 1);
        QCOMPARE(list.View().Count(), 2);

        f.Child<QAction>("Vaciarlistadedatos1")->trigger();
        QCOMPARE(list.View().Count(), 0);
        QVERIFY(list.window.ListaRegistros.empty());
        QVERIFY(list.window.RegistroActual == nullptr);

        f.Edit("ROCodigo").setText("5");
        f.Edit("RDCodigo").setText("6");
        f.Click("SelecOrigen");
        f.Click("SelecDestino");
        QCOMPARE(f.Edit("ROCodigo").text(), QString("5"));
        QCOMPARE(f.Edit("RDCodigo").text(), QString("6"));
        list.ClickSection(1);
        QCOMPARE(list.window.ColumnaOrden, 1);
        list.window.Vaciarlistadedatos1Click();
        QCOMPARE(list.View().Count(), 0);
        list.Load(kRegulator3);
        QCOMPARE(list.Names(), QStringList{"nivel"});
    }

    void eachSectionSortsByItsTextWithoutRegardToCase() {
        WindowFixture f;
        DataList list(f);
        list.window.show();
        list.Load(kRegulator12);
        list.Load(kRegulator3);
        const struct {
            const char* name;
            QStringList order;
        } rows[] = {
            {"Equipo: code and description", {"ABD", "marcha", "abc", "nivel"}},
            {"Nombre Var.: name, abc before ABD", {"abc", "ABD", "marcha", "nivel"}},
            {"Descripción: description", {"ABD", "marcha", "nivel", "abc"}},
            {"Tipo: block text (10 before 2) and name", {"nivel", "abc", "ABD", "marcha"}},
            {"Bloque: like Equipo", {"ABD", "marcha", "abc", "nivel"}},
            {"Offset: like Equipo", {"ABD", "marcha", "abc", "nivel"}},
        };
        for (int section = 0; section < 6; ++section) {
            list.ClickSection(section);
            QVERIFY2(list.Names() == rows[section].order, rows[section].name);
            QCOMPARE(list.window.ColumnaOrden, section);
        }
        QCOMPARE(list.View().Text(0), QString("12 alfa"));  // the sort text of section 5
    }

    void theHeaderTakesTheWindowsWidthOnlyWhenTheListHasRoomForTheSections() {
        WindowFixture f;
        DataList list(f);
        list.window.show();
        list.window.resize(1300, 600);
        QTRY_COMPARE(list.Header().width(), 1300);
        QCOMPARE(list.window.AnchoCabecera, 750);
        QCOMPARE(list.Header().x(), 0);

        list.window.resize(820, 600);
        QTRY_COMPARE(list.Header().width(), 750);

        list.Header().resizeSection(1, 500);
        list.Header().resizeSection(0, 300);
        QCOMPARE(list.Header().sectionSize(1), 400);  // its largest width
        QCOMPARE(list.Header().sectionSize(0), 300);  // no largest width
        QCOMPARE(list.window.AnchoCabecera, 750);     // until the window is resized
        list.window.resize(830, 600);
        QTRY_COMPARE(list.window.AnchoCabecera, 750 + 220 + 160);
        QCOMPARE(list.Header().width(), list.window.AnchoCabecera);

        // Resized while another tab is shown, the list has its new width only back on its tab.
        list.Header().resizeSection(0, 80);
        list.Header().resizeSection(1, 240);
        f.Child<QTabWidget>("Paginas")->setCurrentIndex(0);
        list.window.resize(1300, 600);
        QTRY_COMPARE(list.window.width(), 1300);
        f.Child<QTabWidget>("Paginas")->setCurrentIndex(1);
        QTRY_COMPARE(list.Header().width(), 1300);
    }

    void aSelectedRowIsWhiteOnNavyInTheHeadersColumns() {
        WindowFixture f;
        DataList list(f);
        list.window.show();
        list.window.resize(1300, 600);
        list.Load(
            "[CONFIG]\nCodigo=12\n[BASIC]\nInt1_1=Nivel\nInt2_1=a\nInt3_1=3\nInt4_1=8\n"
            "Byte1_1=Marcha\nByte2_1=b\n");
        auto& view = list.View();
        view.selectionModel()->select(view.model()->index(0, 0), QItemSelectionModel::Select);
        const QImage image = view.viewport()->grab().toImage();
        const QRect selected = view.visualRect(view.model()->index(0, 0));
        const QRect plain = view.visualRect(view.model()->index(1, 0));
        QCOMPARE(selected.height(), 13);

        // Cells start at 0, 78, 316, 554, 602 and 640; the last ends at 680.
        const int middle = selected.top() + 1;
        QCOMPARE(image.pixelColor(60, middle), kNavy);
        QCOMPARE(image.pixelColor(60, selected.bottom()), kSilver);
        QCOMPARE(image.pixelColor(679, middle), kSilver);
        QCOMPARE(image.pixelColor(690, middle), view.palette().color(QPalette::Highlight));
        QCOMPARE(image.pixelColor(60, plain.top() + 1), QColor(Qt::white));
        QCOMPARE(image.pixelColor(690, plain.top() + 1), view.palette().color(QPalette::Base));
        bool whiteText = false;
        for (int x = 2; x < 20; ++x) {
            for (int y = selected.top(); y < selected.bottom(); ++y) {
                whiteText = whiteText || image.pixelColor(x, y) == QColor(Qt::white);
            }
        }
        QVERIFY(whiteText);

        // The type cell of an integer shows "Intgeger".
        QImage expected(image.size(), image.format());
        expected.fill(Qt::black);
        QPainter painter(&expected);
        painter.setFont(view.font());
        quorvan::DibujaCelda(painter, selected, quorvan::CellAlignment::Left, kSilver, kNavy,
                             Qt::white, "Intgeger", 50, 554);
        painter.end();
        const QRect typeCell(554, selected.top(), 48, selected.height());
        QCOMPARE(image.copy(typeCell), expected.copy(typeCell));
    }

    void aCellIsLinedAndHoldsItsTextAtItsAlignmentClippedToIt() {
        // A row 20 pixels high at y 5; the cell starts 40 pixels in.
        const QRect item(0, 5, 200, 20);
        QFont font;
        font.setPixelSize(11);
        const QFontMetrics metrics(font);
        const int ab = metrics.horizontalAdvance("Ab");
        const QString longText = QStringLiteral("a text much wider than its cell");
        const struct {
            const char* name;
            quorvan::CellAlignment alignment;
            QString text;
            int width;
            int textX;
        } rows[] = {
            {"left", quorvan::CellAlignment::Left, "Ab", 60, 42},
            {"right", quorvan::CellAlignment::Right, "Ab", 60, 98 - ab},
            {"centre, the odd pixel right", quorvan::CellAlignment::Centre, "Ab", ab + 9, 44},
            {"right, wider than the cell", quorvan::CellAlignment::Right, longText, 60,
             98 - metrics.horizontalAdvance(longText)},
        };
        const auto canvas = [] {
            QImage image(200, 30, QImage::Format_RGB32);
            image.fill(Qt::green);
            return image;
        };
        for (const auto& row : rows) {
            QImage drawn = canvas();
            QPainter painter(&drawn);
            painter.setFont(font);
            QCOMPARE(quorvan::DibujaCelda(painter, item, row.alignment, kSilver, kNavy, Qt::white,
                                          row.text, row.width, 40),
                     38 + row.width);
            painter.end();

            QImage expected = canvas();
            QPainter reference(&expected);
            const QRect cell(40, 5, row.width, 20);
            reference.fillRect(cell, kNavy);
            reference.fillRect(QRect(40, 24, row.width - 1, 1), kSilver);
            reference.fillRect(QRect(39 + row.width, 5, 1, 20), kSilver);
            reference.setClipRect(cell);
            reference.setFont(font);
            reference.setPen(Qt::white);
            const int textTop = 5 + (20 - metrics.height()) / 2;
            reference.drawText(QPoint(row.textX, textTop + metrics.ascent()), row.text);
            reference.end();
            QVERIFY2(drawn == expected, row.name);
        }
    }

    void theSortMarkAndTheEllipsisOfTheHeader() {
        WindowFixture f;
        DataList list(f);
        list.window.show();
        auto& header = list.Header();
        const auto markShown = [&header](int section) {
            const QImage image = header.viewport()->grab().toImage();
            const int right = header.sectionViewportPosition(section) + header.sectionSize(section);
            return image.pixelColor(right - 13, 5) == kGrey;
        };
        QVERIFY(markShown(0));  // built for section 0 at the first showing
        QVERIFY(!markShown(1));
        list.ClickSection(1);
        QVERIFY(markShown(1));
        QVERIFY(!markShown(0));
        list.Load(kExample);
        QVERIFY(markShown(0));

        // "Nombre Var." needs more than its text width plus 10 to be shown.
        const int textWidth = QFontMetrics(header.font()).horizontalAdvance("Nombre Var.");
        const int ellipsisEnd = header.font().pointSize() + 2 * textWidth / 3;
        for (const int width : {textWidth + 10, textWidth + 11}) {
            QImage image(width, 20, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            header.CabeceraDrawSection(painter, 1, QRect(0, 0, width, 20));
            painter.end();
            const int ink = RightmostInk(image.copy(0, 0, width - 20, 20));
            QVERIFY2(width > textWidth + 10 ? ink > ellipsisEnd : ink < ellipsisEnd,
                     qPrintable(QString("width %1, ink to %2").arg(width).arg(ink)));
        }
    }

    void enterOnTheDataListTabCopiesTheFocusedEntryAsOrigin() {
        WindowFixture f;
        DataList list(f);
        list.Load(kRegulator3);
        list.window.show();
        list.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&list.window));

        list.View().setFocus();
        QTest::keyClick(&list.View(), Qt::Key_Return);
        QCOMPARE(list.Origin(), QStringList({"3", "1", "9", "nivel"}));

        auto* destination = f.Child<QPushButton>("SelecDestino");
        destination->setFocus();
        QTest::keyClick(destination, Qt::Key_Enter);
        QCOMPARE(list.Destination(), QStringList({"3", "1", "9", "nivel"}));

        f.Child<QTabWidget>("Paginas")->setCurrentIndex(0);
        f.Edit("ROCodigo").setText("5");
        f.Edit("ROCodigo").setFocus();
        QTest::keyClick(&f.Edit("ROCodigo"), Qt::Key_Return);
        QCOMPARE(f.Edit("ROCodigo").text(), QString("5"));
    }

    void theProjectDialogFiltersProjectFilesAndGivesTypedNamesTheirExtension() {
        WindowFixture f;
        QStringList filters;
        AnswerFileDialog([&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            dialog.setDirectory(f.folder.path());
            TypeAndAccept(dialog, QStringLiteral("proyecto"));
        });
        QCOMPARE(quorvan::AbrirQZT(nullptr), f.Path("proyecto.qzt"));
        QCOMPARE(filters, QStringList({"Regulación Zevav (*.qzt)", "Todos los archivos (*)"}));
    }
};

QTEST_MAIN(DataListTest)
#include "DataListTest.moc"
