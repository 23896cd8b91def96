#include "tools/png_file.h"

#include <algorithm>
#include <cstdint>

namespace {
uint32_t Crc32(const std::string& bytes, size_t from) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= uint8_t(bytes[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBe(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char((value >> shift) & 0xFF));
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    PutBe(png, uint32_t(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    PutBe(png, Crc32(body, 0));
}

// A zlib stream of stored (uncompressed) blocks: the pictures are small.
std::string StoredZlib(const std::string& raw) {
    std::string z = "\x78\x01";
    const size_t kBlock = 65535;
    size_t pos = 0;
    do {
        size_t n = std::min(kBlock, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(char(n & 0xFF));
        z.push_back(char(n >> 8));
        z.push_back(char(~n & 0xFF));
        z.push_back(char((~n >> 8) & 0xFF));
        z.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBe(z, (b << 16) | a);
    return z;
}
}  // namespace

std::string PngBytes(const PlatformImage& image) {
    const int stride = (image.width * 3 + 3) / 4 * 4;
    std::string raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        const uint8_t* row = image.pixels + size_t(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            raw.push_back(char(row[x * 3 + 2]));
            raw.push_back(char(row[x * 3 + 1]));
            raw.push_back(char(row[x * 3]));
        }
    }
    std::string header;
    PutBe(header, uint32_t(image.width));
    PutBe(header, uint32_t(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", StoredZlib(raw));
    Chunk(png, "IEND", "");
    return png;
}
