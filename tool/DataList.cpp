// The data list: a project's variables loaded into the list, sorted by a header section,
// emptied, and copied into the origin or destination fields of the exchange editor.

#include <QAbstractButton>
#include <QApplication>
#include <QShortcut>

#include "DataListHeader.h"
#include "DataListView.h"
#include "UGlobal_mod.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

constexpr int kDataListPage = 1;

// The size combo's item for a variable type; -1 for a type the combo has no item for.
int ComboItemOfType(std::uint8_t tipo) {
    switch (tipo) {
        case 0:
        case 1:
            return 0;  // "CHAR - BYTE"
        case 2:
            return 1;  // "INTEGER"
        case 3:
        case 4:
            return 2;  // "LONG - FLOAT"
        default:
            return -1;
    }
}

}  // namespace

void TFGlobal::ConnectDataList() {
    ui->ListaVisibles->SetHeader(ui->Cabecera);
    connect(ui->LeerproyectoMorvianBasic1, &QAction::triggered, this,
            &TFGlobal::LeerproyectoMorvianBasic1Click);
    connect(ui->Vaciarlistadedatos1, &QAction::triggered, this,
            &TFGlobal::Vaciarlistadedatos1Click);
    connect(ui->SelecOrigen, &QPushButton::clicked, this, &TFGlobal::SelecOrigenClick);
    connect(ui->SelecDestino, &QPushButton::clicked, this, &TFGlobal::SelecDestinoClick);
    connect(ui->Cabecera, &QHeaderView::sectionClicked, this, &TFGlobal::CabeceraSectionClick);
    connect(ui->Cabecera, &QHeaderView::sectionResized, this, &TFGlobal::CabeceraSectionResize);
    // The window's resizes reach the list through the layouts, but a list on a hidden tab
    // takes its new size only when the tab is shown again: the header follows the list.
    connect(ui->ListaVisibles, &DataListView::Resized, this, &TFGlobal::FormResize);

    // The tab's two selection buttons are the window's default buttons while it is shown.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);  // owned by the window
        connect(shortcut, &QShortcut::activated, this, &TFGlobal::PressDefaultButton);
        const auto enableOnDataList = [this, shortcut] {
            shortcut->setEnabled(ui->Paginas->currentWidget() == ui->Tab_ListaDatos);
        };
        connect(ui->Paginas, &QTabWidget::currentChanged, shortcut, enableOnDataList);
        enableOnDataList();
    }
}

void TFGlobal::PressDefaultButton() {
    if (auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget())) {
        focused->click();
        return;
    }
    ui->SelecOrigen->click();
}

void TFGlobal::LeerproyectoMorvianBasic1Click() {
    const QString file = abrirQZT_(this);
    if (!file.isEmpty()) {
        AppendProjectVariables(file, ListaRegistros);
    }
    CabeceraSectionClick(0);
    ui->Paginas->setCurrentIndex(kDataListPage);
}

void TFGlobal::Vaciarlistadedatos1Click() {
    // The view lets go of the records before they are released.
    ui->ListaVisibles->Clear();
    ListaRegistros.clear();
    RegistroActual = nullptr;
}

void TFGlobal::FormDestroy() {
    Vaciarlistadedatos1Click();
}

const TRegistro* TFGlobal::CopyFocusedRecord(UpDownEdit& code, UpDownEdit& block,
                                             UpDownEdit& offset, QLineEdit& name) {
    const TRegistro* record = ui->ListaVisibles->FocusedRecord();
    if (record != nullptr) {
        RegistroActual = record;
        code.setText(record->Equipo);
        block.setText(record->Bloque);
        offset.setText(record->Offset);
        name.setText(record->Nombre);
    }
    return record;
}

void TFGlobal::SelecOrigenClick() {
    const TRegistro* record =
        CopyFocusedRecord(*ui->ROCodigo, *ui->ROBloque, *ui->ROOffset, *ui->DescOrigen);
    // Set by program, so ComboTamanoChange does not run and ROTamanio keeps its text.
    if (const int item = record != nullptr ? ComboItemOfType(record->Tipo) : -1; item >= 0) {
        ui->ComboTamano->setCurrentIndex(item);
    }
}

void TFGlobal::SelecDestinoClick() {
    CopyFocusedRecord(*ui->RDCodigo, *ui->RDBloque, *ui->RDOffset, *ui->DescDestino);
}

void TFGlobal::CabeceraSectionClick(int section) {
    ui->ListaVisibles->Rebuild(ListaRegistros, DataListHeader::ImageIndex(section));
    ColumnaOrden = section;
    ui->Cabecera->ShowSortMark(section);
}

void TFGlobal::CabeceraSectionResize() {
    ui->ListaVisibles->viewport()->update();
}

void TFGlobal::FormShow() {
    if (ui->ListaVisibles->Count() == 0) {
        CabeceraSectionClick(ColumnaOrden);
    }
}

void TFGlobal::FormResize() {
    AjustaCabecera();
}

void TFGlobal::AjustaCabecera() {
    const DataListHeader& header = *ui->Cabecera;
    int sections = 0;
    for (int section = 0; section < DataListHeader::kSectionCount; ++section) {
        sections += header.sectionSize(section);
    }
    AnchoCabecera = sections + 60;
    const int width =
        ui->ListaVisibles->viewport()->width() < AnchoCabecera ? AnchoCabecera : this->width();
    ui->Cabecera->setGeometry(0, 0, width, header.height());
    ui->ListaVisibles->viewport()->repaint();
}

}  // namespace quorvan
