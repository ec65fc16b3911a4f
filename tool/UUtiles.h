#pragma once
// The tool's INI helpers: one read or one write per call, on the settings file next to the
// executable or on a file named by the caller. Every call opens and releases the file
// itself; nothing is kept between calls.

#include <QString>
#include <cstdint>

namespace quorvan {

// The path with the extension of its file name replaced by ".ini" (appended when the name
// has none).
QString NombreFicheroIni(const QString& Ruta);

// Writes the decimal text of Valor into the settings file of the executable programPath.
// A refused write shows "Error en Fichero: " and the settings file's path.
bool EscribeEnteroIni(const QString& programPath, const QString& Seccion, const QString& Clave,
                      std::int32_t Valor);

// Writes Valor as it is into Fichero, creating the file when missing. A refused write
// shows "Error en Fichero: " and the file's path.
bool EscribeCadenaIni(const QString& Fichero, const QString& Seccion, const QString& Clave,
                      const QString& Valor);

// Reads a key of the executable's settings file: as text (empty when missing) or, with
// ComoTexto false, as the decimal text of its integer value ("0" when missing or not a
// number). A missing file shows "No se ha encontrado el fichero " and the path and ends
// the program.
QString LeeIniPrograma(const QString& programPath, const QString& Seccion, const QString& Clave,
                       bool ComoTexto);

// True when Fichero is a file the reads take (a regular file, open to reading, not too
// large to read whole).
bool IniFileReadable(const QString& Fichero);

// The same read on the file Fichero.
QString LeeIniFichero(const QString& Fichero, const QString& Seccion, const QString& Clave,
                      bool ComoTexto);

}  // namespace quorvan
