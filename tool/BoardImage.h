#pragma once
// The exchange table as the board keeps it in its EEPROM: the count of exchanges at
// address 8 and one 11-byte record per table row from address 10. Multi-byte fields go
// high byte first; the board keeps only the low 8 or 16 bits of a cell's value.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

namespace quorvan {

inline constexpr std::uint16_t kNumIntercambiosAddress = 8;
inline constexpr std::uint16_t kFirstIntercambioAddress = 10;
inline constexpr std::uint16_t kIntercambioSize = 11;

using Intercambio = std::array<std::uint8_t, kIntercambioSize>;

// The EEPROM address of the record of table row 1 to kExchangeRows.
std::uint16_t IntercambioAddress(int row);

// The count as the board keeps it, high byte first.
std::array<std::uint8_t, 2> NumIntercambiosBytes(std::uint16_t count);

// The record of a table row; `cell` gives the text of a grid column. When one of the
// seven numeric cells is not a whole number there is no record, and `invalidCell`
// receives that cell's text.
std::optional<Intercambio> IntercambioFromRow(const std::function<QString(int column)>& cell,
                                              QString& invalidCell);

// The seven numeric cells of a record as (grid column, unsigned decimal text).
std::array<std::pair<int, QString>, 7> CellsFromIntercambio(const Intercambio& record);

}  // namespace quorvan
