#include "IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

namespace baslink::ini {
namespace {

// One line of the file: [begin, end) is its text, `next` the start of the line after it
// (end plus the length of its terminator).
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        if (newline == std::string::npos) {
            // A CR that ends the file ends its last line, as it would before a LF.
            const std::size_t end = text.back() == '\r' ? text.size() - 1 : text.size();
            lines.push_back({begin, std::max(begin, end), text.size()});
            break;
        }
        std::size_t end = newline;
        if (end > begin && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back({begin, end, newline + 1});
        begin = newline + 1;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAsciiCopy(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), LowerAscii);
    return lower;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// The section a header line names, or nothing when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

// A line that sets a key: the key's name and where its "=" stands.
struct KeyLine {
    std::string_view key;
    std::size_t equals;
};

// Nothing for blank lines, comments and lines without "=".
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{Trim(line.substr(0, equals)), equals};
}

// Where the "=" of a key line stands, when the line sets `key`.
std::optional<std::size_t> KeyAssignment(std::string_view line, std::string_view key) {
    const auto parsed = ParseKeyLine(line);
    if (!parsed || !EqualsIgnoreCase(parsed->key, key)) {
        return std::nullopt;
    }
    return parsed->equals;
}

// What a search for one key found: the section's header line, the key's line and the last
// line of the section that holds anything (where a new key goes after).
struct Found {
    std::optional<std::size_t> header;
    std::optional<std::size_t> keyLine;
    std::size_t equals = 0;
    std::size_t lastFilled = 0;
};

Found FindKey(const std::string& text, const std::vector<Line>& lines, std::string_view section,
              std::string_view key) {
    Found found;
    const auto view = [&](const Line& line) {
        return std::string_view(text).substr(line.begin, line.end - line.begin);
    };
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const auto name = SectionName(view(lines[i]));
        if (name && EqualsIgnoreCase(*name, section)) {
            break;
        }
    }
    if (i == lines.size()) {
        return found;
    }
    found.header = i;
    found.lastFilled = i;
    const std::string_view wantedKey = Trim(key);
    for (++i; i < lines.size() && !SectionName(view(lines[i])); ++i) {
        if (const auto equals = KeyAssignment(view(lines[i]), wantedKey)) {
            found.keyLine = i;
            found.equals = *equals;
            return found;
        }
        if (!Trim(view(lines[i])).empty()) {
            found.lastFilled = i;
        }
    }
    return found;
}

// The whole text of a Readable file, read in pieces so that a file that grew past the
// limit after it was measured is refused all the same. Running out of memory for the text
// is a failed read like any other: the caller treats the file as unreadable.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (!Readable(path)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    try {
        std::string text;
        std::array<char, 64 * 1024> piece;
        while (file.read(piece.data(), piece.size()) || file.gcount() > 0) {
            const auto count = static_cast<std::size_t>(file.gcount());
            if (text.size() + count > kMaxFileSize) {
                return std::nullopt;
            }
            text.append(piece.data(), count);
        }
        if (file.bad()) {
            return std::nullopt;
        }
        return text;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

// New lines follow the file's own line ends; a new file gets CR LF, the line end of the
// system's files.
std::string_view LineEnd(const std::string& text) {
    const std::size_t newline = text.find('\n');
    if (newline != std::string::npos && (newline == 0 || text[newline - 1] != '\r')) {
        return "\n";
    }
    return "\r\n";
}

// What completes the line end of a file's last line: nothing after a LF, a LF after a lone
// CR (kept as the line's end), else a whole line end.
std::string_view LastLineCompletion(const std::string& text, std::string_view eol) {
    if (text.empty() || text.back() == '\n') {
        return {};
    }
    return text.back() == '\r' ? "\n" : eol;
}

