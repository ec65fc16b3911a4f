// The board transfer: "Leer QDKM" fills the exchange table from the board's EEPROM and
// "Escribir QDKM" writes it there, one record per library call.

#include <QAction>
#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <chrono>
#include <initializer_list>
#include <thread>
#include <vector>

#include "AnsiText.h"
#include "BoardImage.h"
#include "ExchangeGrid.h"
#include "IntegerText.h"
#include "Messages.h"
#include "UGlobal_mod.h"
#include "baslink.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

constexpr int kAttemptsPerRecord = 5;
constexpr int kFirstPort = 1;
constexpr int kLastPort = 20;
constexpr std::chrono::milliseconds kPauseBeforeReset{100};

// While a transfer runs, messages are processed, so the controls that would start a
// second transfer or change the table are kept disabled. Every way out of a handler
// enables them again and hides the progress bar.
class TransferGuard {
public:
    TransferGuard(std::initializer_list<QWidget*> widgets, std::initializer_list<QAction*> actions,
                  QProgressBar& progress)
        : widgets_(widgets), actions_(actions), progress_(progress) {
        SetEnabled(false);
    }
    ~TransferGuard() {
        progress_.hide();
        SetEnabled(true);
    }
    TransferGuard(const TransferGuard&) = delete;
    TransferGuard& operator=(const TransferGuard&) = delete;

private:
    void SetEnabled(bool enabled) {
        for (QWidget* widget : widgets_) {
            widget->setEnabled(enabled);
        }
        for (QAction* action : actions_) {
            action->setEnabled(enabled);
        }
    }

    std::vector<QWidget*> widgets_;  // in the order they are disabled and enabled
    std::vector<QAction*> actions_;
    QProgressBar& progress_;
};

// "Escribir QDKM" first, then "Leer QDKM"; then what changes the table.
TransferGuard GuardTransfer(Ui::TFGlobal& ui) {
    return TransferGuard(
        {ui.TEscribir, ui.Tleer, ui.Asignar, ui.SpeedButton1, ui.BorraUno, ui.BorraTodo},
        {ui.LeerQdkMaestra1, ui.EscribirLeerQdkMaestra1, ui.Abrir1}, *ui.Progreso);
}

// The library retries nothing: each record gets its own five attempts.
template <typename Attempt>
bool WithAttempts(Attempt attempt) {
    for (int tried = 0; tried < kAttemptsPerRecord; ++tried) {
        if (attempt()) {
            return true;
        }
    }
    return false;
}

QString NotAnIntegerMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

}  // namespace

std::optional<std::uint8_t> TFGlobal::BeginTransfer() {
    const QString text = ui->EditPuerto->text();
    const std::optional<std::int32_t> port = TextToInteger(ToAnsi(text));
    if (!port) {
        ShowMessage(NotAnIntegerMessage(text));
        return std::nullopt;
    }
    PuertoSerie = *port;
    // The library serves ports 1 to 20 only, and takes the port as a byte.
    if (PuertoSerie < kFirstPort || PuertoSerie > kLastPort) {
        ShowMessage(
            QStringLiteral("El puerto debe estar entre %1 y %2").arg(kFirstPort).arg(kLastPort));
        return std::nullopt;
    }
    ui->Comandos->SetRowCount(kExchangeRows + 1);
    ui->Progreso->setRange(0, kExchangeRows);
    ui->Progreso->setValue(0);
    ui->Progreso->show();
    return static_cast<std::uint8_t>(PuertoSerie);
}

void TFGlobal::LeerQdkMaestra1Click() {
    const TransferGuard guard = GuardTransfer(*ui);
    const std::optional<std::uint8_t> port = BeginTransfer();
    if (!port) {
        return;
    }
    StringGrid& grid = *ui->Comandos;
    for (int row = 1; row <= kExchangeRows; ++row) {
        ui->Progreso->setValue(row);
        Intercambio record{};
        const bool read = WithAttempts([&] {
            return LeerBloqueEpromQDK(*port, IntercambioAddress(row), kIntercambioSize,
                                      record.data()) != 0;
        });
        if (!read) {
            // Rows before this one already hold the board's values; the rest keep theirs.
            ShowMessage(QStringLiteral("Error en la lectura de la QDKM"));
            return;
        }
        grid.SetCell(kColumnOrder, row, QString::number(row));
        for (const auto& [column, text] : CellsFromIntercambio(record)) {
            grid.SetCell(column, row, text);
        }
    }
    ComandosClick();
    ShowMessage(QStringLiteral("Completado"));
}

void TFGlobal::EscribirLeerQdkMaestra1Click() {
    const TransferGuard guard = GuardTransfer(*ui);
    Guardar1Click();  // offered first; a cancelled save does not stop the write
    const std::optional<std::uint8_t> port = BeginTransfer();
    if (!port) {
        return;
    }
    StringGrid& grid = *ui->Comandos;
    std::uint16_t count = 0;
    for (int row = 1; row <= kExchangeRows; ++row) {
        if (grid.Cell(kColumnOriginCode, row).isEmpty()) {
            EscribeFilaVacia(row);
        }
        ui->Progreso->setValue(row);
        QString invalidCell;
        const std::optional<Intercambio> record =
            IntercambioFromRow([&](int column) { return grid.Cell(column, row); }, invalidCell);
        if (!record) {
            ShowMessage(NotAnIntegerMessage(invalidCell));
            break;
        }
        const bool written = WithAttempts([&] {
            return EscribirBloqueEpromQDK(*port, IntercambioAddress(row), kIntercambioSize,
                                          record->data()) != 0;
        });
        if (!written) {
            // The board keeps the new records before this row and its former bytes after.
            ShowMessage(QStringLiteral("Error de escritura de la QDKM"));
            break;
        }
        if (FilaUsada(row)) {
            ++count;
        }
        QCoreApplication::processEvents();
    }
    // The count always matches the records written, also after an error. Its own result
    // is not checked: the board is reset and the technician told either way.
    const std::array<std::uint8_t, 2> countBytes = NumIntercambiosBytes(count);
    EscribirBloqueEpromQDK(*port, kNumIntercambiosAddress, countBytes.size(), countBytes.data());
    std::this_thread::sleep_for(kPauseBeforeReset);
    ResetQDK(*port);
    ShowMessage(QStringLiteral("Completado"));
}

}  // namespace quorvan
