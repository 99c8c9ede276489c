// Tables checked against other programs that read and write dBase files: Debian's
// python3-dbfread and Free Pascal's TDbf read what the engine writes (names, types, widths,
// values, accented text), including a level 7 table with an 11-character field name; the
// engine reads a level 7 table that TDbf wrote (binary integers and doubles, timestamps, a
// deleted record) and appends to it in a form TDbf reads back.

#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "support/Peers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

AnsiText u(const char *utf8) { return AnsiText::fromUtf8(utf8); }

const char *const DbfreadDump = "import json, sys\n"
                                "from dbfread import DBF\n"
                                "t = DBF(sys.argv[1], encoding='cp1252')\n"
                                "print(json.dumps({'fields': [[f.name, f.type, f.length, f.decimal_count]\n"
                                "                             for f in t.fields],\n"
                                "                  'records': [list(r.values()) for r in t],\n"
                                "                  'deleted': len(t.deleted)}))\n";

struct Row {
    const char *code, *name;
    int active; // 1 true, 0 false, -1 never set
    std::optional<int> num;
    std::optional<double> amount;
};

const std::vector<DbfFieldDef> Fields = {
    {"CODIGO", DbfFieldType::Character, 10}, {"NOMBRE", DbfFieldType::Character, 30},
    {"ACTIVO", DbfFieldType::Logical},       {"NUM", DbfFieldType::Integer},
    {"IMPORTE", DbfFieldType::Float},
};

const std::vector<Row> Rows = {
    {"Ñandú", "á é ñ Ñ ü º €", 1, -42, 3.25},
    {"Último", "Texto más largo que los treinta caracteres", 0, 2147483647, -1234.5},
    {"", "", -1, {}, {}},
};

void writeRows(const QString &folder, const QString &name, std::vector<DbfFieldDef> fields) {
    DbfTable::create(folder, name, fields);
    const QString codeField = fields.front().name;
    DbfTable t;
    t.open(folder, name);
    for (const Row &r : Rows) {
        t.append();
        t.setText(codeField, u(r.code));
        t.setText("NOMBRE", u(r.name));
        if (r.active >= 0)
            t.setLogical("ACTIVO", r.active == 1);
        if (r.num)
            t.setInteger("NUM", *r.num);
        if (r.amount)
            t.setFloat("IMPORTE", *r.amount);
    }
    t.post();
}

// What a TDbf dump shows: "NAME T width decimals" per field, one list of values per record
// (NULL for an empty field), and the count of visible records.
struct PascalView {
    QStringList fields;
    QList<QStringList> records;
    int count = -1;
};

PascalView parseDump(const QByteArray &out) {
    PascalView v;
    for (const QByteArray &line : out.split('\n')) {
        if (line.startsWith("FIELD "))
            v.fields << QString::fromLatin1(line.mid(6));
        else if (line == "RECORD")
            v.records.append(QStringList());
        else if (line == "NULL" && !v.records.isEmpty())
            v.records.last() << "NULL";
        else if (line.startsWith("VALUE ") && !v.records.isEmpty())
            v.records.last() << AnsiText::fromBytes(QByteArray::fromHex(line.mid(6)).toStdString()).toQString();
        else if (line.startsWith("COUNT "))
            v.count = line.mid(6).toInt();
    }
    return v;
}

} // namespace

class TestDbfPeers : public QObject {
    Q_OBJECT

    QTemporaryDir m_bin;

    QString peer(const QString &name) { return Peers::pascalProgram(name, m_bin.path()); }
    static QByteArray run(const QString &program, const QStringList &args) { return Peers::run(program, args); }

    PascalView tdbfDump(const QString &folder, const QString &file) {
        const QString dump = peer("tdbf_dump");
        if (dump.isEmpty())
            return {};
        return parseDump(run(dump, {folder + "/", file}));
    }

private slots:
    void dbfreadReadsOurTable() {
        if (!QFile::exists("/usr/bin/python3"))
            QSKIP("python3 is not installed");
        QTemporaryDir dir;
        writeRows(dir.path(), "TODOS", Fields);
        const QByteArray out = run("/usr/bin/python3", {"-c", DbfreadDump, dir.filePath("TODOS.DBF")});
        const QJsonObject got = QJsonDocument::fromJson(out).object();
        QVERIFY2(!got.isEmpty(), out.constData());

        const QJsonArray fields{QJsonArray{"CODIGO", "C", 10, 0}, QJsonArray{"NOMBRE", "C", 30, 0},
                                QJsonArray{"ACTIVO", "L", 1, 0}, QJsonArray{"NUM", "N", 11, 0},
                                QJsonArray{"IMPORTE", "N", 20, 4}};
        QCOMPARE(got["fields"].toArray(), fields);
        const QJsonArray records{
            QJsonArray{"Ñandú", "á é ñ Ñ ü º €", true, -42, 3.25},
            QJsonArray{"Último", "Texto más largo que los treint", false, 2147483647, -1234.5},
            QJsonArray{"", "", QJsonValue::Null, QJsonValue::Null, QJsonValue::Null},
        };
        QCOMPARE(got["records"].toArray(), records);
        QCOMPARE(got["deleted"].toInt(), 0);
    }

