#include "VentanaInfo.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStringList>
#include <QTableWidget>
#include <algorithm>
#include <exception>
#include <vector>

#include "Driver.h"
#include "Messages.h"
#include "PortArgument.h"
#include "ReadCache.h"
#include "SeccionCritica.h"
#include "UserInterface.h"
#include "baslink.h"
#include "ui_VentanaInfo.h"

namespace baslink {
namespace {

constexpr int kTimerMs = 500;
constexpr int kValuesColumn = 4;
constexpr int kValuesWidth = 280;

const QStringList kAccessTitles{QStringLiteral("Num Vlx"), QStringLiteral("Bloque"),
                                QStringLiteral("@ base"), QStringLiteral("Tamaño bloque")};

QString BaseText(uint16_t base) {
    return QStringLiteral("%1 - 0x%2")
        .arg(int{base})
        .arg(QString::number(base, 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

QString BytesText(const std::vector<uint8_t>& bytes) {
    QStringList values;
    for (const uint8_t byte : bytes) {
        values << QString::number(byte);
    }
    return values.join(QLatin1Char(','));
}

// The grids count their rows with the title row, as row 0: data row r is the table's row
// r - 1, under its header. A row exists only once the row count takes it in.
void SetCell(QTableWidget& grid, int column, int row, const QString& text) {
    QTableWidgetItem* item = grid.item(row - 1, column);
    if (item == nullptr) {
        grid.setItem(row - 1, column, new QTableWidgetItem(text));
    } else {
        item->setText(text);
    }
}

void SetRowCount(QTableWidget& grid, int rowsWithTitle) {
    grid.setRowCount(rowsWithTitle - 1);
}

void SetTitles(QTableWidget& grid, const QStringList& titles) {
    grid.setColumnCount(static_cast<int>(titles.size()));
    grid.setHorizontalHeaderLabels(titles);
}

// `withBytes` adds the bytes as a fifth column.
void FillRow(QTableWidget& grid, int row, const AccessRow& access, bool withBytes) {
    SetCell(grid, 0, row, QString::number(access.node));
    SetCell(grid, 1, row, QString::number(access.block));
    SetCell(grid, 2, row, BaseText(access.base));
    SetCell(grid, 3, row, QString::number(access.size));
    if (withBytes) {
        SetCell(grid, kValuesColumn, row, BytesText(access.bytes));
    }
}

// Fills data rows 1.. with `rows`.
void FillRows(QTableWidget& grid, const std::vector<AccessRow>& rows, bool withBytes) {
    int row = 1;
    for (const AccessRow& access : rows) {
        FillRow(grid, row++, access, withBytes);
    }
}

// A grid that keeps one data row while its list is empty shows that row blank, not what
// an earlier list left in it.
void BlankRow(QTableWidget& grid, int row) {
    for (int column = 0; column < grid.columnCount(); ++column) {
        SetCell(grid, column, row, QString());
    }
}

void FillWithAtLeastOneRow(QTableWidget& grid, const std::vector<AccessRow>& rows, bool withBytes) {
    SetRowCount(grid, std::max(2, static_cast<int>(rows.size()) + 1));
    FillRows(grid, rows, withBytes);
    if (rows.empty()) {
        BlankRow(grid, 1);
    }
}

bool IsClick(const QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

}  // namespace

TFVentanaInfo::TFVentanaInfo(QWidget* parent) : QDialog(parent), ui(new Ui::TFVentanaInfo) {
    ui->setupUi(this);
    const int lecturasWidths[] = {80, 80, 80, 145};
    for (int column = 0; column < 4; ++column) {
        ui->Lecturas->setColumnWidth(column, lecturasWidths[column]);
    }
    ui->Panel1->installEventFilter(this);
    // A click on the label is the label's own, not the panel's.
    ui->Label1->setAttribute(Qt::WA_NoMousePropagation);
    Timer1.setInterval(kTimerMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1.start();
}

TFVentanaInfo::~TFVentanaInfo() = default;

void TFVentanaInfo::FormActivate() {
    setWindowTitle(QStringLiteral("Puerto comm%1").arg(int{Puerto}));

    QTableWidget& lecturas = *ui->Lecturas;
    SetTitles(lecturas, kAccessTitles + QStringList{QStringLiteral("Valores (decimal)")});
    const std::vector<AccessRow> blocks = CopyBlocks(Puerto);
    SetRowCount(lecturas, static_cast<int>(blocks.size()) + 1);
    FillRows(lecturas, blocks, true);
    lecturas.setColumnWidth(kValuesColumn, kValuesWidth);

    SetTitles(*ui->Escrituras, kAccessTitles + QStringList{QStringLiteral("Valor")});
    FillWithAtLeastOneRow(*ui->Escrituras, CopyPendingWrites(), true);

    SetTitles(*ui->Peticiones, kAccessTitles);
    FillWithAtLeastOneRow(*ui->Peticiones, CopyRequests(Puerto), false);
}

void TFVentanaInfo::Timer1Timer() {
    Timer1.stop();
    ui->Label3->setText(QStringLiteral("Listado de bloques pedidos al regulador ") +
                        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    if (Parar == 1) {
        close();
        return;
    }
    // The rows the last activation made; blocks past them show at the next activation,
    // and rows of blocks that have gone are blanked.
    QTableWidget& lecturas = *ui->Lecturas;
    const std::vector<AccessRow> blocks = CopyBlocks(Puerto);
    for (int row = 1; row <= lecturas.rowCount(); ++row) {
        if (row <= static_cast<int>(blocks.size())) {
            FillRow(lecturas, row, blocks[static_cast<std::size_t>(row - 1)], true);
        } else {
            BlankRow(lecturas, row);
        }
    }
    Timer1.start();
}

void TFVentanaInfo::Panel1Click() {
    close();
}

bool TFVentanaInfo::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(event);
}

bool TFVentanaInfo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Panel1 && IsClick(event)) {
        Panel1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void MostrarVentanaInfo(uint8_t port) {
    if (!platform::ShowsWindows()) {
        ShowLibraryMessage(texts::kInfoWithoutWindows);
        return;
    }
    if (SeccionCritica.HeldByCurrentThread()) {
        ShowLibraryMessage(texts::kInfoInsideExchange);
        return;
    }
    try {
        // The window belongs to the caller's active window.
        TFVentanaInfo window(QApplication::activeWindow());
        window.Puerto = port;
        window.exec();
    } catch (const std::exception& error) {
        ShowLibraryMessage(error.what());
    }
}

}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API void BASLINK_CALL MostrarInfoVLX2(uint8_t port, uint8_t, uint32_t) {
    if (Parar == 1 || !PortArgumentValid(port, texts::kInfoPortZero, texts::kInfoPortAbove)) {
        return;
    }
    MostrarVentanaInfo(port);
}

}  // extern "C"
