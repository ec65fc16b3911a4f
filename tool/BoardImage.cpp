#include "BoardImage.h"

#include "AnsiText.h"
#include "ExchangeGrid.h"
#include "IntegerText.h"

namespace quorvan {
namespace {

// Where a grid column lives in the record: origin code, block, offset, size, then the
// destination code, block and offset. The names and the row number are not stored.
struct Field {
    int column;
    int offset;
    int width;  // 1 or 2 bytes
};
constexpr std::array<Field, 7> kFields = {{{kColumnOriginCode, 0, 2},
                                           {kColumnOriginBlock, 2, 1},
                                           {kColumnOriginOffset, 3, 2},
                                           {kColumnSize, 5, 1},
                                           {kColumnDestinationCode, 6, 2},
                                           {kColumnDestinationBlock, 8, 1},
                                           {kColumnDestinationOffset, 9, 2}}};

}  // namespace

std::uint16_t IntercambioAddress(int row) {
    return static_cast<std::uint16_t>(kFirstIntercambioAddress + kIntercambioSize * (row - 1));
}

std::array<std::uint8_t, 2> NumIntercambiosBytes(std::uint16_t count) {
    return {static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count & 0xFF)};
}

std::optional<Intercambio> IntercambioFromRow(const std::function<QString(int column)>& cell,
                                              QString& invalidCell) {
    Intercambio record{};
    for (const Field& field : kFields) {
        const QString text = cell(field.column);
        const std::optional<std::int32_t> value = TextToInteger(ToAnsi(text));
        if (!value) {
            invalidCell = text;
            return std::nullopt;
        }
        const auto bits = static_cast<std::uint32_t>(*value);
        if (field.width == 2) {
            record[field.offset] = static_cast<std::uint8_t>(bits >> 8);
            record[field.offset + 1] = static_cast<std::uint8_t>(bits);
        } else {
            record[field.offset] = static_cast<std::uint8_t>(bits);
        }
    }
    return record;
}

std::array<std::pair<int, QString>, 7> CellsFromIntercambio(const Intercambio& record) {
    std::array<std::pair<int, QString>, 7> cells;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const Field& field = kFields[i];
        unsigned value = record[field.offset];
        if (field.width == 2) {
            value = value * 256 + record[field.offset + 1];
        }
        cells[i] = {field.column, QString::number(value)};
    }
    return cells;
}

}  // namespace quorvan
