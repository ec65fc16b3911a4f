#pragma once
// The tool's main window: the exchange editor and grid, the page control with the help
// page and the data list, the menus, and the settings file kept next to the executable.

#include <QCoreApplication>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "ExchangeFileDialogs.h"
#include "FileDialog.h"
#include "ProjectFile.h"
#include "WindowFramePlace.h"

namespace Ui {
class TFGlobal;
}

class QLineEdit;

namespace quorvan {

class TAboutBoxForm;
class UpDownEdit;

class TFGlobal : public QMainWindow {
    Q_OBJECT

public:
    // `executableFolder` holds the settings file and the help page.
    explicit TFGlobal(TAboutBoxForm& aboutBox,
                      const QString& executableFolder = QCoreApplication::applicationDirPath(),
                      QWidget* parent = nullptr);
    ~TFGlobal() override;

    // Window life (runs from the constructor, the first showing and closing).
    void FormCreate();
    void FormActivate();
    void FormClose();
    void EscribeColumnas_Ini();
    void CargaAyuda(const QString& page);

    // Menu entries and controls of the window itself.
    void UpDown1MouseUp();
    void salir1Click();
    void N1Click();

    // The exchange table.
    void AsignarClick();
    void ComandosClick();
    void BorraTodoClick();
    void BorraUnoClick();
    void ROTamanioChange();
    void ComboTamanoChange();

    // The exchange file.
    void Guardar1Click();
    void Abrir1Click();
    void SetExchangeFileDialogs(ExchangeFileDialogs dialogs) { dialogs_ = std::move(dialogs); }

    // The board transfer: the exchange table read from and written to the board's EEPROM.
    void LeerQdkMaestra1Click();
    void EscribirLeerQdkMaestra1Click();

    // The data list: the variables of project files, sorted by a header section, copied
    // into the exchange editor.
    void LeerproyectoMorvianBasic1Click();
    void Vaciarlistadedatos1Click();
    void FormDestroy();
    void SelecOrigenClick();
    void SelecDestinoClick();
    void CabeceraSectionClick(int section);
    void CabeceraSectionResize();
    void FormShow();
    void FormResize();
    void AjustaCabecera();
    // The dialog that names a project file (the chosen name, or empty when cancelled).
    void SetAbrirQZT(std::function<QString(QWidget* owner)> dialog) {
        abrirQZT_ = std::move(dialog);
    }

    // The settings file: the executable's name with ".ini", in its folder.
    QString IniProgramaPath() const;

    // The grid row the next "Asignar" writes, 1 to 30.
    int FilaActual = 0;
    // The serial port of the last board transfer, as taken from EditPuerto.
    int PuertoSerie = 0;

    // The records of the data list, which owns them.
    RecordList ListaRegistros;
    // The record last copied into the editor; owns nothing.
    const TRegistro* RegistroActual = nullptr;
    // The header section the data list is sorted by.
    int ColumnaOrden = 0;
    // The header width the sections want: their widths plus 60.
    int AnchoCabecera = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectHandlers();
    void ConnectDataList();
    // Enter on the data list's tab: a focused button is pressed, otherwise SelecOrigen.
    void PressDefaultButton();
    // The focused entry's code, block, offset and name into the four fields; its record
    // becomes RegistroActual. Nothing without a focused entry.
    const TRegistro* CopyFocusedRecord(UpDownEdit& code, UpDownEdit& block, UpDownEdit& offset,
                                       QLineEdit& name);
    // The empty row: "0" in the number columns, no names; column 0 keeps the row number.
    void EscribeFilaVacia(int row);
    // A row is used when its origin code cell is neither empty nor "0" (a text comparison).
    bool FilaUsada(int row) const;
    // The start both board transfers share: PuertoSerie from EditPuerto, the table's 31
    // rows and the progress bar shown. Nothing (with its message shown) when the text is
    // not a port the library serves.
    std::optional<std::uint8_t> BeginTransfer();

    std::unique_ptr<Ui::TFGlobal> ui;
    TAboutBoxForm& AboutBoxForm;
    QString programPath_;  // the executable's full path, as the settings helpers take it
    ExchangeFileDialogs dialogs_;
    std::function<QString(QWidget* owner)> abrirQZT_ = AbrirQZT;
    bool activated_ = false;
    WindowFramePlace framePlace_;  // where the window opens, and what is stored at closing
};

}  // namespace quorvan
