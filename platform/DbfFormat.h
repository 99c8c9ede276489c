#pragma once
// Byte layout of the dBase files the engine reads and writes.

#include <cstdint>

namespace Dbf {
constexpr std::uint8_t VersionDBase3 = 0x03;          // dBase III+/IV without memo
constexpr std::uint8_t VersionDBase3Memo = 0x83;
constexpr std::uint8_t VersionDBase4Memo = 0x8B;
constexpr std::uint8_t VersionLevel7 = 0x04;
constexpr std::uint8_t VersionLevel7Memo = 0x8C;
constexpr std::uint8_t LanguageDriverWin1252 = 0x57;  // "ANSI" (Windows-1252)

constexpr int HeaderSize = 32;
constexpr int FieldDescriptorSize = 32;
constexpr int Level7HeaderSize = 68;                  // 32 + 32-byte language driver name + 4 reserved
constexpr int Level7FieldDescriptorSize = 48;
constexpr int MaxShortFieldName = 10;
constexpr int Level7MaxFieldName = 31;

constexpr char HeaderTerminator = 0x0D;
constexpr char EndOfFile = 0x1A;
constexpr char RecordLive = ' ';
constexpr char RecordDeleted = '*';

constexpr int IntegerWidth = 11;                      // 32-bit integer as N(11,0)
constexpr int FloatWidth = 20;                        // floating point as N(20,4)
constexpr int FloatDecimals = 4;
} // namespace Dbf
