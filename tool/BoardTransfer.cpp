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
#include "IntegerText.h"
#include "Messages.h"
#include "UGlobal_mod.h"
#include "baslink.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

constexpr int kIntentosPorIntercambio = 5;
constexpr int kPrimerPuerto = 1;
constexpr int kUltimoPuerto = 20;
constexpr std::chrono::milliseconds kPausaAntesDelReset{100};

// While a transfer runs, messages are processed, so the controls that would start a
// second transfer or change the table are kept disabled, and the progress bar shown.
// Every way out of a handler enables them again and hides the bar.
class ControlesDeTransferencia {
public:
    ControlesDeTransferencia(std::initializer_list<QWidget*> widgets,
                             std::initializer_list<QAction*> actions, QProgressBar& progreso)
        : widgets_(widgets), actions_(actions), progreso_(progreso) {
        SetEnabled(false);
    }
    ~ControlesDeTransferencia() {
        progreso_.hide();
        SetEnabled(true);
    }
    ControlesDeTransferencia(const ControlesDeTransferencia&) = delete;
    ControlesDeTransferencia& operator=(const ControlesDeTransferencia&) = delete;

    void MostrarProgreso() {
        progreso_.setRange(0, kIntercambiosEnPlaca);
        progreso_.setValue(0);
        progreso_.show();
    }
    void Progreso(int row) { progreso_.setValue(row); }

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
    QProgressBar& progreso_;
};

// "Escribir QDKM" first, then "Leer QDKM"; then what changes the table.
ControlesDeTransferencia Bloquear(Ui::TFGlobal& ui) {
    return ControlesDeTransferencia(
        {ui.TEscribir, ui.Tleer, ui.Asignar, ui.SpeedButton1, ui.BorraUno, ui.BorraTodo},
        {ui.LeerQdkMaestra1, ui.EscribirLeerQdkMaestra1, ui.Abrir1}, *ui.Progreso);
}

// The library retries nothing: each record gets its own five attempts.
template <typename Intento>
bool ConIntentos(Intento intento) {
    for (int attempt = 0; attempt < kIntentosPorIntercambio; ++attempt) {
        if (intento()) {
            return true;
        }
    }
    return false;
}

QString NoEsEntero(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

}  // namespace

std::optional<std::uint8_t> TFGlobal::PuertoDeTransferencia() {
    const QString text = ui->EditPuerto->text();
    const std::optional<std::int32_t> port = TextToInteger(ToAnsi(text));
    if (!port) {
        ShowMessage(NoEsEntero(text));
        return std::nullopt;
    }
    PuertoSerie = *port;
    // The library serves ports 1 to 20 only, and takes the port as a byte.
    if (PuertoSerie < kPrimerPuerto || PuertoSerie > kUltimoPuerto) {
        ShowMessage(QStringLiteral("El puerto debe estar entre %1 y %2")
                        .arg(kPrimerPuerto)
                        .arg(kUltimoPuerto));
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(PuertoSerie);
}

void TFGlobal::LeerQdkMaestra1Click() {
    ControlesDeTransferencia controles = Bloquear(*ui);
    const std::optional<std::uint8_t> port = PuertoDeTransferencia();
    if (!port) {
        return;
    }
    StringGrid& grid = *ui->Comandos;
    grid.SetRowCount(kIntercambiosEnPlaca + 1);
    controles.MostrarProgreso();
    for (int row = 1; row <= kIntercambiosEnPlaca; ++row) {
        controles.Progreso(row);
        Intercambio record{};
        const bool read = ConIntentos([&] {
            return LeerBloqueEpromQDK(*port, DireccionIntercambio(row), kTamanioIntercambio,
                                      record.data()) != 0;
        });
        if (!read) {
            // Rows before this one already hold the board's values; the rest keep theirs.
            ShowMessage(QStringLiteral("Error en la lectura de la QDKM"));
            return;
        }
        grid.SetCell(0, row, QString::number(row));
        for (const auto& [column, text] : CeldasDeIntercambio(record)) {
            grid.SetCell(column, row, text);
        }
    }
    ComandosClick();
    ShowMessage(QStringLiteral("Completado"));
}

void TFGlobal::EscribirLeerQdkMaestra1Click() {
    ControlesDeTransferencia controles = Bloquear(*ui);
    Guardar1Click();  // offered first; a cancelled save does not stop the write
    const std::optional<std::uint8_t> port = PuertoDeTransferencia();
    if (!port) {
        return;
    }
    StringGrid& grid = *ui->Comandos;
    grid.SetRowCount(kIntercambiosEnPlaca + 1);
    controles.MostrarProgreso();
    std::uint16_t count = 0;
    for (int row = 1; row <= kIntercambiosEnPlaca; ++row) {
        if (grid.Cell(1, row).isEmpty()) {
            EscribeFilaVacia(row);
        }
        controles.Progreso(row);
        QString invalidCell;
        const std::optional<Intercambio> record =
            IntercambioDeFila([&](int column) { return grid.Cell(column, row); }, invalidCell);
        if (!record) {
            ShowMessage(NoEsEntero(invalidCell));
            break;
        }
        const bool written = ConIntentos([&] {
            return EscribirBloqueEpromQDK(*port, DireccionIntercambio(row), kTamanioIntercambio,
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
    const std::array<std::uint8_t, 2> countBytes = BytesNumIntercambios(count);
    EscribirBloqueEpromQDK(*port, kDireccionNumIntercambios, countBytes.size(), countBytes.data());
    std::this_thread::sleep_for(kPausaAntesDelReset);
    ResetQDK(*port);
    ShowMessage(QStringLiteral("Completado"));
}

}  // namespace quorvan
