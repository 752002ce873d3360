#include "bytes.h"

#include <filesystem>
#include <fstream>

namespace dg {

void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

void PutTag(std::vector<uint8_t>& b, const char* tag) {
    for (; *tag; ++tag)
        b.push_back(static_cast<uint8_t>(*tag));
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    // Small files sit in the stream's buffer until it closes: that write can fail too.
    out.close();
    return !out.fail();
}

} // namespace dg
