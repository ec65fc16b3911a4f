#pragma once
// The board EEPROM image kept in a file across runs: the raw bytes from address 0.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace baslink::sim {

// Copies the file over the start of `image`; a missing file leaves it as it is.
// Throws std::runtime_error when the file exists but cannot be read or is larger
// than the image.
void LoadEeprom(const std::filesystem::path& file, std::vector<uint8_t>& image);

// Writes through a temporary file and a rename, so a crash never leaves half an
// image. Throws std::runtime_error on failure.
void SaveEeprom(const std::filesystem::path& file, const std::vector<uint8_t>& image);

}  // namespace baslink::sim
