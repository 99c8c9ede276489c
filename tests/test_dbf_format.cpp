// The bytes other programs depend on: a new table's header and size at both levels, how each
// field type is written (numbers under a comma-decimal locale too), the refusal of values
// that do not fit, level 7 binary fields as the host's engine stores them, deleted records,
// damaged files refused with a message, a table left readable after every post, and records
// written in blocks by an exclusive open: a readable prefix at every moment, and at close the
// very bytes that writing each post at once gives.

#include "platform/DbfFormat.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

QByteArray todayBytes() {
    const QDate d = QDate::currentDate();
    QByteArray b;
    b += char(d.year() - 1900);
    b += char(d.month());
    b += char(d.day());
    return b;
}

const std::vector<DbfFieldDef> SmallFields = {
    {"CODIGO", DbfFieldType::Character, 5},
    {"ACTIVO", DbfFieldType::Logical},
    {"NUM", DbfFieldType::Integer},
    {"IMPORTE", DbfFieldType::Float},
};

QString openError(const QString &folder, const QString &name) {
    DbfTable t;
    try {
        t.open(folder, name, DbfTable::Mode::Shared);
    } catch (const RunError &e) {
        return e.message();
    }
    return {};
}

// Every field type, and records wide enough that a few thousand fill several blocks.
const std::vector<DbfFieldDef> WideFields = {
    {"NUM", DbfFieldType::Integer},
    {"TEXTO", DbfFieldType::Character, 250},
    {"ACTIVO", DbfFieldType::Logical},
    {"IMPORTE", DbfFieldType::Float},
};
constexpr int WideHeader = 32 + 4 * 32 + 1;
constexpr int WideRecord = 1 + 11 + 250 + 1 + 20;

AnsiText wideText(int n) { return AnsiText::ascii("registro " + std::to_string(n) + std::string(200, '.') + "fin"); }

void appendWide(DbfTable &t, int n) {
    t.append();
    t.setInteger("NUM", n);
    t.setText("TEXTO", wideText(n));
    t.setLogical("ACTIVO", n % 3 == 0);
    t.setFloat("IMPORTE", n / 8.0);
    t.post();
}

// The record count in a table file's header.
quint32 headerCount(const QByteArray &file) {
    const auto *p = reinterpret_cast<const unsigned char *>(file.constData() + 4);
    return p[0] | p[1] << 8 | p[2] << 16 | quint32(p[3]) << 24;
}

// A comma-decimal LC_NUMERIC for the duration of a test, built with localedef when the system
// has none; false when neither works (the test then checks the bytes only).
bool useCommaLocale(const QString &scratch) {
    if (std::setlocale(LC_NUMERIC, "es_ES.UTF-8"))
        return true;
    const QString dir = scratch + "/locales";
    QDir().mkpath(dir);
    if (QProcess::execute("localedef", {"-i", "es_ES", "-f", "UTF-8", dir + "/es_ES.UTF-8"}) < 0)
        return false;
    qputenv("LOCPATH", dir.toLocal8Bit());
    return std::setlocale(LC_NUMERIC, "es_ES.UTF-8") != nullptr;
}

} // namespace

