#pragma once
// Byte layout of the dBase files the engine reads and writes.

#include <cstdint>

namespace Dbf {
constexpr std::uint8_t VersionDBase3 = 0x03;          // dBase III+/IV without memo
constexpr std::uint8_t VersionDBase3Memo = 0x83;
constexpr std::uint8_t VersionDBase4Memo = 0x8B;
constexpr std::uint8_t VersionLevel7 = 0x04;
constexpr std::uint8_t VersionLevel7Memo = 0x8C;
constexpr std::uint8_t VersionLevelMask = 0x07;       // low bits: 3 = III/IV/FoxPro, 4 = level 7, 5 = FoxPro
constexpr std::uint8_t LanguageDriverWin1252 = 0x57;  // "ANSI" (Windows-1252)
// Level 7 names its language driver in the header as well; readers that go by the name
// (Free Pascal's TDbf) take "DBWIN..." as Windows-1252.
constexpr char LanguageDriverNameWin1252[] = "DBWINUS0";

constexpr int HeaderSize = 32;
constexpr int FieldDescriptorSize = 32;
constexpr int Level7HeaderSize = 68;                  // 32 + 32-byte language driver name + 4 reserved
constexpr int Level7FieldDescriptorSize = 48;
constexpr int MaxShortFieldName = 10;
constexpr int Level7MaxFieldName = 31;

// Offsets in the fixed header, both levels. Multi-byte values are little-endian.
constexpr int OffsetVersion = 0;
constexpr int OffsetDate = 1;                         // 3 bytes: year - 1900, month, day
constexpr int OffsetRecordCount = 4;                  // 32 bits
constexpr int OffsetHeaderSize = 8;                   // 16 bits
constexpr int OffsetRecordLength = 10;                // 16 bits, deletion flag included
constexpr int OffsetMdxFlag = 28;
constexpr int OffsetLanguageDriver = 29;
constexpr int OffsetLevel7LanguageName = 32;
constexpr int Level7LanguageNameSize = 32;

// Offsets in a field descriptor of dBase III/IV.
constexpr int FieldNameSize = 11;                     // NUL-terminated: at most 10 characters
constexpr int OffsetFieldType = 11;
constexpr int OffsetFieldWidth = 16;
constexpr int OffsetFieldDecimals = 17;
// Offsets in a field descriptor of level 7.
constexpr int Level7FieldNameSize = 32;
constexpr int Level7OffsetFieldType = 32;
constexpr int Level7OffsetFieldWidth = 33;
constexpr int Level7OffsetFieldDecimals = 34;

constexpr char HeaderTerminator = 0x0D;
constexpr char EndOfFile = 0x1A;
constexpr char RecordLive = ' ';
constexpr char RecordDeleted = '*';

constexpr int IntegerWidth = 11;                      // 32-bit integer as N(11,0)
constexpr int FloatWidth = 20;                        // floating point as N(20,4)
constexpr int FloatDecimals = 4;
constexpr int MaxCharacterWidth = 254;
constexpr int MaxFields = 255;
constexpr int MaxRecordLength = 65535;

// Level 7 binary fields: 'I' and '+' are 4-byte big-endian integers with the sign bit flipped
// (all zero bytes = empty); 'O' is an 8-byte big-endian double whose sign bit is set for
// positive values and whose bits are all inverted for negative ones; '@' is an 8-byte
// big-endian double counting milliseconds from 0001-01-01 minus one day.
constexpr int BinaryIntegerWidth = 4;
constexpr int BinaryDoubleWidth = 8;
constexpr std::int64_t TimestampDayOneJulian = 1721425; // Julian day of 0000-12-31: "day 0"
constexpr double MillisecondsPerDay = 86400000.0;
} // namespace Dbf
