// The exchange records as the board keeps them: byte layout, truncation and the way back.

#include "BoardImage.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <map>

namespace {

using quorvan::CellsFromIntercambio;
using quorvan::Intercambio;
using quorvan::IntercambioFromRow;

// A row given as its ten grid columns; column 0 and the names must not matter.
std::optional<Intercambio> Record(const QStringList& columns, QString& invalid) {
    return IntercambioFromRow([&columns](int column) { return columns.value(column); }, invalid);
}

std::optional<Intercambio> Record(const QStringList& columns) {
    QString invalid;
    return Record(columns, invalid);
}

std::map<int, QString> Cells(const Intercambio& record) {
    std::map<int, QString> cells;
    for (const auto& [column, text] : CellsFromIntercambio(record)) {
        cells[column] = text;
    }
    return cells;
}

TEST(BoardImageTest, RecordPutsEachFieldHighByteFirstAtItsOffset) {
    const auto record =
        Record({"7", "1023", "3", "700", "TEMP", "2", "$105", "1", "0x1234", "AUX"});
    ASSERT_TRUE(record);
    const Intercambio expected = {0x03, 0xFF, 0x03, 0x02, 0xBC, 0x02, 0x01, 0x05, 0x01, 0x12, 0x34};
    EXPECT_EQ(*record, expected);
}

TEST(BoardImageTest, RecordKeepsOnlyTheLowBitsOfEachValue) {
    // Blocks and the size keep 8 bits, the rest 16; negative values wrap as unsigned.
    const auto record = Record({"", "70000", "300", "-1", "", "260", "65536", "-2", "65535", ""});
    ASSERT_TRUE(record);
    const Intercambio expected = {0x11, 0x70, 44, 0xFF, 0xFF, 4, 0x00, 0x00, 0xFE, 0xFF, 0xFF};
    EXPECT_EQ(*record, expected);
}

TEST(BoardImageTest, EmptyRowIsElevenZeroBytes) {
    EXPECT_EQ(Record({"3", "0", "0", "0", "", "0", "0", "0", "0", ""}), Intercambio{});
}

TEST(BoardImageTest, RecordRefusesACellThatIsNoWholeNumber) {
    QString invalid;
    EXPECT_FALSE(Record({"1", "5", "1", "0", "", "1", "5", "abc", "0", ""}, invalid));
    EXPECT_EQ(invalid, "abc");
    EXPECT_FALSE(Record({"1", "5", "1", "0", "", "", "5", "1", "0", ""}, invalid));
    EXPECT_EQ(invalid, "");
}

TEST(BoardImageTest, CellsComeBackAsUnsignedDecimalInTheirColumns) {
    const Intercambio record = {0x03, 0xFF, 0xFF, 0x80, 0x00, 0x04, 0x00, 0x07, 0x01, 0x12, 0x34};
    const std::map<int, QString> expected = {{1, "1023"}, {2, "255"}, {3, "32768"}, {5, "4"},
                                             {6, "7"},    {7, "1"},   {8, "4660"}};
    EXPECT_EQ(Cells(record), expected);
}

TEST(BoardImageTest, RowSurvivesTheRoundTripWithinTheBoardsRange) {
    const QStringList row = {"", "1023", "255", "65535", "X", "4", "1", "0", "700", "Y"};
    const auto record = Record(row);
    ASSERT_TRUE(record);
    for (const auto& [column, text] : Cells(*record)) {
        EXPECT_EQ(text, row[column]) << "column " << column;
    }
}

TEST(BoardImageTest, AddressesAndCount) {
    EXPECT_EQ(quorvan::IntercambioAddress(1), 10);
    EXPECT_EQ(quorvan::IntercambioAddress(2), 21);
    EXPECT_EQ(quorvan::IntercambioAddress(30), 329);
    EXPECT_EQ(quorvan::NumIntercambiosBytes(30), (std::array<uint8_t, 2>{0x00, 0x1E}));
    EXPECT_EQ(quorvan::NumIntercambiosBytes(0x1234), (std::array<uint8_t, 2>{0x12, 0x34}));
}

}  // namespace
