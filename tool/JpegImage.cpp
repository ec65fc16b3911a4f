#include "JpegImage.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <csetjmp>
#include <cstddef>
#include <jpeglib.h>
// clang-format on

namespace quorvan {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps
// back to the setjmp of the step that was running. Only plain data lives in the frames
// it jumps over.
struct Decoder {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf failed;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    auto* decoder =
        reinterpret_cast<Decoder*>(reinterpret_cast<char*>(info) - offsetof(Decoder, info));
    std::longjmp(decoder->failed, 1);
}

void SilenceMessages(j_common_ptr, int) {}

bool StartDecoding(Decoder& decoder, const unsigned char* data, unsigned long size) {
    if (setjmp(decoder.failed) != 0) {
        return false;
    }
    jpeg_mem_src(&decoder.info, data, size);
    jpeg_read_header(&decoder.info, TRUE);
    decoder.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder.info);
    return decoder.info.output_components == 3;
}

bool ReadRows(Decoder& decoder, unsigned char* pixels, long bytesPerLine) {
    if (setjmp(decoder.failed) != 0) {
        return false;
    }
    while (decoder.info.output_scanline < decoder.info.output_height) {
        JSAMPROW row = pixels + bytesPerLine * decoder.info.output_scanline;
        jpeg_read_scanlines(&decoder.info, &row, 1);
    }
    jpeg_finish_decompress(&decoder.info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) {
        return {};
    }
    Decoder decoder{};
    decoder.info.err = jpeg_std_error(&decoder.errors);
    decoder.errors.error_exit = JumpOnError;
    decoder.errors.emit_message = SilenceMessages;
    jpeg_create_decompress(&decoder.info);

    QImage image;
    if (StartDecoding(decoder, reinterpret_cast<const unsigned char*>(data.constData()),
                      static_cast<unsigned long>(data.size()))) {
        image = QImage(static_cast<int>(decoder.info.output_width),
                       static_cast<int>(decoder.info.output_height), QImage::Format_RGB888);
        if (image.isNull() || !ReadRows(decoder, image.bits(), image.bytesPerLine())) {
            image = QImage();
        }
    }
    jpeg_destroy_decompress(&decoder.info);
    return image;
}

}  // namespace quorvan
