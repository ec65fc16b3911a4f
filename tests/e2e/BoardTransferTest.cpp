// The board transfer end to end: the real main window, the real library and the
// simulated board on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QAction>
#include <QPixmap>
#include <QProgressBar>
#include <vector>

#include "SimulatedBus.h"
#include "TemporaryConfigHome.h"
#include "WindowFixture.h"

namespace {

using baslink::sim::Bytes;
using baslink::sim::FaultAction;
using baslink::sim::FrameKind;
using baslink::sim::kEveryFrame;

constexpr uint8_t kReadCommand = 5;
constexpr uint8_t kWriteCommand = 6;

// What starts a transfer or changes the table.
const QStringList kTransferControls = {
    "TEscribir", "Tleer",     "Asignar",         "SpeedButton1",
    "BorraUno",  "BorraTodo", "LeerQdkMaestra1", "EscribirLeerQdkMaestra1",
    "Abrir1"};

// A message as it was shown, with the window's state at that moment.
struct Shown {
    QString text;
    QStringList enabled;
    bool progress;
};

uint16_t Address(int row) {
    return static_cast<uint16_t>(10 + 11 * (row - 1));
}

// A used row and the record it makes.
QStringList Used(int n) {
    const QString row = QString::number(n);
    return {row, "1", QString::number(2 * n), "origen " + row, "2", QString::number(100 + n),
            "2", row, "destino " + row};
}
Bytes UsedRecord(int n) {
    const auto byte = [](int value) { return static_cast<uint8_t>(value); };
    return {0, byte(n), 1, 0, byte(2 * n), 2, 0, byte(100 + n), 2, 0, byte(n)};
}

class BoardTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenWindow();
        quorvan::SetMessageHandler([this](const QString& text) {
            shown.push_back({text, EnabledControls(), ProgressShown()});
            f.messages << text;
        });
    }

    // A fresh window on the same folder, port 1, and save dialogs answered by saveAnswer.
    void OpenWindow() {
        f.Create().show();
        f.Edit("EditPuerto").setText("1");
        const auto answer = [this](QWidget*) {
            dialogRuns.push_back(EnabledControls());
            return saveAnswer;
        };
        f.window->SetExchangeFileDialogs({answer, answer});
    }

    QStringList EnabledControls() const {
        QStringList enabled;
        for (const QString& name : kTransferControls) {
            const auto* widget = f.window->findChild<QWidget*>(name);
            const auto* action = f.window->findChild<QAction*>(name);
            if ((widget != nullptr && widget->isEnabled()) ||
                (action != nullptr && action->isEnabled())) {
                enabled << name;
            }
        }
        return enabled;
    }
    bool ProgressShown() const { return !f.Child<QProgressBar>("Progreso")->isHidden(); }

    Bytes Eeprom(uint16_t address, std::size_t size) const {
        return bus.board().eeprom(address, size);
    }
    Bytes Record(int row) const { return Eeprom(Address(row), 11); }

    void LoseSends(uint8_t command, int row, int frames) {
        bus.injectFault(
            {FaultAction::NoAnswer,
             {.kind = FrameKind::BoardSend, .command = command, .address = Address(row)},
             frames});
    }
    // The board frames that asked to read or write the record of a row.
    int Attempts(uint8_t command, int row) const {
        int attempts = 0;
        for (const auto& frame : bus.receivedFrames()) {
            const Bytes& b = frame.bytes;
            if (frame.kind == FrameKind::BoardSend && b.size() > 10 && b[7] == command &&
                b[9] * 256 + b[10] == Address(row)) {
                ++attempts;
            }
        }
        return attempts;
    }

    QStringList Texts() const { return f.messages; }

    // Before the bus links its port and before the library opens one.
    baslink::testing::TemporaryConfigHome configHome;
    baslink::sim::SimulatedBus bus{"com1"};
    WindowFixture f;
    std::vector<Shown> shown;
    QString saveAnswer;                   // empty: the save dialog is cancelled
    std::vector<QStringList> dialogRuns;  // the enabled controls at each run
};