    void tdbfReadsOurTables_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("codeField");
        QTest::newRow("dBase III+") << "TODOS" << "CODIGO";
        QTest::newRow("level 7, 11-character name") << "ASIGNOMT2" << "OFERTAMATRI";
    }
    void tdbfReadsOurTables() {
        QFETCH(QString, table);
        QFETCH(QString, codeField);
        if (QStandardPaths::findExecutable("fpc").isEmpty())
            QSKIP("Free Pascal (fpc) is not installed");
        QTemporaryDir dir;
        std::vector<DbfFieldDef> fields = Fields;
        fields.front().name = codeField;
        writeRows(dir.path(), table, fields);

        const PascalView v = tdbfDump(dir.path(), table + ".DBF");
        QCOMPARE(v.fields, QStringList({codeField + " C 10 0", "NOMBRE C 30 0", "ACTIVO L 1 0", "NUM N 11 0",
                                        "IMPORTE N 20 4"}));
        QCOMPARE(v.count, 3);
        QCOMPARE(v.records.value(0), QStringList({"Ñandú", "á é ñ Ñ ü º €", "T", "-42", "3.25"}));
        QCOMPARE(v.records.value(1),
                 QStringList({"Último", "Texto más largo que los treint", "F", "2147483647", "-1234.5"}));
        QCOMPARE(v.records.value(2), QStringList({"NULL", "NULL", "NULL", "NULL", "NULL"}));
    }

    void weReadTdbfLevel7() {
        if (QStandardPaths::findExecutable("fpc").isEmpty())
            QSKIP("Free Pascal (fpc) is not installed");
        const QString writer = peer("tdbf_write7");
        QVERIFY(!writer.isEmpty());
        QTemporaryDir dir;
        run(writer, {dir.path() + "/", "HOST7.DBF"});

        DbfTable t;
        t.open(dir.path(), "host7");
        QStringList layout;
        for (const DbfFieldInfo &f : t.fields())
            layout << QString("%1 %2 %3 %4").arg(f.name, QChar(f.type)).arg(f.width).arg(f.decimals);
        QCOMPARE(layout, QStringList({"NOMBRE C 20 0", "CANTIDAD I 4 0", "IMPORTE O 8 0", "PRECIO N 12 3",
                                      "ACTIVO L 1 0", "CONTADOR + 4 0", "MOMENTO @ 8 0", "FECHA D 8 0"}));
        QCOMPARE(t.recordCount(), 3); // the second of four is deleted

        const auto row = [&t] {
            QStringList cells;
            for (const DbfFieldInfo &f : t.fields())
                cells << t.text(f.name).toQString();
            return cells;
        };
        QCOMPARE(row(), QStringList({"Ñandú pingüino", "-123456", "3.25", "12.500", "T", "0", "2024-03-15 10:30:45",
                                     "20240315"}));
        QCOMPARE(t.integer("CANTIDAD"), -123456);
        QCOMPARE(t.number("IMPORTE"), 3.25);
        QCOMPARE(t.number("PRECIO"), 12.5);
        t.next();
        QCOMPARE(row(), QStringList({"Último €", "2147483647", "-0.5", "-1.250", "F", "2", "", ""}));
        QCOMPARE(t.integer("CANTIDAD"), 2147483647);
        QCOMPARE(t.number("IMPORTE"), -0.5);
        t.next();
        QCOMPARE(row(), QStringList({"Vacío", "", "", "", "", "3", "", ""}));
        QVERIFY(t.isBlank("CANTIDAD") && t.isBlank("IMPORTE"));
        t.next();
        QVERIFY(t.eof());

        // Written back into the host's level 7 layout, TDbf reads the same values.
        t.append();
        t.setText("NOMBRE", u("Añadido"));
        t.setInteger("CANTIDAD", -7);
        t.setFloat("IMPORTE", -1e-3);
        t.setFloat("PRECIO", 0.5);
        t.setLogical("ACTIVO", true);
        t.post();
        t.close();
        const PascalView v = tdbfDump(dir.path(), "HOST7.DBF");
        QCOMPARE(v.count, 4);
        QCOMPARE(v.records.value(3), QStringList({"Añadido", "-7", "-0.001", "0.5", "T", "NULL", "NULL", "NULL"}));
    }
};

QTEST_GUILESS_MAIN(TestDbfPeers)
#include "test_dbf_peers.moc"
