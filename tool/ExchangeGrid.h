#pragma once
// The exchange table as the grid shows it: a header row over one row per exchange, one
// column per field. Whatever reads or writes the grid names its rows and columns here.

namespace quorvan {

// Rows of the exchange table, one per record the board keeps; grid row r holds exchange r
// (1 to 30) and row 0 is the header.
inline constexpr int kExchangeRows = 30;

enum GridColumn : int {
    kColumnOrder = 0,  // the row number
    kColumnOriginCode = 1,
    kColumnOriginBlock = 2,
    kColumnOriginOffset = 3,
    kColumnOriginName = 4,
    kColumnSize = 5,
    kColumnDestinationCode = 6,
    kColumnDestinationBlock = 7,
    kColumnDestinationOffset = 8,
    kColumnDestinationName = 9,
    kColumnCount = 10,
};

}  // namespace quorvan