TEST_F(BoardTransferTest, WrittenTableLandsOnTheBoardAndReadsBackIntoAFreshWindow) {
    bus.board().setEeprom(0, Bytes(8, 0x5A));
    bus.board().setEeprom(8, Bytes(332, 0xEE));
    bus.board().setEeprom(340, Bytes(16, 0x5A));
    f.SetRow(1, {"12", "3", "40", "TEMP", "2", "7", "1", "8", "AUX"});
    f.SetRow(2, {"", "5", "6", "suelta", "4", "9", "9", "9", "x"});
    f.SetRow(3, {"1023", "255", "1023", "", "4", "1", "1", "0", "Señal"});
    saveAnswer = f.Path("tabla.int");
    f.Click("TEscribir");

    EXPECT_EQ(Texts(), QStringList{"Completado"});
    EXPECT_TRUE(QFileInfo::exists(saveAnswer));
    EXPECT_EQ(Record(1), (Bytes{0, 12, 3, 0, 40, 2, 0, 7, 1, 0, 8}));
    EXPECT_EQ(Record(2), Bytes(11, 0));
    EXPECT_EQ(f.Row(2), WindowFixture::EmptyRow());
    EXPECT_EQ(Record(3), (Bytes{0x03, 0xFF, 0xFF, 0x03, 0xFF, 4, 0, 1, 1, 0, 0}));
    EXPECT_EQ(Eeprom(Address(4), 27 * 11), Bytes(27 * 11, 0));
    EXPECT_EQ(Eeprom(8, 2), (Bytes{0, 2}));
    EXPECT_EQ(Eeprom(0, 8), Bytes(8, 0x5A));
    EXPECT_EQ(Eeprom(340, 16), Bytes(16, 0x5A));
    EXPECT_EQ(bus.board().resetCount(), 1u);
    EXPECT_EQ(EnabledControls(), kTransferControls);
    EXPECT_FALSE(ProgressShown());

    // The window's look with a written table, to be checked by eye.
    const QPixmap picture = f.window->grab();
    EXPECT_TRUE(picture.save(QStringLiteral(E2E_OUTPUT_FOLDER "/board-transfer-window.png")));

    OpenWindow();
    f.messages.clear();
    f.Child<QAction>("LeerQdkMaestra1")->trigger();
    EXPECT_EQ(Texts(), QStringList{"Completado"});
    EXPECT_EQ(f.Row(1), (QStringList{"12", "3", "40", "", "2", "7", "1", "8", ""}));
    EXPECT_EQ(f.Row(2), WindowFixture::EmptyRow());
    EXPECT_EQ(f.Row(3), (QStringList{"1023", "255", "1023", "", "4", "1", "1", "0", ""}));
    for (int row = 4; row <= 30; ++row) {
        EXPECT_EQ(f.Row(row), WindowFixture::EmptyRow()) << "row " << row;
        EXPECT_EQ(f.Grid().Cell(0, row), QString::number(row));
    }
    // The selected row, a used one, is loaded into the fields at the end.
    EXPECT_EQ(f.Edit("ROCodigo").text(), "12");
    EXPECT_EQ(bus.board().resetCount(), 1u);
}

TEST_F(BoardTransferTest, BlockAbove255IsWrittenAsItsLowByteAndReadingKeepsTheNames) {
    f.SetRow(1, {"5", "300", "0", "Nivel", "1", "6", "300", "2", "Consigna"});
    f.Child<QAction>("EscribirLeerQdkMaestra1")->trigger();
    EXPECT_EQ(Record(1), (Bytes{0, 5, 44, 0, 0, 1, 0, 6, 44, 0, 2}));

    f.Click("Tleer");
    EXPECT_EQ(f.Row(1), (QStringList{"5", "44", "0", "Nivel", "1", "6", "44", "2", "Consigna"}));
    EXPECT_EQ(Texts(), (QStringList{"Completado", "Completado"}));
}

TEST_F(BoardTransferTest, RecordsThatFailFourTimesAreWrittenOnTheFifthAttempt) {
    for (int row = 1; row <= 3; ++row) {
        f.SetRow(row, Used(row));
    }
    // Two records in a row: the second gets its five attempts again.
    LoseSends(kWriteCommand, 2, 4);
    LoseSends(kWriteCommand, 3, 4);
    f.Click("TEscribir");

    EXPECT_EQ(Texts(), QStringList{"Completado"});
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(Record(row), UsedRecord(row)) << "row " << row;
    }
    EXPECT_EQ(Attempts(kWriteCommand, 1), 1);
    EXPECT_EQ(Attempts(kWriteCommand, 2), 5);
    EXPECT_EQ(Attempts(kWriteCommand, 3), 5);
    EXPECT_EQ(Eeprom(8, 2), (Bytes{0, 3}));
}

TEST_F(BoardTransferTest, ReadFailingOnBlock7KeepsTheRowsFromThereAsTheyWere) {
    const auto former = [](int n) {
        return QStringList{"9", "9", "9", "nombre " + QString::number(n), "1", "9", "9", "9", ""};
    };
    for (int row = 1; row <= 30; ++row) {
        bus.board().setEeprom(Address(row), UsedRecord(row));
        f.SetRow(row, former(row));
    }
    LoseSends(kReadCommand, 7, kEveryFrame);
    f.Click("Tleer");

    ASSERT_EQ(Texts(), QStringList{"Error en la lectura de la QDKM"});
    EXPECT_EQ(shown[0].enabled, QStringList{});
    EXPECT_TRUE(shown[0].progress);
    for (int row = 1; row <= 6; ++row) {
        QStringList expected = Used(row);
        expected[3] = former(row)[3];
        expected[8] = former(row)[8];
        EXPECT_EQ(f.Row(row), expected) << "row " << row;
    }
    for (int row = 7; row <= 30; ++row) {
        EXPECT_EQ(f.Row(row), former(row)) << "row " << row;
    }
    EXPECT_EQ(Attempts(kReadCommand, 7), 5);
    EXPECT_EQ(Attempts(kReadCommand, 8), 0);
    EXPECT_EQ(EnabledControls(), kTransferControls);
    EXPECT_FALSE(ProgressShown());
}

