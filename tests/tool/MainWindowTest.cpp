// The main window's start, its settings file and its help page.

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include "IniFile.h"
#include "WindowFixture.h"

namespace {

constexpr int kDefaultWidths[] = {40, 50, 40, 40, 100, 60, 50, 40, 40, 100};

// A value of the settings file, or "<missing>".
QString Stored(const WindowFixture& f, const char* section, const char* key) {
    const auto value = baslink::ini::ReadString(f.SettingsPath().toStdString(), section, key);
    return QString::fromStdString(value.value_or("<missing>"));
}

// A mouse click on the up or down arrow of an up-down edit.
void ClickArrow(quorvan::UpDownEdit& edit, QStyle::SubControl arrow) {
    QStyleOptionSpinBox option;
    option.initFrom(&edit);
    option.subControls = QStyle::SC_All;
    const QRect area = edit.style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, &edit);
    QTest::mouseClick(&edit, Qt::LeftButton, {}, area.center());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartBuildsTheTableAndWritesTheSettingsFile() {
        WindowFixture f;
        auto& window = f.Create();

        QVERIFY(window.windowTitle().startsWith(
            "Quorvan Programa para establecer comunicaciones entre reguladores"));
        QVERIFY(window.windowTitle().endsWith("   Version DLL 1.39"));
        const QStringList headers = {"Orden",  "Origen",  "Bloque", "Offset", "Nombre",
                                     "Tamaño", "Destino", "Bloque", "Offset", "Nombre"};
        QCOMPARE(f.Grid().RowCount(), 31);
        for (int column = 0; column < 10; ++column) {
            QCOMPARE(f.Grid().Cell(column, 0), headers[column]);
            QCOMPARE(f.Grid().ColWidth(column), kDefaultWidths[column]);
        }
        for (int row = 1; row <= 30; ++row) {
            QCOMPARE(f.Grid().Cell(0, row), QString::number(row));
            QCOMPARE(f.Row(row), WindowFixture::EmptyRow());
        }
        QCOMPARE(window.FilaActual, 1);
        QCOMPARE(f.Child<QTabWidget>("Paginas")->currentWidget()->objectName(),
                 QString("Tab_ListaDatos"));

        QCOMPARE(QDir(f.folder.path()).entryList({"*.ini"}),
                 {QFileInfo(f.SettingsPath()).fileName()});
        QCOMPARE(Stored(f, "POS", "Pos_X"), QString::number(window.x()));
        QCOMPARE(Stored(f, "POS", "Pos_Y"), QString::number(window.y()));
        QCOMPARE(Stored(f, "POS", "Ancho"), QString("948"));
        QCOMPARE(Stored(f, "POS", "Alto"), QString("490"));
        QCOMPARE(Stored(f, "COLS", "Col_TC_Orden"), QString("40"));
        QCOMPARE(Stored(f, "COLS", "Col_TC_Tamano_o"), QString("60"));
        QCOMPARE(Stored(f, "COLS", "Col_TC_Nombre_d"), QString("100"));
        QVERIFY(!f.Content(f.SettingsPath()).contains("CONFIG"));
        QVERIFY(f.messages.isEmpty());

        window.show();
        // no port stored yet
        QCOMPARE(f.Edit("EditPuerto").text(), QString());
    }

    void storedWidthsAndPlaceAreAppliedUnlessZero() {
        WindowFixture f;
        f.Put(f.SettingsPath(),
              "[POS]\nPos_X=-20\nPos_Y=0\nAncho=700\nAlto=300\n"
              "[COLS]\nCol_TC_Orden=0\nCol_TC_Codigo_o=77\nCol_TC_Nombre_d=abc\n"
              "[CONFIG]\nPuerto=7\n");
        auto& window = f.Create();
        QCOMPARE(f.Grid().ColWidth(0), 40);
        QCOMPARE(f.Grid().ColWidth(1), 77);
        QCOMPARE(f.Grid().ColWidth(9), 100);
        const int createdTop = window.y();

        window.show();
        QCOMPARE(window.x(), -20);
        QCOMPARE(window.y(), createdTop);
        // raised to 800 x 400 exactly, whatever the controls would want
        QCOMPARE(window.size(), QSize(800, 400));
        QCOMPARE(f.Edit("EditPuerto").text(), QString("7"));
    }

    void absurdStoredPlaceAndSizeAreHeldToTheScreen() {
        WindowFixture f;
        f.Put(f.SettingsPath(),
              "[POS]\nPos_X=2147483647\nPos_Y=-2147483648\nAncho=2147483647\nAlto=12900000\n");
        auto& window = f.Create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect screen = window.screen()->availableVirtualGeometry();
        QVERIFY(screen.contains(window.geometry().topLeft() + QPoint(0, 1)) ||
                screen.intersects(window.geometry()));
        QCOMPARE(window.width(), std::max(screen.width(), 800));
        QCOMPARE(window.height(), std::max(screen.height(), 400));
        QCOMPARE(window.y(), screen.top());
        window.repaint();  // painting a window of the stored size would not fit in memory
    }

