// Framing of the byte stream, without a line.

#include "FrameScanner.h"

#include <gtest/gtest.h>

#include "LineClient.h"

namespace baslink::sim::test {
namespace {

ScanResult Scan(const Bytes& bytes) {
    return ScanFrame(bytes.data(), bytes.size());
}

TEST(FrameScannerTest, LengthsComeFromTheHeads) {
    const struct {
        Bytes frame;
        FrameKind kind;
    } cases[] = {
        {SendFrame({0x07, 0x07, 0x07, 0x07, 0x07}), FrameKind::BoardSend},
        {SendFrame({}), FrameKind::BoardSend},
        {FetchFrame(3), FrameKind::BoardFetch},
        {{0x15, 0x05, 0x01, 0x04, 0x01, 0x02, 0x22}, FrameKind::DirectRead},
        {WithSum({0xD5, 0xFF, 0x01, 0xE0, 0x04, 0x07, 0x09, 0x00, 0x01}), FrameKind::DirectRead},
        {WithSum({0x15, 0x05, 0x01, 0x82, 0x00, 0x00, 0x34, 0x12}), FrameKind::DirectWrite},
        {WithSum({0x95, 0x05, 0x01, 0xE0, 0x02, 0x08, 0x03, 0x00, 0x00, 0xAA, 0xBB}),
         FrameKind::DirectWrite},
    };
    for (const auto& c : cases) {
        Bytes stream = c.frame;
        stream.push_back(0x01);  // the head of a following frame changes nothing
        const ScanResult result = Scan(stream);
        EXPECT_EQ(result.status, ScanStatus::Frame);
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(result.length, c.frame.size());
        EXPECT_TRUE(result.checkOk);
        // Every shorter prefix waits for more.
        for (std::size_t size = 1; size < c.frame.size(); ++size) {
            EXPECT_EQ(ScanFrame(c.frame.data(), size).status, ScanStatus::Incomplete) << size;
        }
    }
}

TEST(FrameScannerTest, BadChecksAreReportedNotSkipped) {
    Bytes send = SendFrame({0x05, 0x02, 0x00, 0x00, 0x01});
    send[send.size() - 2] ^= 0x01;
    EXPECT_EQ(Scan(send).status, ScanStatus::Frame);
    EXPECT_FALSE(Scan(send).checkOk);
    const ScanResult direct = Scan({0x15, 0x05, 0x01, 0x04, 0x01, 0x02, 0x23});
    EXPECT_EQ(direct.status, ScanStatus::Frame);
    EXPECT_FALSE(direct.checkOk);
}

TEST(FrameScannerTest, ImpossibleHeadsAreJunk) {
    EXPECT_EQ(Scan({0x00}).status, ScanStatus::Junk);
    EXPECT_EQ(Scan({0x16}).status, ScanStatus::Junk);
    EXPECT_EQ(Scan({0x01, 0x03}).status, ScanStatus::Junk);
    // A send head whose start is not 0, whose count disagrees, or that is too long.
    EXPECT_EQ(Scan({0x01, 0x65, 0x00, 0x01, 0x00, 0x05, 0x05}).status, ScanStatus::Junk);
    EXPECT_EQ(Scan({0x01, 0x65, 0x00, 0x00, 0x00, 0x05, 0x06}).status, ScanStatus::Junk);
    EXPECT_EQ(Scan({0x01, 0x65, 0x00, 0x00, 0x01, 0x00, 0x00}).status, ScanStatus::Junk);
    // A fetch that does not ask for the reply's place (start 100).
    EXPECT_EQ(Scan({0x01, 0x64, 0x00, 0x00}).status, ScanStatus::Junk);
    EXPECT_EQ(Scan({0x01, 0x64, 0x64, 0x00, 0x00, 0x03}).status, ScanStatus::Junk);
    // A block-form direct frame that is neither read nor write.
    EXPECT_EQ(Scan({0x15, 0x05, 0x01, 0xE0, 0x02, 0x09}).status, ScanStatus::Junk);
}

}  // namespace
}  // namespace baslink::sim::test
