// The result file is written record by record as the records are finished; its bytes must be
// those of the whole document saved at once, in every encoding a declaration can name.

#include "export/TimetableOutput.h"
#include "platform/Cp1252.h"
#include "platform/XmlDocument.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string upToNul(const std::string &value) { return value.substr(0, value.find('\0')); }

// Every printable Windows-1252 character, as the tables' text reaches the output.
std::string windows1252() {
    std::string bytes;
    for (int c = 0x20; c <= 0xFF; ++c)
        bytes += static_cast<char>(c);
    return Cp1252::toUtf8(bytes);
}

// Texts that need escaping, characters outside Latin-1 and outside Windows-1252 (also a run
// long enough to cross the output buffer's pieces), line ends, and values that hold a NUL,
// which the serializer ends at.
const std::vector<std::string> Values = {
    "a&b<c>d\"e'f",
    "\xC3\xB1\xC3\xA9\xE2\x82\xAC",
    "\xE6\x97\xA5\xE6\x9C\xAC",
    "l1\r\nl2\tt",
    "]]>",
    "",
    windows1252(),
    "x" + [] {
        std::string s;
        for (int i = 0; i < 3000; ++i)
            s += "\xE2\x82\xAC";
        return s;
    }(),
    std::string("ab\0cd", 5),
    std::string("\0x", 2),
};

bool isAscii(const std::string &value) {
    return std::all_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A teacher record with every value as a dato (named by the value itself, so that attribute
// escaping is also compared), two inner groups, one of them empty. Records of ASCII alone
// (every third) take a shorter way to the file than the others, so both alternate.
RecordGroup teacherRecord(int number) {
    RecordGroup teacher;
    teacher.seq = "HORARIO_REGULAR_PROFESOR_" + std::to_string(number);
    teacher.registros = 2;
    for (const std::string &value : Values)
        if (number % 3 != 0 || isAscii(value))
            teacher.datos.push_back({value, value});
    RecordGroup &inner = teacher.groups.emplace_back();
    inner.seq = "ACTIVIDAD_1";
    inner.datos.push_back({"N_DIASEMANA", "1"});
    teacher.groups.emplace_back().seq = "ACTIVIDAD_<2>";
    return teacher;
}

// Rebuilds the frame the way the export does and writes a few records through the output.
TimetableOutput::Writing write(const QByteArray &input, const QString &path, TimetableOutput::Writing writing) {
    XmlDocument doc;
    if (!doc.loadFromMemory(input.toStdString()))
        qFatal("fixture does not parse");
    XmlNode(reinterpret_cast<_xmlNode *>(doc.raw())).removeChild(doc.documentElement());
    XmlNode servicio = doc.createElement("SERVICIO");
    servicio.setAttribute("fecha", std::string("01/02/2026 10:11:12"));
    doc.appendTopLevel(servicio);
    XmlNode block = doc.createElement("BLOQUE_DATOS");
    servicio.appendChild(block);
    XmlNode group = doc.createElement("grupo_datos");
    block.appendChild(group);
    group.setAttribute("seq", std::string("HORARIOS_REGULARES"));

    TimetableOutput output(doc, group, path, writing);
    for (int t = 0; t < 30; ++t)
        output.add(teacherRecord(t + 1));
    const TimetableOutput::Writing used = output.writing();
    output.finish();
    return used;
}

} // namespace

class ExportOutputTest : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsWholeDocument_data();
    void sameBytesAsWholeDocument();
};

void ExportOutputTest::sameBytesAsWholeDocument_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("streamed");
    const QByteArray body = "<!-- c -->\n<SERVICIO><BLOQUE_DATOS><g>2025</g></BLOQUE_DATOS></SERVICIO>\n<?pi x?>\n";
    QTest::newRow("ISO-8859-1") << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + body << true;
    QTest::newRow("UTF-8") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body << true;
    QTest::newRow("windows-1252") << "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + body << true;
    QTest::newRow("no encoding named") << "<?xml version=\"1.0\"?>\n" + body << true;
    QTest::newRow("no declaration") << body << true;
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray wide =
        utf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n") + QString::fromLatin1(body));
    QTest::newRow("UTF-16: whole document") << wide << false;
}

void ExportOutputTest::sameBytesAsWholeDocument() {
    QFETCH(QByteArray, input);
    QFETCH(bool, streamed);
    QTemporaryDir dir;
    const QString streamedPath = QDir(dir.path()).filePath(QStringLiteral("streamed.xml"));
    const QString wholePath = QDir(dir.path()).filePath(QStringLiteral("whole.xml"));

    QCOMPARE(write(input, streamedPath, TimetableOutput::Writing::Streamed),
             streamed ? TimetableOutput::Writing::Streamed : TimetableOutput::Writing::WholeDocument);
    QCOMPARE(write(input, wholePath, TimetableOutput::Writing::WholeDocument),
             TimetableOutput::Writing::WholeDocument);
    const QByteArray bytes = readAll(streamedPath);
    QCOMPARE(bytes, readAll(wholePath));

    XmlDocument doc;
    QVERIFY(doc.load(streamedPath));
    const XmlNodeList datos = doc.select("/SERVICIO/BLOQUE_DATOS/grupo_datos/grupo_datos/dato");
    const int asciiValues = int(std::count_if(Values.begin(), Values.end(), isAscii));
    QCOMPARE(datos.length(), 20 * int(Values.size()) + 10 * asciiValues);
    for (int i = 0; i < int(Values.size()); ++i) {
        QCOMPARE(datos.item(i).text(), upToNul(Values[size_t(i)]));
        QCOMPARE(datos.item(i).attribute("nombre_dato"), upToNul(Values[size_t(i)]));
    }
    QCOMPARE(doc.select("//grupo_datos[@seq='ACTIVIDAD_<2>']").length(), 30);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"streamed.xml", "whole.xml"}));
}

QTEST_GUILESS_MAIN(ExportOutputTest)
#include "test_export_output.moc"
