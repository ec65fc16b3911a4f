#include "JpegImage.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QByteArray AboutPicture() {
    QFile file(QStringLiteral(QUORVAN_RESOURCES "/acerca.jpg"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(JpegImageTest, DecodesTheAboutPicture) {
    const QImage image = quorvan::DecodeJpeg(AboutPicture());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(306, 108));
    const QColor corner = image.pixelColor(0, 0);
    EXPECT_GT(corner.lightness(), 240) << "the picture has a white background";
}

TEST(JpegImageTest, RejectsDataThatIsNoJpegWithoutEndingTheProgram) {
    EXPECT_TRUE(quorvan::DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(quorvan::DecodeJpeg(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(quorvan::DecodeJpeg(AboutPicture().left(40)).isNull()) << "header cut short";
}

TEST(JpegImageTest, ToleratesACutPicture) {
    const QImage image = quorvan::DecodeJpeg(AboutPicture().left(2000));
    EXPECT_EQ(image.size(), QSize(306, 108)) << "the missing rows are filled, as libjpeg does";
}

}  // namespace