class TestDbfFormat : public QObject {
    Q_OBJECT

private slots:
    void newTableHeader() {
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "Pequena", SmallFields);
        const QByteArray file = readAll(dir.filePath("PEQUENA.DBF"));
        const QByteArray expected =
            hex("03") + todayBytes() +
            hex("00000000 a100 2600 00000000000000000000000000000000 00 57 0000"
                "434f4449474f0000000000 43 00000000 05 00 0000000000000000000000000000"
                "41435449564f0000000000 4c 00000000 01 00 0000000000000000000000000000"
                "4e554d0000000000000000 4e 00000000 0b 00 0000000000000000000000000000"
                "494d504f52544500000000 4e 00000000 14 04 0000000000000000000000000000"
                "0d 1a");
        QCOMPARE(file.toHex(' '), expected.toHex(' '));
        QCOMPARE(file.size(), 162);
    }

    // A name of 11 characters has no room for its terminator in a dBase III descriptor, so such
    // a table is written at level 7, with its language driver named as well.
    void level7HeaderForLongName() {
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "ASIGNOMT2", {{"OFERTAMATRI", DbfFieldType::Character, 10},
                                                  {"NUM", DbfFieldType::Integer}});
        const QByteArray file = readAll(dir.filePath("ASIGNOMT2.DBF"));
        const QByteArray expected =
            hex("04") + todayBytes() +
            hex("00000000 a500 1600 00000000000000000000000000000000 00 57 0000"
                "444257494e555330 000000000000000000000000000000000000000000000000 00000000"
                "4f46455254414d41545249 000000000000000000000000000000000000000000"
                "43 0a 00 00000000000000000000000000"
                "4e554d 0000000000000000000000000000000000000000000000000000000000"
                "4e 0b 00 00000000000000000000000000"
                "0d 1a");
        QCOMPARE(file.toHex(' '), expected.toHex(' '));

        DbfTable t;
        t.open(dir.path(), "asignomt2");
        QCOMPARE(t.fields().front().name, QString("OFERTAMATRI"));
        t.append();
        t.setText("ofertamatri", AnsiText::ascii("1234567890XYZ"));
        t.setInteger("NUM", 7);
        t.post();
        QCOMPARE(t.text("OFERTAMATRI"), AnsiText::ascii("1234567890"));
        QCOMPARE(t.integer("NUM"), 7);
    }

    // Numbers right-aligned with '.' and exactly the declared decimals whatever LC_NUMERIC says;
    // text cut to the width; a never-set field blank; the record count, date and end mark.
    void recordBytes() {
        QTemporaryDir dir;
        const bool comma = useCommaLocale(dir.path());
        if (comma)
            QCOMPARE(std::localeconv()->decimal_point, ",");
        else
            qInfo("No comma-decimal locale here: checking the bytes only");

        DbfTable::create(dir.path(), "T", SmallFields);
        DbfTable t;
        t.open(dir.path(), "T");
        t.append();
        t.setText("CODIGO", AnsiText::fromUtf8("Ñú abcdef"));
        t.setLogical("ACTIVO", true);
        t.setInteger("NUM", -42);
        t.setFloat("IMPORTE", 3.25);
        t.post();
        t.append();
        t.setFloat("IMPORTE", -1234.56789);
        t.setFloat("NUM", 1999999.6);
        t.post();
        t.append();
        t.setInteger("IMPORTE", 4);
        t.setFloat("NUM", -0.2);
        t.setFloat("CODIGO", 0.5);
        t.post();
        t.append(); // nothing set
        t.post();
        t.close();
        std::setlocale(LC_NUMERIC, "C");

        const QByteArray file = readAll(dir.filePath("T.DBF"));
        QCOMPARE(file.size(), 161 + 4 * 38 + 1);
        QCOMPARE(file.mid(1, 3), todayBytes());
        QCOMPARE(file.mid(4, 4), hex("04000000"));
        const QByteArray records = file.mid(161);
        QCOMPARE(records.mid(0, 38), QByteArray(" \xd1\xfa ab" "T" "        -42" "              3.2500"));
        QCOMPARE(records.mid(38, 38), QByteArray("      " " " "    2000000" "          -1234.5679"));
        QCOMPARE(records.mid(76, 38), QByteArray(" 0.5  " " " "          0" "              4.0000"));
        QCOMPARE(records.mid(114, 38), QByteArray(38, ' '));
        QCOMPARE(records.mid(152), QByteArray("\x1a"));
    }

    void valueThatDoesNotFitIsRefused_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::newRow("integer of 12 digits") << "NUM" << 123456789012.0;
        QTest::newRow("float of 21 characters") << "IMPORTE" << 1e15;
        QTest::newRow("negative float of 21 characters") << "IMPORTE" << -1e14;
        QTest::newRow("not a number") << "IMPORTE" << std::nan("");
        QTest::newRow("infinite") << "NUM" << HUGE_VAL;
    }
    void valueThatDoesNotFitIsRefused() {
        QFETCH(QString, field);
        QFETCH(double, value);
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "T", SmallFields);
        DbfTable t;
        t.open(dir.path(), "T");
        t.append();
        try {
            t.setFloat(field, value);
            QFAIL("a value wider than its field was accepted");
        } catch (const RunError &e) {
            QVERIFY2(e.message().contains("no cabe en el campo " + field) && e.message().contains("tabla T"),
                     qPrintable(e.message()));
        }
        QVERIFY(t.isBlank(field));
        t.setFloat("IMPORTE", 1e14); // the widest that fits: 20 characters
        t.post();
        QCOMPARE(t.text("IMPORTE"), AnsiText::ascii("100000000000000.0000"));
    }

    // Level 7 binary fields as Free Pascal's TDbf (and dBase 7) store them: 'I' big-endian with
    // the sign bit flipped, 'O' big-endian with positive values' sign bit set and negative
    // values inverted, '@' a big-endian double of milliseconds; all-zero bytes are empty.
    void level7BinaryFields() {
        QTemporaryDir dir;
        QByteArray header = hex("04 7c 0315 02000000 d500 1500 00000000000000000000000000000000 00 00 0000") +
                            QByteArray("DBWINWE0") + QByteArray(24 + 4, '\0');
        const auto descriptor = [](const QByteArray &name, char type, int width) {
            QByteArray d = name + QByteArray(32 - name.size(), '\0');
            d += type;
            d += char(width);
            d += QByteArray(14, '\0');
            return d;
        };
        header += descriptor("CANTIDAD", 'I', 4) + descriptor("IMPORTE", 'O', 8) + descriptor("MOMENTO", '@', 8) +
                  "\x0d";
        QCOMPARE(header.size(), 213);
        const QByteArray records = QByteArray(" ") + hex("7ffe1dc0 c00a000000000000 42cd08ac7e9c0400") + " " +
                                   hex("00000000 401fffffffffffff 0000000000000000") + "\x1a";
        writeAll(dir.filePath("L7.DBF"), header + records);

        DbfTable t;
        t.open(dir.path(), "L7");
        QCOMPARE(t.fields().size(), size_t(3));
        QCOMPARE(t.fields()[0].type, 'I');
        QCOMPARE(t.integer("CANTIDAD"), -123456);
        QCOMPARE(t.text("CANTIDAD"), AnsiText::ascii("-123456"));
        QCOMPARE(t.number("IMPORTE"), 3.25);
        QCOMPARE(t.text("MOMENTO"), AnsiText::ascii("2024-03-15 10:30:45"));
        t.next();
        QVERIFY(t.isBlank("CANTIDAD"));
        QCOMPARE(t.text("CANTIDAD"), AnsiText());
        QCOMPARE(t.integer("CANTIDAD"), 0);
        QCOMPARE(t.number("IMPORTE"), -0.5);
        QCOMPARE(t.text("IMPORTE"), AnsiText::ascii("-0.5"));
        QCOMPARE(t.text("MOMENTO"), AnsiText());

        // Written back the same way.
        t.edit();
        t.setInteger("CANTIDAD", -123456);
        t.setFloat("IMPORTE", 3.25);
        t.post();
        t.close();
        QCOMPARE(readAll(dir.filePath("L7.DBF")).mid(213 + 21 + 1, 12).toHex(), hex("7ffe1dc0 c00a000000000000").toHex());
    }

    // Deleted records ('*') are invisible to every read and not counted.
    void deletedRecordsAreInvisible() {
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "T", SmallFields);
        {
            DbfTable t;
            t.open(dir.path(), "T");
            for (const char *code : {"uno", "dos", "tres", "dos"}) {
                t.append();
                t.setText("CODIGO", AnsiText::ascii(code));
            }
            t.post();
        }
        QByteArray file = readAll(dir.filePath("T.DBF"));
        file[161 + 38] = '*'; // the first "dos"
        file[161 + 3 * 38] = '*'; // the last record
        writeAll(dir.filePath("T.DBF"), file);

        DbfTable t;
        t.open(dir.path(), "T");
        QCOMPARE(t.recordCount(), 2);
        QStringList seen;
        for (t.first(); !t.eof(); t.next())
            seen << t.text("CODIGO").toQString();
        QCOMPARE(seen, QStringList({"uno", "tres"}));
        t.last();
        QCOMPARE(t.text("CODIGO"), AnsiText::ascii("tres"));
        QCOMPARE(t.position(), 1);
        QVERIFY(!t.locate("CODIGO", AnsiText::ascii("dos"), "ACTIVO", AnsiText()));
        t.setFilter(DbfTable::equalsExpression("CODIGO", AnsiText::ascii("dos")));
        QVERIFY(t.eof());
        QCOMPARE(t.recordCount(), 2);
    }

    // Each case damages a valid table of two records (header 97 bytes, records of 17).
    void damagedFileIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "T", {{"CODIGO", DbfFieldType::Character, 5}, {"NUM", DbfFieldType::Integer}});
        {
            DbfTable t;
            t.open(dir.path(), "T");
            for (int i = 0; i < 2; ++i) {
                t.append();
                t.setInteger("NUM", i);
            }
            t.post();
        }
        const QByteArray good = readAll(dir.filePath("T.DBF"));
        QCOMPARE(good.size(), 97 + 2 * 17 + 1);
        const auto with = [&](int offset, const QByteArray &bytes) {
            QByteArray b = good;
            b.replace(offset, bytes.size(), bytes);
            return b;
        };
        QTest::newRow("empty file") << QByteArray() << "menos que la cabecera";
        QTest::newRow("shorter than a header") << good.left(20) << "menos que la cabecera";
        QTest::newRow("not a dBase version") << with(0, hex("00")) << "versión 0x00";
        QTest::newRow("header larger than the file") << with(8, hex("0010")) << "la cabecera declara 4096 bytes";
        QTest::newRow("header smaller than its fixed part") << with(8, hex("1000")) << "menos de los 33";
        QTest::newRow("descriptor cut by the header's end") << with(8, hex("5000")) << "queda cortada";
        QTest::newRow("no field") << with(32, hex("0d")) << "ningún campo";
        QTest::newRow("field of width 0") << with(32 + 16, hex("00")) << "anchura 0";
        QTest::newRow("fields wider than the record") << with(10, hex("0a00")) << "los campos ocupan 17 bytes";
        QTest::newRow("record length of 0") << with(10, hex("0000")) << "registros de 0 bytes";
        QTest::newRow("more records than the file holds") << with(4, hex("03000000")) << "declara 3 registros";
        QTest::newRow("count near 2^32") << with(4, hex("ffffffff")) << "declara 4294967295 registros";
        QTest::newRow("last record truncated") << good.left(good.size() - 5) << "solo contiene 1 completos";
    }
    void damagedFileIsRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        writeAll(dir.filePath("T.DBF"), bytes);
        const QString message = openError(dir.path(), "T");
        QVERIFY2(message.startsWith("La tabla T está dañada (" + dir.filePath("T.DBF") + "): "), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
    }

    // Every header byte of a small table set to a few telling values: the open either succeeds,
    // and every field then reads, or fails with a message; it never reads past the file's end
    // (the sanitizer build checks that).
    void everyHeaderByteDamaged() {
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "T", {{"CODIGO", DbfFieldType::Character, 5}, {"NUM", DbfFieldType::Integer}});
        {
            DbfTable t;
            t.open(dir.path(), "T");
            t.append();
            t.setInteger("NUM", 5);
            t.post();
        }
        const QByteArray good = readAll(dir.filePath("T.DBF"));
        int opened = 0;
        for (int at = 0; at < 97; ++at) {
            for (char value : {'\x00', '\x01', '\x0d', '\x7f', '\xff'}) {
                QByteArray bad = good;
                bad[at] = value;
                writeAll(dir.filePath("T.DBF"), bad);
                DbfTable t;
                try {
                    t.open(dir.path(), "T");
                } catch (const RunError &e) {
                    QVERIFY2(e.message().contains("tabla T"), qPrintable(e.message()));
                    continue;
                }
                ++opened;
                for (t.first(); !t.eof(); t.next())
                    for (const DbfFieldInfo &f : t.fields()) {
                        t.text(f.name);
                        t.isBlank(f.name);
                    }
            }
        }
        QVERIFY(opened > 0);
    }

    // After every post a second reader sees the right count and the end mark; records past the
    // count (left by a run killed before it updated the count) are ignored and overwritten.
    void tableReadableAfterEveryPost() {
        QTemporaryDir dir;
        DbfTable::create(dir.path(), "T", SmallFields);
        DbfTable writer;
        writer.open(dir.path(), "T", DbfTable::Mode::Shared);
        for (int i = 1; i <= 3; ++i) {
            writer.append();
            writer.setInteger("NUM", i);
            writer.post();
            DbfTable reader;
            reader.open(dir.path(), "T", DbfTable::Mode::Shared);
            QCOMPARE(reader.recordCount(), i);
            reader.last();
            QCOMPARE(reader.integer("NUM"), i);
            const QByteArray file = readAll(dir.filePath("T.DBF"));
            QCOMPARE(file.size(), 161 + i * 38 + 1);
            QCOMPARE(file.back(), '\x1a');
        }
        writer.close();

        QByteArray file = readAll(dir.filePath("T.DBF"));
        file.replace(4, 4, hex("02000000")); // as if killed between writing record 3 and its count
        writeAll(dir.filePath("T.DBF"), file);
        DbfTable t;
        t.open(dir.path(), "T");
        QCOMPARE(t.recordCount(), 2);
        t.append();
        t.setInteger("NUM", 30);
        t.post();
        t.close();
        t.open(dir.path(), "T");
        QCOMPARE(t.recordCount(), 3);
        t.last();
        QCOMPARE(t.integer("NUM"), 30);
    }

    // A run killed at any moment of an exclusive rebuild must leave a table that opens, with the
    // first records posted: the file is checked after every post as a crash would leave it
    // (header count, its records, the end mark, nothing after it), and a copy of it is opened
    // each time a block has gone in. Holding back is the point: the count moves a few times,
    // not once per post.
    void blocksLeaveAPrefixThatOpens() {
        QTemporaryDir dir, copies;
        const QString path = dir.filePath("T.DBF");
        const int rows = 3500;
        DbfTable::create(dir.path(), "T", WideFields);
        DbfTable t;
        t.open(dir.path(), "T");
        quint32 onDisk = 0;
        int blocks = 0;
        for (int n = 1; n <= rows; ++n) {
            appendWide(t, n);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray head = f.read(8);
            const quint32 count = headerCount(head);
            QCOMPARE(f.size(), WideHeader + qint64(count) * WideRecord + 1);
            QVERIFY(f.seek(f.size() - 1));
            QCOMPARE(f.read(1), QByteArray("\x1a"));
            QVERIFY(count <= quint32(n));
            if (count == onDisk)
                continue;
            onDisk = count;
            ++blocks;
            QFile::remove(copies.filePath("T.DBF"));
            QVERIFY(QFile::copy(path, copies.filePath("T.DBF")));
            DbfTable copy;
            copy.open(copies.path(), "T", DbfTable::Mode::Shared);
            QCOMPARE(copy.recordCount(), int(count));
            copy.last();
            QCOMPARE(copy.integer("NUM"), int(count));
            QCOMPARE(copy.text("TEXTO"), wideText(int(count)));
        }
        QVERIFY2(blocks >= 3 && onDisk < quint32(rows), qPrintable(QString("%1 blocks before close").arg(blocks)));
        QVERIFY2(blocks < rows / 100, qPrintable(QString("%1 writes of the count for %2 posts").arg(blocks).arg(rows)));
        QCOMPARE(t.recordCount(), rows); // the same handle reads the records still held
        t.last();
        QCOMPARE(t.integer("NUM"), rows);
        t.close();

        const QByteArray file = readAll(path);
        QCOMPARE(headerCount(file), quint32(rows));
        QCOMPARE(file.size(), WideHeader + rows * WideRecord + 1);
        QCOMPARE(file.back(), '\x1a');
        t.open(dir.path(), "T", DbfTable::Mode::Shared);
        QCOMPARE(t.recordCount(), rows);
        int n = 0;
        for (t.first(); !t.eof(); t.next()) {
            ++n;
            if (t.integer("NUM") != n || t.text("TEXTO") != wideText(n) || t.logical("ACTIVO") != (n % 3 == 0) ||
                t.number("IMPORTE") != n / 8.0)
                QFAIL(qPrintable(QString("record %1 reads back wrong").arg(n)));
        }
        QCOMPARE(n, rows);
    }

    // The same appends and edits through an exclusive open, which writes in blocks, and through
    // a shared one, which writes every post at once, end in the same bytes.
    void blocksWriteTheSameBytes_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("edits"); // the first record and the last but one edited at the end
        QTest::newRow("no record") << 0 << false;
        QTest::newRow("one record") << 1 << false;
        QTest::newRow("several blocks and a remainder") << 3500 << false;
        QTest::newRow("edits of written and held records") << 2500 << true;
    }
    void blocksWriteTheSameBytes() {
        QFETCH(int, rows);
        QFETCH(bool, edits);
        QTemporaryDir dir;
        QByteArray bytes[2];
        const DbfTable::Mode modes[2] = {DbfTable::Mode::Shared, DbfTable::Mode::Exclusive};
        for (int m = 0; m < 2; ++m) {
            const QString folder = dir.filePath(QString::number(m));
            QVERIFY(QDir().mkpath(folder));
            DbfTable::create(folder, "T", WideFields);
            DbfTable t;
            t.open(folder, "T", modes[m]);
            for (int n = 1; n <= rows; ++n)
                appendWide(t, n);
            if (edits) {
                for (int row : {0, rows - 2}) {
                    t.moveTo(row);
                    t.edit();
                    t.setText("TEXTO", AnsiText::ascii("cambiado"));
                    t.setLogical("ACTIVO", true);
                    t.post();
                }
            }
            t.close();
            bytes[m] = readAll(QDir(folder).filePath("T.DBF"));
        }
        QCOMPARE(bytes[0].size(), WideHeader + rows * WideRecord + 1);
        QCOMPARE(bytes[1].size(), bytes[0].size());
        const auto differ = std::mismatch(bytes[0].begin(), bytes[0].end(), bytes[1].begin());
        QVERIFY2(differ.first == bytes[0].end(),
                 qPrintable(QString("the files differ from byte %1").arg(differ.first - bytes[0].begin())));
    }
};

QTEST_GUILESS_MAIN(TestDbfFormat)
#include "test_dbf_format.moc"
