#pragma once
// The variables of a regulator program, read from its project file: an INI text file
// whose [CONFIG] Codigo names the regulator and whose [BASIC] section holds, for each
// variable type, the name, description, block and offset of variable n under the keys
// prefix "1_" n to prefix "4_" n.

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvan {

// One variable of a project, every text as the file holds it ("_error" for a missing key).
struct TRegistro {
    QString Equipo;  // the project's regulator code
    QString Nombre;
    QString Descripcion;
    bool EsPunto = false;
    std::uint8_t Tipo = 0;  // 0 Char, 1 Byte, 2 Int, 3 Long, 4 Float
    QString Bloque;
    QString Offset;
};

// The records of the data list; the list owns them, so each keeps its address while the
// list grows.
using RecordList = std::vector<std::unique_ptr<TRegistro>>;

// A variable type of the [BASIC] section: its key prefix, its `Tipo` and the largest
// variable number a project has of it.
struct VariableType {
    const char* prefix;
    std::uint8_t tipo;
    int largestNumber;
};
// In the order a project's variables are read.
inline constexpr std::array<VariableType, 5> kVariableTypes = {{
    {"Char", 0, 40},
    {"Byte", 1, 40},
    {"Int", 2, 100},
    {"Long", 3, 60},
    {"Float", 4, 60},
}};

// The [BASIC] key of `field` ('1' name, '2' description, '3' block, '4' offset) of variable
// `number` of a type: prefix, field, "_", number.
std::string VariableKey(const VariableType& type, char field, int number);

// The text a missing key reads as.
inline const QString kMissingKeyText = QStringLiteral("_error");

// Appends to `records` every variable of the project file `path` that has a name, type by
// type (Char, Byte, Int, Long, Float) and by number within a type. A file that is missing
// or holds no such keys appends nothing.
void AppendProjectVariables(const QString& path, RecordList& records);

}  // namespace quorvan
