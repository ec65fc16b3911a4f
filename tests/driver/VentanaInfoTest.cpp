// The diagnostic window, offscreen, on the static core against the simulated bus (no
// worker thread runs: the tests read the blocks themselves, and queued writes stay queued).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <mutex>
#include <ostream>

#include "DriverObjectsTest.h"
#include "SeccionCritica.h"
#include "SimulatedBus.h"
#include "WorkerSteps.h"
#include "baslink.h"

// Shows a QString as its text in gtest's messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace baslink;

// The grid's rows as the window counts them: row 0 is the title row.
QStringList Row(const QTableWidget& grid, int row) {
    QStringList cells;
    for (int column = 0; column < grid.columnCount(); ++column) {
        if (row == 0) {
            cells << grid.horizontalHeaderItem(column)->text();
        } else {
            const QTableWidgetItem* item = grid.item(row - 1, column);
            cells << (item != nullptr ? item->text() : QString());
        }
    }
    return cells;
}

class InfoWindow : public DriverObjectsTest {
protected:
    static void SetUpTestSuite() { setenv("QT_QPA_PLATFORM", "offscreen", 1); }
    InfoWindow() { RecordMessages(); }

    // Shows the window of `port` and runs `inspect` on it once it is up; returns once the
    // window has closed, which `inspect` sees to.
    void WithWindow(uint8_t port, const std::function<void(QDialog&)>& inspect) {
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            // The grids are filled when the window becomes active.
            QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().startsWith(QStringLiteral("Puerto")),
                                     2000);
            inspect(*window);
            if (window->isVisible()) {
                ADD_FAILURE() << "the window is still open";
                window->reject();
            }
        });
        MostrarInfoVLX2(port, 0, 0);
    }

    static QTableWidget& Grid(QDialog& window, const char* name) {
        return *window.findChild<QTableWidget*>(QString::fromLatin1(name));
    }

    int argc_ = 1;
    char name_[12] = "window-test";
    char* argv_[2] = {name_, nullptr};
    QApplication app_{argc_, argv_};
};

TEST_F(InfoWindow, ShowsTheQueueTheRequestsAndTheCachedBlocksUntilTheLibraryStops) {
    sim::SimulatedBus bus("com1");
    bus.addRegulator(5).setMemory(0, 16, {1, 0, 255});
    auto node7 = bus.addRegulator(7);
    AnadirLecturaVLX2(1, 0, 5, 0, 16, 2, 1, "a");
    AnadirLecturaVLX2(1, 0, 5, 0, 17, 2, 1, "b");
    AnadirLecturaVLX2(1, 0, 7, 2, 300, 1, 1, "c");
    ReadNextBlock(1);
    const uint8_t bytes[] = {0x34, 0x12};
    EscribirMemoriaVLX2(2, 0, 9, 1, 0x20, 2, bytes);  // another port's write shows too

    WithWindow(1, [&](QDialog& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Puerto comm1"));
        QTableWidget& lecturas = Grid(window, "Lecturas");
        EXPECT_EQ(Row(lecturas, 0), QStringList({"Num Vlx", "Bloque", "@ base", "Tamaño bloque",
                                                 "Valores (decimal)"}));
        EXPECT_EQ(Row(lecturas, 1), QStringList({"5", "0", "16 - 0x0010", "3", "1,0,255"}));
        EXPECT_EQ(Row(lecturas, 2), QStringList({"7", "2", "300 - 0x012C", "1", "0"}));
        EXPECT_EQ(lecturas.rowCount(), 2);
        EXPECT_EQ(lecturas.columnWidth(4), 280);
        QTableWidget& peticiones = Grid(window, "Peticiones");
        EXPECT_EQ(Row(peticiones, 0),
                  QStringList({"Num Vlx", "Bloque", "@ base", "Tamaño bloque"}));
        EXPECT_EQ(Row(peticiones, 2), QStringList({"5", "0", "17 - 0x0011", "2"}));
        EXPECT_EQ(peticiones.rowCount(), 3);
        QTableWidget& escrituras = Grid(window, "Escrituras");
        EXPECT_EQ(Row(escrituras, 0).last(), QStringLiteral("Valor"));
        EXPECT_EQ(Row(escrituras, 1), QStringList({"9", "1", "32 - 0x0020", "2", "52,18"}));

        // The next tick brings the date and the blocks' fresh bytes.
        auto* label = window.findChild<QLabel*>(QStringLiteral("Label3"));
        EXPECT_EQ(label->text(), QStringLiteral("Listado de bloques pedidos al regulador"));
        node7.setMemory(2, 300, {42});
        ReadNextBlock(1);
        QTRY_COMPARE_WITH_TIMEOUT(Row(lecturas, 2).last(), QStringLiteral("42"), 2000);
        EXPECT_EQ(label->text(),
                  QStringLiteral("Listado de bloques pedidos al regulador ") +
                      QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        // Rows of blocks that have gone show blank, not their last bytes.
        QuitarVlx2(1, 0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(Row(lecturas, 1), QStringList({"", "", "", "", ""}), 2000);

        Parar = 1;
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 2000);
    });
    EXPECT_TRUE(messages.empty());
}

TEST_F(InfoWindow, APortWithoutRequestsShowsTitlesAndOneBlankRowAndClosesOnATopClick) {
    const uint8_t byte = 3;
    EscribirMemoriaVLX2(2, 0, 9, 0, 4, 1, &byte);
    WithWindow(20, [&](QDialog& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Puerto comm20"));
        EXPECT_EQ(Grid(window, "Lecturas").rowCount(), 0);
        EXPECT_EQ(Grid(window, "Peticiones").rowCount(), 1);
        EXPECT_EQ(Row(Grid(window, "Peticiones"), 1), QStringList({"", "", "", ""}));
        EXPECT_EQ(Row(Grid(window, "Escrituras"), 1),
                  QStringList({"9", "0", "4 - 0x0004", "1", "3"}));

        SendPendingWrites();  // port 2 was never opened: the write is dropped
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activation);
        EXPECT_EQ(Row(Grid(window, "Escrituras"), 1), QStringList({"", "", "", "", ""}));

        auto* panel = window.findChild<QFrame*>(QStringLiteral("Panel1"));
        auto* label = window.findChild<QLabel*>(QStringLiteral("Label1"));
        QTest::mouseClick(label, Qt::LeftButton);
        EXPECT_TRUE(window.isVisible());
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(panel->width() - 5, 10));
    });
    EXPECT_TRUE(messages.empty());
}

TEST_F(InfoWindow, OpensNoWindowFromInsideAnExchange) {
    {
        std::lock_guard lock(SeccionCritica);
        MostrarInfoVLX2(1, 0, 0);
        EXPECT_TRUE(messages.empty());  // not under the lock
    }
    EXPECT_EQ(messages, std::vector<std::string>{
                            "DLL MostrarInfoVLX2: no se abre la ventana durante un intercambio"});
}

}  // namespace
