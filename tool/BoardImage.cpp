#include "BoardImage.h"

#include "AnsiText.h"
#include "IntegerText.h"

namespace quorvan {
namespace {

// Where a grid column lives in the record: origin code, block, offset, size, then the
// destination code, block and offset. The names and the row number are not stored.
struct Campo {
    int column;
    int offset;
    int width;  // 1 or 2 bytes
};
constexpr std::array<Campo, 7> kCampos = {
    {{1, 0, 2}, {2, 2, 1}, {3, 3, 2}, {5, 5, 1}, {6, 6, 2}, {7, 8, 1}, {8, 9, 2}}};

}  // namespace

std::uint16_t DireccionIntercambio(int row) {
    return static_cast<std::uint16_t>(kDireccionIntercambios + kTamanioIntercambio * (row - 1));
}

std::array<std::uint8_t, 2> BytesNumIntercambios(std::uint16_t count) {
    return {static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count & 0xFF)};
}

std::optional<Intercambio> IntercambioDeFila(const std::function<QString(int column)>& cell,
                                             QString& invalidCell) {
    Intercambio record{};
    for (const Campo& campo : kCampos) {
        const QString text = cell(campo.column);
        const std::optional<std::int32_t> value = TextToInteger(ToAnsi(text));
        if (!value) {
            invalidCell = text;
            return std::nullopt;
        }
        const auto bits = static_cast<std::uint32_t>(*value);
        if (campo.width == 2) {
            record[campo.offset] = static_cast<std::uint8_t>(bits >> 8);
            record[campo.offset + 1] = static_cast<std::uint8_t>(bits);
        } else {
            record[campo.offset] = static_cast<std::uint8_t>(bits);
        }
    }
    return record;
}

std::array<std::pair<int, QString>, 7> CeldasDeIntercambio(const Intercambio& record) {
    std::array<std::pair<int, QString>, 7> cells;
    for (std::size_t i = 0; i < kCampos.size(); ++i) {
        const Campo& campo = kCampos[i];
        unsigned value = record[campo.offset];
        if (campo.width == 2) {
            value = value * 256 + record[campo.offset + 1];
        }
        cells[i] = {campo.column, QString::number(value)};
    }
    return cells;
}

}  // namespace quorvan
