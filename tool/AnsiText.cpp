#include "AnsiText.h"

#include "Windows1252.h"

namespace quorvan {

QString FromAnsi(const std::string& bytes) {
    return QString::fromStdU16String(baslink::text::Windows1252ToUtf16(bytes));
}

std::string ToAnsi(const QString& text) {
    return baslink::text::Utf16ToWindows1252(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

}  // namespace quorvan
