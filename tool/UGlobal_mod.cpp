#include "UGlobal_mod.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QUrl>
#include <array>
#include <optional>

#include "About.h"
#include "ExchangeGrid.h"
#include "UUtiles.h"
#include "WindowPlacement.h"
#include "baslink.h"
#include "ui_UGlobal_mod.h"

namespace quorvan {
namespace {

constexpr std::array<int, kColumnCount> kDefaultColumnWidths = {40, 50, 40, 40, 100,
                                                                60, 50, 40, 40, 100};
constexpr std::array<const char*, kColumnCount> kHeaderTexts = {
    "Orden",  "Origen",  "Bloque", "Offset", "Nombre",
    "Tamaño", "Destino", "Bloque", "Offset", "Nombre"};
constexpr std::array<const char*, kColumnCount> kColumnWidthKeys = {
    "Col_TC_Orden",    "Col_TC_Codigo_o", "Col_TC_Bloque_o", "Col_TC_Offset_o", "Col_TC_Nombre_o",
    "Col_TC_Tamano_o", "Col_TC_Codigo_d", "Col_TC_Bloque_d", "Col_TC_Offset_d", "Col_TC_Nombre_d"};

// "0" and the empty text both mean the stored value is not applied.
bool ShouldApply(const QString& stored) {
    return !stored.isEmpty() && stored != QLatin1String("0");
}

}  // namespace

TFGlobal::TFGlobal(TAboutBoxForm& aboutBox, const QString& executableFolder, QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::TFGlobal>()),
      AboutBoxForm(aboutBox),
      programPath_(QDir(executableFolder)
                       .filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName())),
      dialogs_(PlatformExchangeFileDialogs()),
      framePlace_(*this) {
    ui->setupUi(this);
    // The window's smallest size is set at its opening (800 x 400), never by the layout, so
    // the user may make it smaller than the controls want. The page control then gives up
    // its height first (its size policy ignores its own wishes) and the top band stays whole.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    setWindowIcon(QIcon(QStringLiteral(":/quorvan/quorvan.png")));
    ui->Comandos->setColumnCount(kColumnCount);
    for (int width : {100, 50}) {
        auto* panel = new QLabel(ui->Bar);  // the status bar owns its panels
        panel->setFixedWidth(width);
        panel->setFrameShape(QFrame::StyledPanel);
        ui->Bar->addPermanentWidget(panel);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    ConnectHandlers();
    FormCreate();
}

TFGlobal::~TFGlobal() {
    FormDestroy();
}

void TFGlobal::ConnectHandlers() {
    ConnectDataList();
    connect(ui->EditPuerto, &UpDownEdit::arrowsReleased, this, &TFGlobal::UpDown1MouseUp);
    connect(ui->Asignar, &QPushButton::clicked, this, &TFGlobal::AsignarClick);
    connect(ui->SpeedButton1, &QPushButton::clicked, this, &TFGlobal::AsignarClick);
    connect(ui->Comandos, &StringGrid::Click, this, &TFGlobal::ComandosClick);
    connect(ui->BorraTodo, &QPushButton::clicked, this, &TFGlobal::BorraTodoClick);
    connect(ui->BorraUno, &QPushButton::clicked, this, &TFGlobal::BorraUnoClick);
    connect(ui->ROTamanio, &UpDownEdit::textChanged, this, &TFGlobal::ROTamanioChange);
    connect(ui->ComboTamano, &QComboBox::activated, this, &TFGlobal::ComboTamanoChange);
    connect(ui->Abrir1, &QAction::triggered, this, &TFGlobal::Abrir1Click);
    connect(ui->Guardar1, &QAction::triggered, this, &TFGlobal::Guardar1Click);
    connect(ui->salir1, &QAction::triggered, this, &TFGlobal::salir1Click);
    connect(ui->N1, &QAction::triggered, this, &TFGlobal::N1Click);
    connect(ui->Tleer, &QPushButton::clicked, this, &TFGlobal::LeerQdkMaestra1Click);
    connect(ui->LeerQdkMaestra1, &QAction::triggered, this, &TFGlobal::LeerQdkMaestra1Click);
    connect(ui->TEscribir, &QPushButton::clicked, this, &TFGlobal::EscribirLeerQdkMaestra1Click);
    connect(ui->EscribirLeerQdkMaestra1, &QAction::triggered, this,
            &TFGlobal::EscribirLeerQdkMaestra1Click);
}

QString TFGlobal::IniProgramaPath() const {
    return NombreFicheroIni(programPath_);
}

void TFGlobal::FormCreate() {
    setWindowTitle(windowTitle() + QStringLiteral("   Version DLL ") +
                   QString::fromLatin1(VersionDLL()));
    for (int column = 0; column < kColumnCount; ++column) {
        ui->Comandos->SetCell(column, 0, QString::fromUtf8(kHeaderTexts[column]));
    }
    ui->Comandos->SetRowCount(kExchangeRows + 1);
    for (int row = 1; row <= kExchangeRows; ++row) {
        ui->Comandos->SetCell(kColumnOrder, row, QString::number(row));
        EscribeFilaVacia(row);
    }
    for (int column = 0; column < kColumnCount; ++column) {
        ui->Comandos->SetColWidth(column, kDefaultColumnWidths[column]);
    }
    if (!QFileInfo::exists(IniProgramaPath())) {
        EscribeColumnas_Ini();
    }
    for (int column = 0; column < kColumnCount; ++column) {
        const QString width = LeeIniPrograma(programPath_, QStringLiteral("COLS"),
                                             QString::fromLatin1(kColumnWidthKeys[column]), false);
        if (ShouldApply(width)) {
            ui->Comandos->SetColWidth(column, width.toInt());
        }
    }
    FilaActual = 1;
    CargaAyuda(QStringLiteral("inicio"));
}

void TFGlobal::FormActivate() {
    const auto read = [this](const char* key) -> std::optional<qint64> {
        const QString stored =
            LeeIniPrograma(programPath_, QStringLiteral("POS"), QString::fromLatin1(key), false);
        return ShouldApply(stored) ? std::optional<qint64>(stored.toLongLong()) : std::nullopt;
    };
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect placed = PlaceMainWindow(
        QRect(pos(), size()), {read("Pos_X"), read("Pos_Y"), read("Ancho"), read("Alto")},
        screen != nullptr ? screen->availableVirtualGeometry() : QRect());
    framePlace_.Apply(placed);
    ui->EditPuerto->setText(
        LeeIniPrograma(programPath_, QStringLiteral("CONFIG"), QStringLiteral("Puerto"), true));
}

void TFGlobal::FormClose() {
    EscribeColumnas_Ini();
}

void TFGlobal::EscribeColumnas_Ini() {
    const auto write = [this](const char* section, const char* key, int value) {
        EscribeEnteroIni(programPath_, QString::fromLatin1(section), QString::fromLatin1(key),
                         value);
    };
    const QRect place = framePlace_.Current();
    write("POS", "Pos_X", place.x());
    write("POS", "Pos_Y", place.y());
    write("POS", "Ancho", place.width());
    write("POS", "Alto", place.height());
    for (int column = 0; column < kColumnCount; ++column) {
        write("COLS", kColumnWidthKeys[column], ui->Comandos->ColWidth(column));
    }
}

void TFGlobal::CargaAyuda(const QString& page) {
    const QString path = QDir(QFileInfo(programPath_).path()).filePath(page + ".html");
    if (!path.trimmed().isEmpty() && QFileInfo::exists(path)) {
        ui->VisorAyuda->setSource(QUrl::fromLocalFile(path));
    }
}

void TFGlobal::UpDown1MouseUp() {
    if (QFileInfo::exists(IniProgramaPath())) {
        EscribeCadenaIni(IniProgramaPath(), QStringLiteral("CONFIG"), QStringLiteral("Puerto"),
                         ui->EditPuerto->text());
    }
}

void TFGlobal::salir1Click() {
    close();
}

void TFGlobal::N1Click() {
    AboutBoxForm.exec();
}

void TFGlobal::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
    // Other windows of the tool are modal and hand the focus back without a new
    // activation, so the settings are applied once, at the first showing.
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TFGlobal::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

}  // namespace quorvan
