#include "ProjectFile.h"

#include <QFile>

#include "AnsiText.h"
#include "IniFile.h"

namespace quorvan {

std::string VariableKey(const VariableType& type, char field, int number) {
    return type.prefix + std::string(1, field) + "_" + std::to_string(number);
}

void AppendProjectVariables(const QString& path, RecordList& records) {
    // The whole file is read once: a full project asks for some 1,500 keys.
    const baslink::ini::Snapshot file(QFile::encodeName(path).toStdString());
    const auto read = [&file](const char* section, const std::string& key) {
        const auto stored = file.Value(section, key);
        return stored ? FromAnsi(*stored) : kMissingKeyText;
    };
    const QString code = read("CONFIG", "Codigo");
    for (const VariableType& type : kVariableTypes) {
        for (int n = 1; n <= type.largestNumber; ++n) {
            const auto key = [&](char field) { return VariableKey(type, field, n); };
            const QString name = read("BASIC", key('1'));
            if (name.isEmpty() || name == kMissingKeyText) {
                continue;
            }
            auto record = std::make_unique<TRegistro>();
            record->Equipo = code;
            record->Nombre = name;
            record->Descripcion = read("BASIC", key('2'));
            record->Bloque = read("BASIC", key('3'));
            record->Offset = read("BASIC", key('4'));
            record->Tipo = type.tipo;
            record->EsPunto = false;
            records.push_back(std::move(record));
        }
    }
}

}  // namespace quorvan
