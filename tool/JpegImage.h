#pragma once
// JPEG pictures decoded with libjpeg, for the about box.

#include <QByteArray>
#include <QImage>

namespace quorvan {

// The picture as 24-bit RGB; a null image when the data is no JPEG or is damaged.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace quorvan
