#pragma once
// The header of a table file: parsed from the bytes of an existing file (every length checked
// against the file before use), or built for a new table.

#include "platform/DbfTable.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DbfFieldLayout {
    DbfFieldInfo info;
    int offset = 0; // from the start of the record; byte 0 is the deletion flag
};

struct DbfHeader {
    std::uint8_t version = 0;
    bool level7 = false;
    std::int64_t recordCount = 0;
    int headerSize = 0;
    int recordLength = 0;
    std::vector<DbfFieldLayout> fields;

    // Reads the fixed header and the field descriptors from the first bytes of a file of
    // fileSize bytes (bytes holds at least the declared header, or the whole file when shorter).
    // Returns an empty text on success, otherwise the fault in Spanish; the table's records are
    // then not to be read. A header that declares more records than the file holds is a fault;
    // bytes after the declared records are ignored.
    QString parse(std::string_view bytes, std::int64_t fileSize);

    // The bytes of a new, empty table's header, terminator included: dBase III+/IV, or level 7
    // when a field name is longer than dBase III allows. Fields must have passed validate().
    static std::string build(const std::vector<DbfFieldDef> &defs, QDate today);
    // Empty when the field list can be written, otherwise the fault in Spanish.
    static QString validate(const std::vector<DbfFieldDef> &defs);
    static bool needsLevel7(const std::vector<DbfFieldDef> &defs);
};

// Little-endian and big-endian access to raw bytes.
namespace DbfBytes {
std::uint16_t le16(const char *p);
std::uint32_t le32(const char *p);
void putLe16(char *p, std::uint16_t v);
void putLe32(char *p, std::uint32_t v);
std::uint32_t be32(const char *p);
std::uint64_t be64(const char *p);
void putBe32(char *p, std::uint32_t v);
void putBe64(char *p, std::uint64_t v);
} // namespace DbfBytes