TEST_F(BoardTransferTest, WriteFailingOnRow7StoresTheCountOfWrittenRowsAndResets) {
    bus.board().setEeprom(8, Bytes(332, 0xAA));
    for (int row = 1; row <= 10; ++row) {
        f.SetRow(row, Used(row));
    }
    LoseSends(kWriteCommand, 7, kEveryFrame);
    f.Click("TEscribir");

    EXPECT_EQ(Texts(), (QStringList{"Error de escritura de la QDKM", "Completado"}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].enabled, QStringList{});
    EXPECT_TRUE(shown[0].progress);
    for (int row = 1; row <= 6; ++row) {
        EXPECT_EQ(Record(row), UsedRecord(row)) << "row " << row;
    }
    EXPECT_EQ(Eeprom(Address(7), 340 - Address(7)), Bytes(340 - Address(7), 0xAA));
    EXPECT_EQ(Eeprom(8, 2), (Bytes{0, 6}));
    EXPECT_EQ(bus.board().resetCount(), 1u);
    EXPECT_EQ(Attempts(kWriteCommand, 7), 5);
    EXPECT_EQ(Attempts(kWriteCommand, 8), 0);
    EXPECT_EQ(EnabledControls(), kTransferControls);
    EXPECT_FALSE(ProgressShown());
}

TEST_F(BoardTransferTest, CellThatIsNoNumberEndsTheWriteLikeAFailedRow) {
    bus.board().setEeprom(8, Bytes(332, 0xAA));
    f.SetRow(1, Used(1));
    f.SetRow(2, {"5", "1", "abc", "", "1", "6", "1", "0", ""});
    f.SetRow(3, Used(3));
    f.Click("TEscribir");

    EXPECT_EQ(Texts(), (QStringList{"'abc' is not a valid integer value", "Completado"}));
    EXPECT_EQ(Record(1), UsedRecord(1));
    EXPECT_EQ(Eeprom(Address(2), 340 - Address(2)), Bytes(340 - Address(2), 0xAA));
    EXPECT_EQ(Eeprom(8, 2), (Bytes{0, 1}));
    EXPECT_EQ(bus.board().resetCount(), 1u);
    EXPECT_EQ(EnabledControls(), kTransferControls);
}

TEST_F(BoardTransferTest, PortsTheLibraryDoesNotServeAreRefusedBeforeAnyExchange) {
    const QString outOfRange = "El puerto debe estar entre 1 y 20";
    const std::pair<QString, QString> cases[] = {
        {"0", outOfRange},
        {"21", outOfRange},
        {"257", outOfRange},  // its low byte would be port 1
        {"abc", "'abc' is not a valid integer value"},
        {"", "'' is not a valid integer value"}};
    for (const auto& [port, message] : cases) {
        for (const char* button : {"Tleer", "TEscribir"}) {
            f.messages.clear();
            f.Edit("EditPuerto").setText(port);
            f.Click(button);
            EXPECT_EQ(Texts(), QStringList{message}) << button << " " << port.toStdString();
            EXPECT_EQ(EnabledControls(), kTransferControls);
            EXPECT_FALSE(ProgressShown());
        }
    }
    EXPECT_EQ(dialogRuns.size(), std::size(cases));  // a write offers the save first
    EXPECT_EQ(bus.receivedCount(), 0u);

    f.messages.clear();
    f.Edit("EditPuerto").setText("1");
    f.Click("Tleer");
    EXPECT_EQ(Texts(), QStringList{"Completado"});
    EXPECT_EQ(f.window->PuertoSerie, 1);
}

TEST_F(BoardTransferTest, CancellingTheSaveDialogLetsAnEmptyTableBeWritten) {
    bus.board().setEeprom(8, Bytes(332, 0xFF));
    f.Click("TEscribir");

    ASSERT_EQ(dialogRuns.size(), 1u);
    EXPECT_EQ(dialogRuns[0], QStringList{});  // the transfer had already begun
    EXPECT_EQ(Texts(), QStringList{"Completado"});
    EXPECT_EQ(Eeprom(8, 332), Bytes(332, 0));  // a count of 0 and 30 zero records
    EXPECT_EQ(bus.board().resetCount(), 1u);
}

}  // namespace