std::string WithValue(const std::string& text, std::string_view section, std::string_view key,
                      std::string_view value) {
    const std::vector<Line> lines = SplitLines(text);
    const std::string_view eol = LineEnd(text);
    const Found found = FindKey(text, lines, section, key);

    std::string updated;
    if (!found.header) {
        updated = text;
        updated += LastLineCompletion(text, eol);
        updated.append("[").append(section).append("]").append(eol);
        updated.append(key).append("=").append(value).append(eol);
        return updated;
    }
    if (found.keyLine) {
        const Line& line = lines[*found.keyLine];
        updated = text.substr(0, line.begin + found.equals + 1);
        updated.append(value);
        updated.append(text, line.end, std::string::npos);
        return updated;
    }
    const Line& after = lines[found.lastFilled];
    updated = text.substr(0, after.next);
    if (after.next == text.size()) {
        updated += LastLineCompletion(text, eol);  // the section's last line ends the file
    }
    updated.append(key).append("=").append(value).append(eol);
    updated.append(text, after.next, std::string::npos);
    return updated;
}

// Names a read would not find again, or that would break the lines around them.
bool BreaksStructure(std::string_view section, std::string_view key, std::string_view value) {
    const auto hasLineBreak = [](std::string_view s) {
        return s.find_first_of("\r\n") != std::string_view::npos;
    };
    const std::string_view trimmedKey = Trim(key);
    return hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
           section.find(']') != std::string_view::npos || Trim(section) != section ||
           key.find('=') != std::string_view::npos || trimmedKey.empty() ||
           trimmedKey.front() == '[' || trimmedKey.front() == ';';
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }
    int Get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes a temporary file beside `path` and renames it over the old one.
bool ReplaceFile(const std::string& path, const std::string& content) {
    static std::atomic<unsigned> counter{0};
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    if (existed && ::access(path.c_str(), W_OK) != 0) {
        return false;
    }
    const std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        return false;
    }
    bool ok = WriteAll(file.Get(), content);
    if (ok && existed) {
        ok = ::fchmod(file.Get(), old.st_mode & 07777) == 0;
    }
    ok = file.Close() && ok;
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// A link to a settings file is followed, so the file is replaced and the link kept.
std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    const auto resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved.string();
}

}  // namespace

// Only a regular file is read: a folder or a device named in its place cannot be.
bool Readable(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size <= kMaxFileSize && ::access(path.c_str(), R_OK) == 0;
}

Snapshot::Snapshot(const std::string& path) {
    const auto text = ReadWholeFile(path);
    if (!text) {
        return;
    }
    // Lines under a repeated section header belong to no section a lookup can reach.
    std::unordered_map<std::string, std::string>* current = nullptr;
    for (const Line& line : SplitLines(*text)) {
        const std::string_view content =
            std::string_view(*text).substr(line.begin, line.end - line.begin);
        if (const auto name = SectionName(content)) {
            const auto [entry, isNew] = sections_.try_emplace(LowerAsciiCopy(*name));
            current = isNew ? &entry->second : nullptr;
            continue;
        }
        const auto keyLine = ParseKeyLine(content);
        if (current == nullptr || !keyLine) {
            continue;
        }
        const std::string_view value = Trim(content.substr(keyLine->equals + 1));
        current->try_emplace(LowerAsciiCopy(keyLine->key), value.substr(0, kMaxValueLength));
    }
}

std::optional<std::string> Snapshot::Value(std::string_view section, std::string_view key) const {
    const auto found = sections_.find(LowerAsciiCopy(section));
    if (found == sections_.end()) {
        return std::nullopt;
    }
    const auto value = found->second.find(LowerAsciiCopy(Trim(key)));
    if (value == found->second.end()) {
        return std::nullopt;
    }
    return value->second;
}

std::optional<std::string> ReadString(const std::string& path, std::string_view section,
                                      std::string_view key) {
    return Snapshot(path).Value(section, key);
}

bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value) {
    if (BreaksStructure(section, key, value)) {
        return false;
    }
    const std::string target = ResolvedPath(path);
    // A name the system cannot look up (too long, a loop of links) is a refused write.
    std::error_code lookup;
    const bool exists = std::filesystem::exists(target, lookup);
    if (lookup) {
        return false;
    }
    std::string text;
    if (exists) {
        auto current = ReadWholeFile(target);
        if (!current) {
            return false;
        }
        text = std::move(*current);
    }
    return ReplaceFile(target, WithValue(text, section, key, value));
}

}  // namespace baslink::ini
