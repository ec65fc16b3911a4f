#pragma once
// What ordinary tools do to a link without writing it anew, and the setting of the time a link
// says it was written.

#include <time.h>

#include <filesystem>

namespace baslink::testing {

// One way a person or a tool handles an entry of the ports folder: the entry's path after it.
struct LinkHandling {
    const char* name;
    const char* tag;  // the name as a word, for a test's name
    std::filesystem::path (*apply)(const std::filesystem::path& entry);
};

// Renamed to another case of its name, given another owner (chown -h), and its folder
// restored from a copy made with cp -a.
extern const LinkHandling kOrdinaryLinkHandlings[3];

// Sets both times of the entry at `path` itself: of a link, not of what it leads to.
void Stamp(const std::filesystem::path& path, timespec time);

// When the entry at `path` (what it leads to) last changed: for a terminal just made, when it
// was made.
timespec ChangeTimeOf(const std::filesystem::path& path);

// `time` moved by `milliseconds`, which may be negative.
timespec Shifted(timespec time, long milliseconds);

}  // namespace baslink::testing
