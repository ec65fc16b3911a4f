#include "EepromFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace baslink::sim {

void LoadEeprom(const fs::path& file, std::vector<uint8_t>& image) {
    std::error_code error;
    if (!fs::exists(file, error)) {
        return;
    }
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        throw std::runtime_error("cannot read " + file.string());
    }
    if (bytes.size() > image.size()) {
        throw std::runtime_error(file.string() + " is larger than the EEPROM (" +
                                 std::to_string(image.size()) + " bytes)");
    }
    std::copy(bytes.begin(), bytes.end(), image.begin());
}

void SaveEeprom(const fs::path& file, const std::vector<uint8_t>& image) {
    fs::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, file, error);
    if (error) {
        fs::remove(temporary, error);
        throw std::runtime_error("cannot replace " + file.string());
    }
}

}  // namespace baslink::sim
