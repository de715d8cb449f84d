#pragma once
// A zip archive of stored (uncompressed) entries, as an Office Open XML package may be.
#include <cstdint>
#include <string>
#include <vector>

// The CRC-32 of zip archives (polynomial 0xEDB88320, reflected, inverted).
uint32_t Crc32(const std::string& bytes);

struct ZipEntry {
    std::string name;   // ASCII, forward slashes
    std::string bytes;
};

// The whole archive: local headers and data, the central directory and its end record.
// `dosTime`/`dosDate` stamp every entry.
std::string StoredZip(const std::vector<ZipEntry>& entries, uint16_t dosTime, uint16_t dosDate);
