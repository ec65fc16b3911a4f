#include "ProjectFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

using namespace quorvan;

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    QString Put(const QByteArray& content) {
        const QString path = QDir(folder_.path()).filePath("proyecto.qzt");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    static QStringList Names(const RecordList& records) {
        QStringList names;
        for (const auto& record : records) {
            names << record->Nombre;
        }
        return names;
    }

    QTemporaryDir folder_;
};

TEST_F(ProjectFileTest, TheExampleProjectYieldsOneRecordWithItsTextsAsStored) {
    // Windows-1252 text: "ó" is 0xF3.
    const QString path =
        Put("[CONFIG]\r\nCodigo=12\r\n[BASIC]\r\nByte1_3=Marcha\r\nByte2_3=Orden de marcha "
            "(\xF3rden)\r\nByte3_3=2\r\nByte4_3=14\r\n");
    RecordList records;
    AppendProjectVariables(path, records);
    ASSERT_EQ(records.size(), 1u);
    const TRegistro& record = *records.front();
    EXPECT_EQ(record.Equipo, "12");
    EXPECT_EQ(record.Nombre, "Marcha");
    EXPECT_EQ(record.Descripcion, QString::fromUtf8("Orden de marcha (órden)"));
    EXPECT_FALSE(record.EsPunto);
    EXPECT_EQ(record.Tipo, 1);
    EXPECT_EQ(record.Bloque, "2");
    EXPECT_EQ(record.Offset, "14");
}

TEST_F(ProjectFileTest, EachTypeIsReadUpToItsLargestNumberSkippingNamesThatAreEmptyOrError) {
    const QString path =
        Put("[basic]\n"
            "Float1_60=ultimo real\nFloat1_61=demasiado\n"
            "Int1_101=demasiado\nInt1_100=cien\nInt1_1=uno\n"
            "Char1_40=car\nChar1_41=demasiado\n"
            "Long1_60=largo\nLong1_61=demasiado\nLong2_60=con descripcion\n"
            "Byte1_1=\nByte2_1=sin nombre\n"
            "Byte1_2=_error\nByte3_2=7\n"
            "Byte1_3=_ERROR\n"
            "[CONFIG]\nCodigo=0x0C\n");
    RecordList records;
    AppendProjectVariables(path, records);
    // Type by type, by number within a type; gaps are skipped.
    EXPECT_EQ(Names(records),
              QStringList({"car", "_ERROR", "uno", "cien", "largo", "ultimo real"}));
    const std::uint8_t types[] = {0, 1, 2, 2, 3, 4};
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i]->Tipo, types[i]) << records[i]->Nombre.toStdString();
        EXPECT_EQ(records[i]->Equipo, "0x0C") << "the code stays text";
    }
    EXPECT_EQ(records[4]->Descripcion, "con descripcion");
    EXPECT_EQ(records[4]->Bloque, "_error") << "a missing key keeps the reader's default";
    EXPECT_EQ(records[4]->Offset, "_error");
}

TEST_F(ProjectFileTest, LoadsAppendToWhatTheListHolds) {
    const QString path = Put("[CONFIG]\nCodigo=3\n[BASIC]\nInt1_5=Nivel\n");
    RecordList records;
    AppendProjectVariables(path, records);
    AppendProjectVariables(path, records);
    EXPECT_EQ(Names(records), QStringList({"Nivel", "Nivel"}));
}

TEST_F(ProjectFileTest, MissingOrMalformedFilesGiveTheDefaultsOrNothing) {
    RecordList records;
    AppendProjectVariables(QDir(folder_.path()).filePath("no-existe.qzt"), records);
    AppendProjectVariables(folder_.path(), records);  // a folder
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 37 + 11) % 256);
    }
    AppendProjectVariables(Put(garbage), records);
    EXPECT_TRUE(records.empty());

    // No [CONFIG] section, a name of absurd length, a line without "=".
    AppendProjectVariables(Put("[BASIC]\nChar1_1=" + QByteArray(100000, 'x') + "\nChar2_1\n"),
                           records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->Equipo, "_error");
    EXPECT_EQ(records[0]->Nombre.size(), 2047) << "values are cut as every INI read cuts them";
    EXPECT_EQ(records[0]->Descripcion, "_error");
}

}  // namespace
