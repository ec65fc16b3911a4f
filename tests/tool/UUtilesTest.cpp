#include "UUtiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "RecordedMessages.h"

namespace {

using namespace quorvan;

class UUtilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    QString Path(const QString& name) const { return QDir(folder_.path()).filePath(name); }
    QByteArray Content(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Put(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir folder_;
    RecordedMessages recorded_;
};

TEST_F(UUtilesTest, NombreFicheroIniReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(NombreFicheroIni("/opt/herramientas/Config.exe"), "/opt/herramientas/Config.ini");
    EXPECT_EQ(NombreFicheroIni("/opt/herramientas/quorvan"), "/opt/herramientas/quorvan.ini");
    EXPECT_EQ(NombreFicheroIni("/opt/herr.amientas/quorvan"), "/opt/herr.amientas/quorvan.ini");
    EXPECT_EQ(NombreFicheroIni("a.b.c"), "a.b.ini");
}

TEST_F(UUtilesTest, ProgramSettingsRoundTripIntegersAndTexts) {
    const QString program = Path("quorvan");
    ASSERT_TRUE(EscribeEnteroIni(program, "POS", "Pos_X", -5));
    ASSERT_TRUE(EscribeCadenaIni(Path("quorvan.ini"), "CONFIG", "Puerto", " 3 "));
    EXPECT_EQ(LeeIniPrograma(program, "pos", "POS_X", false), "-5");
    EXPECT_EQ(LeeIniPrograma(program, "POS", "Pos_X", true), "-5");
    EXPECT_EQ(LeeIniPrograma(program, "CONFIG", "Puerto", true), "3") << "blanks are not kept";
    EXPECT_EQ(LeeIniPrograma(program, "CONFIG", "Falta", true), "");
    EXPECT_EQ(LeeIniPrograma(program, "CONFIG", "Falta", false), "0");
    EXPECT_EQ(LeeIniPrograma(program, "Otra", "Puerto", false), "0");
    EXPECT_TRUE(recorded_.messages.isEmpty());
}

TEST_F(UUtilesTest, IntegerReadsFollowTheIniNumberRules) {
    const QString file = Path("datos.int");
    Put(file, "[A]\nDec=12\nHex=0x1F\nDollar=$10\nCero=0\nTexto=abc\nVacio=\nX=x1F\n");
    EXPECT_EQ(LeeIniFichero(file, "A", "Dec", false), "12");
    EXPECT_EQ(LeeIniFichero(file, "A", "Hex", false), "31");
    EXPECT_EQ(LeeIniFichero(file, "A", "Dollar", false), "16");
    EXPECT_EQ(LeeIniFichero(file, "A", "Cero", true), "0");
    EXPECT_EQ(LeeIniFichero(file, "A", "Texto", false), "0");
    EXPECT_EQ(LeeIniFichero(file, "A", "Vacio", false), "0");
    EXPECT_EQ(LeeIniFichero(file, "A", "X", false), "31");
}

TEST_F(UUtilesTest, TextsCrossTheFileAsWindows1252) {
    const QString file = Path("nombres.int");
    ASSERT_TRUE(EscribeCadenaIni(file, "Instrucciones", "7_1", QStringLiteral("Señal €")));
    EXPECT_EQ(Content(file), QByteArray("[Instrucciones]\r\n7_1=Se\xF1"
                                        "al \x80\r\n"));
    EXPECT_EQ(LeeIniFichero(file, "Instrucciones", "7_1", true), QStringLiteral("Señal €"));
}

TEST_F(UUtilesTest, RefusedWritesReportTheFileAndCarryOn) {
    const QString program = Path("no-existe/quorvan");
    EXPECT_FALSE(EscribeEnteroIni(program, "POS", "Alto", 1));
    EXPECT_FALSE(EscribeCadenaIni(Path("no-existe/a.int"), "CONFIG", "Puerto", "1"));
    const QString tooLong = Path(QString(300, 'a') + ".int");  // as typed in the save dialog
    EXPECT_FALSE(EscribeCadenaIni(tooLong, "CONFIG", "Puerto", "1"));
    EXPECT_EQ(recorded_.messages, QStringList({"Error en Fichero: " + Path("no-existe/quorvan.ini"),
                                               "Error en Fichero: " + Path("no-existe/a.int"),
                                               "Error en Fichero: " + tooLong}));
}

TEST_F(UUtilesTest, ReadingAMissingFileReportsItAndEndsTheProgram) {
    EXPECT_THROW(LeeIniPrograma(Path("quorvan"), "POS", "Alto", false), ProgramEnded);
    EXPECT_THROW(LeeIniFichero(Path("x.int"), "CONFIG", "Puerto", true), ProgramEnded);
    EXPECT_EQ(recorded_.messages,
              QStringList({"No se ha encontrado el fichero " + Path("quorvan.ini"),
                           "No se ha encontrado el fichero " + Path("x.int")}));
}

}  // namespace
