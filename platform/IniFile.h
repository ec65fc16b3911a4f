#pragma once
// INI text files read and written one key at a time: the settings and exchange files of
// the system keep this layout. Sections and keys match without regard to (ASCII) case; a
// write touches only the one line it sets, so every other byte of the file stays as it
// was. Lines end in CR LF or LF; a CR that ends the file ends its last line. Texts are
// 8-bit bytes and pass through unchanged.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace baslink::ini {

// The longest value a read hands back.
inline constexpr std::size_t kMaxValueLength = 2047;

// The largest file a read takes. The system's files hold some tens of kilobytes; a larger
// one is refused as unreadable rather than read whole into memory.
inline constexpr std::uintmax_t kMaxFileSize = 8 * 1024 * 1024;

// True when `path` names a file that reads take: a regular file, open to reading, of at
// most kMaxFileSize bytes.
bool Readable(const std::string& path);

// The value of `key` in `section`, trimmed of blanks and cut to kMaxValueLength bytes.
// Nothing when the file cannot be read (not Readable, a failed read, no memory left for
// its text) or holds no such section or key.
std::optional<std::string> ReadString(const std::string& path, std::string_view section,
                                      std::string_view key);

// The keys of one file read once, for a reader that takes many keys from it. Each Value is
// what ReadString gives for the file as it was when the snapshot was taken.
class Snapshot {
public:
    // A file that cannot be read gives a snapshot without keys.
    explicit Snapshot(const std::string& path);

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

private:
    // Sections and keys by their lower-case names; only the first of repeated ones counts.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> sections_;
};

// Sets `key` in `section` to `value`: an existing key is replaced in place, a new key is
// added at the end of its section, a new section at the end of the file, and a missing
// file is created. The new content replaces the file in one rename, so a failed write
// leaves the old file whole. False when the file cannot be read or replaced, or when a
// name or the value would break the file's line structure or could not be found again
// by a read (a line break anywhere, a key with "=" or starting with "[" or ";", a section
// with "]" or with blanks at either end).
bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

}  // namespace baslink::ini
