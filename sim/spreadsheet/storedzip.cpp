#include "storedzip.h"

#include <array>
#include <stdexcept>

uint32_t Crc32(const std::string& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The fields a local header and a central directory header share, from "version needed" on.
void PutCommonFields(std::string& out, const ZipEntry& entry, uint32_t crc, uint16_t dosTime, uint16_t dosDate) {
    Put16(out, 20);  // version needed to extract: 2.0
    Put16(out, 0);   // flags
    Put16(out, 0);   // method: stored
    Put16(out, dosTime);
    Put16(out, dosDate);
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(entry.bytes.size()));  // compressed size
    Put32(out, static_cast<uint32_t>(entry.bytes.size()));  // uncompressed size
    Put16(out, static_cast<uint32_t>(entry.name.size()));
    Put16(out, 0);   // extra field length
}

} // namespace

std::string StoredZip(const std::vector<ZipEntry>& entries, uint16_t dosTime, uint16_t dosDate) {
    std::string archive, directory;
    for (const ZipEntry& entry : entries) {
        // No zip64 records: a package beyond 4 GB or 65535 entries cannot be written.
        if (entry.bytes.size() >= 0xFFFFFFFFu || archive.size() >= 0xFFFFFFFFu - entry.bytes.size() - 1024 ||
            entries.size() >= 0xFFFF)
            throw std::length_error("workbook too large for a zip archive without zip64 records");
        uint32_t crc = Crc32(entry.bytes);
        uint32_t offset = static_cast<uint32_t>(archive.size());

        Put32(archive, 0x04034B50);
        PutCommonFields(archive, entry, crc, dosTime, dosDate);
        archive += entry.name;
        archive += entry.bytes;

        Put32(directory, 0x02014B50);
        Put16(directory, 20);  // version made by: 2.0, MS-DOS
        PutCommonFields(directory, entry, crc, dosTime, dosDate);
        Put16(directory, 0);   // comment length
        Put16(directory, 0);   // disk number start
        Put16(directory, 0);   // internal attributes
        Put32(directory, 0);   // external attributes
        Put32(directory, offset);
        directory += entry.name;
    }
    uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);  // this disk
    Put16(archive, 0);  // disk with the directory
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put32(archive, static_cast<uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);  // comment length
    return archive;
}
