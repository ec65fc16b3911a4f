#include "UUtiles.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <string>

#include "AnsiText.h"
#include "IniFile.h"
#include "IntegerText.h"
#include "Messages.h"

namespace quorvan {
namespace {

std::string FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool WriteOrReport(const QString& fichero, const QString& seccion, const QString& clave,
                   const QString& valor) {
    if (baslink::ini::WriteString(FileSystemPath(fichero), ToAnsi(seccion), ToAnsi(clave),
                                  ToAnsi(valor))) {
        return true;
    }
    ShowMessage(QStringLiteral("Error en Fichero: ") + fichero);
    return false;
}

}  // namespace

QString NombreFicheroIni(const QString& Ruta) {
    const qsizetype nameStart = Ruta.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = Ruta.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= nameStart ? Ruta.left(dot) : Ruta;
    return base + QStringLiteral(".ini");
}

bool EscribeEnteroIni(const QString& programPath, const QString& Seccion, const QString& Clave,
                      std::int32_t Valor) {
    return WriteOrReport(NombreFicheroIni(programPath), Seccion, Clave, QString::number(Valor));
}

bool EscribeCadenaIni(const QString& Fichero, const QString& Seccion, const QString& Clave,
                      const QString& Valor) {
    if (!QFileInfo::exists(Fichero)) {
        // A failure here shows up as the failed write below.
        static_cast<void>(QFile(Fichero).open(QIODevice::WriteOnly));
    }
    return WriteOrReport(Fichero, Seccion, Clave, Valor);
}

QString LeeIniPrograma(const QString& programPath, const QString& Seccion, const QString& Clave,
                       bool ComoTexto) {
    return LeeIniFichero(NombreFicheroIni(programPath), Seccion, Clave, ComoTexto);
}

bool IniFileReadable(const QString& Fichero) {
    return baslink::ini::Readable(FileSystemPath(Fichero));
}

QString LeeIniFichero(const QString& Fichero, const QString& Seccion, const QString& Clave,
                      bool ComoTexto) {
    if (!QFileInfo(Fichero).isFile()) {
        ShowMessage(QStringLiteral("No se ha encontrado el fichero ") + Fichero);
        EndProgram();
        return {};
    }
    const std::optional<std::string> stored =
        baslink::ini::ReadString(FileSystemPath(Fichero), ToAnsi(Seccion), ToAnsi(Clave));
    if (ComoTexto) {
        return FromAnsi(stored.value_or(std::string()));
    }
    return QString::number(IniTextToInteger(stored.value_or(std::string())));
}

}  // namespace quorvan
