#include "IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FailingAllocations.h"

namespace {

namespace fs = std::filesystem;
using baslink::ini::kMaxFileSize;
using baslink::ini::ReadString;
using baslink::ini::WriteString;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ini-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        path_ = (folder_ / "file.ini").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Put(const std::string& content) { std::ofstream(path_, std::ios::binary) << content; }
    std::string Content() const {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    std::string path_;
};

TEST_F(IniFileTest, ReadsMatchWithoutRegardToCaseAndTrimValues) {
    Put("[Config]\r\nPuerto =  7 \t\r\n[POS]\nPos_X=12\n");
    EXPECT_EQ(ReadString(path_, "CONFIG", "puerto"), "7");
    EXPECT_EQ(ReadString(path_, "pos", "POS_X"), "12");
    EXPECT_EQ(ReadString(path_, "CONFIG", "Pos_X"), std::nullopt) << "keys belong to a section";
    EXPECT_EQ(ReadString(path_, "Otra", "Puerto"), std::nullopt);
    EXPECT_EQ(ReadString((folder_ / "missing.ini").string(), "CONFIG", "Puerto"), std::nullopt);
}

TEST_F(IniFileTest, ReadsSkipCommentsAndTakeTheFirstOfRepeatedEntries) {
    Put("[A]\n;Clave=comentario\nClave=uno\nClave=dos\nVacia=\n[a]\nClave=tres\nOtra=4\n");
    EXPECT_EQ(ReadString(path_, "A", "Clave"), "uno");
    EXPECT_EQ(ReadString(path_, "A", "Vacia"), "") << "an empty value is present, not missing";
    EXPECT_EQ(ReadString(path_, "A", "Otra"), std::nullopt) << "only the first [A] counts";
}

TEST_F(IniFileTest, ReadCutsLongValues) {
    Put("[A]\nLargo=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(ReadString(path_, "A", "Largo")->size(), baslink::ini::kMaxValueLength);
}

TEST_F(IniFileTest, AFolderInPlaceOfTheFileIsNeitherReadNorWritten) {
    EXPECT_EQ(ReadString(folder_.string(), "A", "Clave"), std::nullopt);
    EXPECT_EQ(baslink::ini::Snapshot(folder_.string()).Value("A", "Clave"), std::nullopt);
    EXPECT_FALSE(WriteString(folder_.string(), "A", "Clave", "1"));
}

TEST_F(IniFileTest, AFileOverTheSizeLimitIsNeitherReadNorWritten) {
    Put("[A]\nClave=1\n");
    fs::resize_file(path_, kMaxFileSize);  // a sparse file: zeros after the key
    EXPECT_EQ(ReadString(path_, "A", "Clave"), "1") << "a file of the limit is still read";
    fs::resize_file(path_, kMaxFileSize + 1);
    EXPECT_FALSE(baslink::ini::Readable(path_));
    EXPECT_EQ(ReadString(path_, "A", "Clave"), std::nullopt);
    EXPECT_EQ(baslink::ini::Snapshot(path_).Value("A", "Clave"), std::nullopt);
    EXPECT_FALSE(WriteString(path_, "A", "Clave", "2"));
    EXPECT_EQ(fs::file_size(path_), kMaxFileSize + 1) << "a refused write leaves the file";
}

TEST_F(IniFileTest, AReadThatFindsNoMemoryForTheTextReadsNothing) {
    const std::string content = "[A]\nClave=1\n;" + std::string(100'000, '-') + "\n";
    Put(content);
    {
        const FailingAllocations noMemory(32 * 1024);
        EXPECT_EQ(ReadString(path_, "A", "Clave"), std::nullopt);
        EXPECT_FALSE(WriteString(path_, "A", "Clave", "2"));
    }
    EXPECT_EQ(Content(), content);
    EXPECT_EQ(ReadString(path_, "A", "Clave"), "1");
}

TEST_F(IniFileTest, ASnapshotKeepsTheKeysAsTheyWereWhenRead) {
    Put("[A]\nClave=uno\n");
    const baslink::ini::Snapshot snapshot(path_);
    Put("[A]\nClave=dos\n");
    EXPECT_EQ(snapshot.Value("a", " CLAVE "), "uno");
    EXPECT_EQ(ReadString(path_, "A", "Clave"), "dos");
}

TEST_F(IniFileTest, WriteCreatesAMissingFileWithOneSectionAndKey) {
    ASSERT_TRUE(WriteString(path_, "CONFIG", "Puerto", "3"));
    EXPECT_EQ(Content(), "[CONFIG]\r\nPuerto=3\r\n");
}

TEST_F(IniFileTest, WriteReplacesInPlaceAndKeepsEverythingElseByteForByte) {
    const std::string before =
        "; cabecera\n[POS]\nPos_X = 10\n  Pos_Y=20   \n\n[Otra]\nX=\xE1\xF1\n";
    Put(before);
    ASSERT_TRUE(WriteString(path_, "pos", "POS_X", "-5"));
    EXPECT_EQ(Content(), "; cabecera\n[POS]\nPos_X =-5\n  Pos_Y=20   \n\n[Otra]\nX=\xE1\xF1\n");
    EXPECT_EQ(ReadString(path_, "POS", "Pos_X"), "-5");
}

TEST_F(IniFileTest, WriteAppendsNewKeysToTheirSectionAndNewSectionsToTheEnd) {
    Put("[POS]\r\nPos_X=1\r\n\r\n[COLS]\r\nA=2");
    ASSERT_TRUE(WriteString(path_, "POS", "Ancho", "800"));
    ASSERT_TRUE(WriteString(path_, "COLS", "B", "3"));
    ASSERT_TRUE(WriteString(path_, "CONFIG", "Puerto", "1"));
    EXPECT_EQ(Content(),
              "[POS]\r\nPos_X=1\r\nAncho=800\r\n\r\n[COLS]\r\nA=2\r\nB=3\r\n"
              "[CONFIG]\r\nPuerto=1\r\n");
}

TEST_F(IniFileTest, ACarriageReturnThatEndsTheFileEndsItsLastLine) {
    Put("[A]\r\nB=1\r");
    EXPECT_EQ(ReadString(path_, "A", "B"), "1");
    ASSERT_TRUE(WriteString(path_, "A", "C", "2"));
    EXPECT_EQ(Content(), "[A]\r\nB=1\r\nC=2\r\n");

    Put("[A]\nB=1\r");
    ASSERT_TRUE(WriteString(path_, "A", "B", "5"));
    ASSERT_TRUE(WriteString(path_, "Z", "C", "2"));
    EXPECT_EQ(Content(), "[A]\nB=5\r\n[Z]\nC=2\n");
    EXPECT_EQ(ReadString(path_, "A", "B"), "5");
}

TEST_F(IniFileTest, WritePassesEightBitTextThroughAndReadsItBack) {
    ASSERT_TRUE(WriteString(path_, "Instrucciones", "7_1", "Tama\xF1o \x80"));
    EXPECT_EQ(ReadString(path_, "Instrucciones", "7_1"), "Tama\xF1o \x80");
}

TEST_F(IniFileTest, RefusedWritesLeaveNoTrace) {
    const std::string nowhere = (folder_ / "no-such-folder" / "f.ini").string();
    EXPECT_FALSE(WriteString(nowhere, "A", "B", "C"));
    EXPECT_FALSE(fs::exists(nowhere));

    Put("[A]\nB=1\n");
    EXPECT_FALSE(WriteString(path_, "A", "B", "2\r\n[Inyectada]"));
    EXPECT_FALSE(WriteString(path_, "A", "B=C", "2"));
    EXPECT_FALSE(WriteString(path_, "A]", "B", "2"));
    EXPECT_FALSE(WriteString(path_, "A", "  ", "2"));
    // Names a read would not find again.
    EXPECT_FALSE(WriteString(path_, "A", "[B", "2"));
    EXPECT_FALSE(WriteString(path_, "A", " ;B", "2"));
    EXPECT_FALSE(WriteString(path_, " A", "B", "2"));
    EXPECT_FALSE(WriteString(path_, "A\t", "B", "2"));
    EXPECT_EQ(Content(), "[A]\nB=1\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST_F(IniFileTest, NamesTheSystemCannotLookUpAreRefusedWrites) {
    const fs::path loop = folder_ / "loop.ini";
    fs::create_symlink(loop, loop);
    EXPECT_FALSE(WriteString(loop.string(), "A", "B", "C"));
    EXPECT_TRUE(fs::is_symlink(loop));

    const std::string tooLong = (folder_ / (std::string(300, 'a') + ".ini")).string();
    EXPECT_FALSE(WriteString(tooLong, "A", "B", "C"));
    EXPECT_EQ(ReadString(tooLong, "A", "B"), std::nullopt);
}

TEST_F(IniFileTest, WriteKeepsTheFileModeAndFollowsALink) {
    Put("[A]\nB=1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = folder_ / "link.ini";
    fs::create_symlink(path_, link);
    ASSERT_TRUE(WriteString(link.string(), "A", "B", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Content(), "[A]\nB=2\n");
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
