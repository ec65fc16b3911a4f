#pragma once
// The tool's edge between the 8-bit Windows-1252 text of its files and Qt's strings.

#include <QString>
#include <string>

namespace quorvan {

QString FromAnsi(const std::string& bytes);
std::string ToAnsi(const QString& text);

}  // namespace quorvan
