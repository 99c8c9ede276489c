#include "platform/DbfHeader.h"
#include "platform/DbfFormat.h"

#include <QSet>
#include <algorithm>

namespace DbfBytes {
std::uint16_t le16(const char *p) {
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return static_cast<std::uint16_t>(u[0] | (u[1] << 8));
}
std::uint32_t le32(const char *p) {
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t(u[0]) | (std::uint32_t(u[1]) << 8) | (std::uint32_t(u[2]) << 16) | (std::uint32_t(u[3]) << 24);
}
void putLe16(char *p, std::uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}
void putLe32(char *p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t be32(const char *p) {
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return (std::uint32_t(u[0]) << 24) | (std::uint32_t(u[1]) << 16) | (std::uint32_t(u[2]) << 8) | std::uint32_t(u[3]);
}
std::uint64_t be64(const char *p) { return (std::uint64_t(be32(p)) << 32) | be32(p + 4); }
void putBe32(char *p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}
void putBe64(char *p, std::uint64_t v) {
    putBe32(p, static_cast<std::uint32_t>(v >> 32));
    putBe32(p + 4, static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
}
} // namespace DbfBytes

namespace {

// The name stored in a descriptor: up to its first NUL, trailing blanks dropped.
QString descriptorName(const char *p, int size) {
    int n = 0;
    while (n < size && p[n] != '\0')
        ++n;
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return AnsiText::fromBytes(std::string(p, static_cast<size_t>(n))).toQString();
}

} // namespace

QString DbfHeader::parse(std::string_view bytes, std::int64_t fileSize) {
    using namespace DbfBytes;
    fields.clear();
    if (fileSize < Dbf::HeaderSize || static_cast<std::int64_t>(bytes.size()) < Dbf::HeaderSize)
        return QStringLiteral("el archivo tiene %1 bytes, menos que la cabecera de una tabla dBase").arg(fileSize);
    const char *h = bytes.data();
    version = static_cast<std::uint8_t>(h[Dbf::OffsetVersion]);
    const int level = version & Dbf::VersionLevelMask;
    const bool visualFoxPro = version >= 0x30 && version <= 0x32;
    if (!visualFoxPro && level != 3 && level != 4 && level != 5)
        return QStringLiteral("no es una tabla dBase (byte de versión 0x%1)").arg(version, 2, 16, QLatin1Char('0'));
    level7 = level == 4 && !visualFoxPro;
    recordCount = le32(h + Dbf::OffsetRecordCount);
    headerSize = le16(h + Dbf::OffsetHeaderSize);
    recordLength = le16(h + Dbf::OffsetRecordLength);

    const int fixedSize = level7 ? Dbf::Level7HeaderSize : Dbf::HeaderSize;
    const int descriptorSize = level7 ? Dbf::Level7FieldDescriptorSize : Dbf::FieldDescriptorSize;
    if (headerSize < fixedSize + 1)
        return QStringLiteral("la cabecera declara %1 bytes, menos de los %2 que ocupa como mínimo")
            .arg(headerSize)
            .arg(fixedSize + 1);
    if (headerSize > fileSize || headerSize > static_cast<std::int64_t>(bytes.size()))
        return QStringLiteral("la cabecera declara %1 bytes y el archivo solo tiene %2").arg(headerSize).arg(fileSize);
    if (recordLength < 2)
        return QStringLiteral("la cabecera declara registros de %1 bytes").arg(recordLength);

    int offset = 1; // after the deletion flag
    for (int pos = fixedSize; pos < headerSize && h[pos] != Dbf::HeaderTerminator; pos += descriptorSize) {
        if (pos + descriptorSize > headerSize)
            return QStringLiteral("la descripción del campo %1 queda cortada por el final de la cabecera")
                .arg(fields.size() + 1);
        const char *d = h + pos;
        DbfFieldLayout f;
        f.info.name = descriptorName(d, level7 ? Dbf::Level7FieldNameSize : Dbf::FieldNameSize);
        f.info.type = d[level7 ? Dbf::Level7OffsetFieldType : Dbf::OffsetFieldType];
        f.info.width = static_cast<unsigned char>(d[level7 ? Dbf::Level7OffsetFieldWidth : Dbf::OffsetFieldWidth]);
        f.info.decimals =
            static_cast<unsigned char>(d[level7 ? Dbf::Level7OffsetFieldDecimals : Dbf::OffsetFieldDecimals]);
        if (f.info.name.isEmpty())
            return QStringLiteral("el campo %1 no tiene nombre").arg(fields.size() + 1);
        if (f.info.width == 0)
            return QStringLiteral("el campo %1 tiene anchura 0").arg(f.info.name);
        f.offset = offset;
        offset += f.info.width;
        fields.push_back(std::move(f));
    }
    if (fields.empty())
        return QStringLiteral("la cabecera no describe ningún campo");
    if (offset > recordLength)
        return QStringLiteral("los campos ocupan %1 bytes y el registro declarado solo %2").arg(offset).arg(recordLength);

    const std::int64_t wholeRecords = (fileSize - headerSize) / recordLength;
    if (recordCount > wholeRecords)
        return QStringLiteral("la cabecera declara %1 registros y el archivo solo contiene %2 completos")
            .arg(recordCount)
            .arg(wholeRecords);
    return {};
}

bool DbfHeader::needsLevel7(const std::vector<DbfFieldDef> &defs) {
    for (const DbfFieldDef &f : defs)
        if (f.name.size() > Dbf::MaxShortFieldName)
            return true;
    return false;
}

QString DbfHeader::validate(const std::vector<DbfFieldDef> &defs) {
    if (defs.empty())
        return QStringLiteral("no tiene ningún campo");
    if (defs.size() > static_cast<size_t>(Dbf::MaxFields))
        return QStringLiteral("tiene %1 campos, más de %2").arg(defs.size()).arg(Dbf::MaxFields);
    QSet<QString> seen;
    int length = 1;
    for (const DbfFieldDef &f : defs) {
        if (f.name.isEmpty() || f.name.size() > Dbf::Level7MaxFieldName)
            return QStringLiteral("el nombre de campo '%1' no tiene entre 1 y %2 caracteres")
                .arg(f.name)
                .arg(Dbf::Level7MaxFieldName);
        for (QChar c : f.name)
            if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
                return QStringLiteral("el nombre de campo '%1' lleva caracteres no admitidos").arg(f.name);
        if (seen.contains(f.name.toUpper()))
            return QStringLiteral("el campo %1 está repetido").arg(f.name);
        seen.insert(f.name.toUpper());
        switch (f.type) {
        case DbfFieldType::Character:
            if (f.width < 1 || f.width > Dbf::MaxCharacterWidth)
                return QStringLiteral("el campo %1 tiene anchura %2, fuera de 1 a %3")
                    .arg(f.name)
                    .arg(f.width)
                    .arg(Dbf::MaxCharacterWidth);
            length += f.width;
            break;
        case DbfFieldType::Logical:
            length += 1;
            break;
        case DbfFieldType::Integer:
            length += Dbf::IntegerWidth;
            break;
        case DbfFieldType::Float:
            length += Dbf::FloatWidth;
            break;
        }
    }
    if (length > Dbf::MaxRecordLength)
        return QStringLiteral("sus registros ocuparían %1 bytes, más de %2").arg(length).arg(Dbf::MaxRecordLength);
    return {};
}

std::string DbfHeader::build(const std::vector<DbfFieldDef> &defs, QDate today) {
    using namespace DbfBytes;
    const bool l7 = needsLevel7(defs);
    const int fixedSize = l7 ? Dbf::Level7HeaderSize : Dbf::HeaderSize;
    const int descriptorSize = l7 ? Dbf::Level7FieldDescriptorSize : Dbf::FieldDescriptorSize;
    const int size = fixedSize + descriptorSize * static_cast<int>(defs.size()) + 1;
    std::string out(static_cast<size_t>(size), '\0');
    char *h = out.data();

    h[Dbf::OffsetVersion] = static_cast<char>(l7 ? Dbf::VersionLevel7 : Dbf::VersionDBase3);
    h[Dbf::OffsetDate] = static_cast<char>(std::clamp(today.year() - 1900, 0, 255));
    h[Dbf::OffsetDate + 1] = static_cast<char>(today.month());
    h[Dbf::OffsetDate + 2] = static_cast<char>(today.day());
    putLe32(h + Dbf::OffsetRecordCount, 0);
    putLe16(h + Dbf::OffsetHeaderSize, static_cast<std::uint16_t>(size));
    h[Dbf::OffsetMdxFlag] = 0; // no production index
    h[Dbf::OffsetLanguageDriver] = static_cast<char>(Dbf::LanguageDriverWin1252);
    if (l7)
        std::copy_n(Dbf::LanguageDriverNameWin1252, sizeof Dbf::LanguageDriverNameWin1252 - 1,
                    h + Dbf::OffsetLevel7LanguageName);

    int length = 1;
    char *d = h + fixedSize;
    for (const DbfFieldDef &f : defs) {
        char type = 'C';
        int width = f.width;
        int decimals = 0;
        switch (f.type) {
        case DbfFieldType::Character:
            break;
        case DbfFieldType::Logical:
            type = 'L';
            width = 1;
            break;
        case DbfFieldType::Integer:
            type = 'N';
            width = Dbf::IntegerWidth;
            break;
        case DbfFieldType::Float:
            type = 'N';
            width = Dbf::FloatWidth;
            decimals = Dbf::FloatDecimals;
            break;
        }
        const QByteArray name = f.name.toLatin1();
        std::copy(name.begin(), name.end(), d);
        d[l7 ? Dbf::Level7OffsetFieldType : Dbf::OffsetFieldType] = type;
        d[l7 ? Dbf::Level7OffsetFieldWidth : Dbf::OffsetFieldWidth] = static_cast<char>(width);
        d[l7 ? Dbf::Level7OffsetFieldDecimals : Dbf::OffsetFieldDecimals] = static_cast<char>(decimals);
        length += width;
        d += descriptorSize;
    }
    *d = Dbf::HeaderTerminator;
    putLe16(h + Dbf::OffsetRecordLength, static_cast<std::uint16_t>(length));
    return out;
}