    void theNameLabelsShowTheirWholeTextBesideTheirEdits() {
        WindowFixture f;
        auto& window = f.Create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::pair<const char*, const char*> rows[] = {{"OriginNameLabel", "DescOrigen"},
                                                            {"DestinationNameLabel", "DescDestino"}};
        // the form's own font, then a wider one
        for (const int pointSize : {window.font().pointSize(), 12}) {
            QFont font = window.font();
            font.setPointSize(pointSize);
            window.setFont(font);
            for (const auto& [labelName, editName] : rows) {
                const auto* label = f.Child<QLabel>(labelName);
                const QLineEdit& edit = f.Text(editName);
                const QByteArray where = QByteArray(labelName) + " at " +
                                         QByteArray::number(pointSize) + " points";
                QCOMPARE(label->text(), QString("Nombre:"));
                QTRY_VERIFY2(label->contentsRect().width() >=
                                 label->fontMetrics().horizontalAdvance(label->text()),
                             where.constData());
                QVERIFY2(label->mapTo(&window, QPoint(label->width(), 0)).x() <=
                             edit.mapTo(&window, QPoint(0, 0)).x(),
                         where.constData());
            }
        }
    }

    void closingSavesPlaceSizeAndWidthsButNotATypedPort() {
        WindowFixture f;
        auto& window = f.Create();
        window.show();
        window.move(30, 40);
        window.resize(700, 380);
        // below the opening minimum the page control gives way under the top band, not over it
        QCOMPARE(f.Child<QTabWidget>("Paginas")->y(), 245);
        f.Grid().SetColWidth(4, 123);
        f.Edit("EditPuerto").setText("9");
        window.close();

        QCOMPARE(Stored(f, "POS", "Pos_X"), QString("30"));
        QCOMPARE(Stored(f, "POS", "Pos_Y"), QString("40"));
        // a smaller size is saved as it is
        QCOMPARE(Stored(f, "POS", "Ancho"), QString("700"));
        QCOMPARE(Stored(f, "POS", "Alto"), QString("380"));
        QCOMPARE(Stored(f, "COLS", "Col_TC_Nombre_o"), QString("123"));
        QCOMPARE(Stored(f, "CONFIG", "Puerto"), QString("<missing>"));
    }

    void theUpDownStoresThePortAtOnceWhenTheFileExists() {
        WindowFixture f;
        auto& window = f.Create();
        window.show();
        auto& port = f.Edit("EditPuerto");
        port.setText("4");
        ClickArrow(port, QStyle::SC_SpinBoxUp);
        QCOMPARE(port.text(), QString("5"));
        QCOMPARE(Stored(f, "CONFIG", "Puerto"), QString("5"));

        port.setText("100");
        ClickArrow(port, QStyle::SC_SpinBoxUp);
        // the arrows keep to 1..100
        QCOMPARE(port.text(), QString("100"));
        // stored although nothing changed
        QCOMPARE(Stored(f, "CONFIG", "Puerto"), QString("100"));

        QVERIFY(QFile::remove(f.SettingsPath()));
        ClickArrow(port, QStyle::SC_SpinBoxDown);
        QCOMPARE(port.text(), QString("99"));
        // no file is created for the port
        QVERIFY(!QFile::exists(f.SettingsPath()));
    }

    void anUnwritableFolderReportsEachWriteThenEndsAtTheFirstRead() {
        WindowFixture f;
        const QString folder = f.Path("no-existe");
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, f.Create(folder));
        QCOMPARE(f.messages.size(), 15);
        const QString settings = QDir(folder).filePath(QFileInfo(f.SettingsPath()).fileName());
        QCOMPARE(f.messages.first(), "Error en Fichero: " + settings);
        QCOMPARE(f.messages.last(), "No se ha encontrado el fichero " + settings);
    }

    void theHelpPageIsShownWhenPresent() {
        {
            WindowFixture f;
            f.Put(f.Path("inicio.html"), "<html><body><p>Ayuda de prueba</p></body></html>");
            f.Create();
            auto* help = f.Child<QTextBrowser>("VisorAyuda");
            QCOMPARE(help->source(), QUrl::fromLocalFile(f.Path("inicio.html")));
            QVERIFY(help->toPlainText().contains("Ayuda de prueba"));
        }
        {
            WindowFixture f;
            f.Create();
            QVERIFY(f.Child<QTextBrowser>("VisorAyuda")->source().isEmpty());
            QVERIFY(f.messages.isEmpty());
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
