// Reading a Séneca document record by record, freeing each one as it is read, gives the same
// values as reading its whole tree: on the sample school and on documents shaped to trip the
// freeing (text between records, groups spread over the file's pieces, the year group not
// first, several groups of one seq, records of other shapes, entities of the document's DTD).

#include "platform/XmlDocument.h"
#include "report/SenecaExport.h"
#include "seneca/SenecaDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sample = QStringLiteral(TVS_SOURCE_DIR "/examples/seneca/ExportacionHorarios_IES_Ejemplo.xml");

QStringList dumpGroup(const char *name, const SenecaGroup &g) {
    QStringList out{QStringLiteral("%1 present=%2").arg(QLatin1String(name)).arg(g.present)};
    for (const SenecaRecord &r : g.records) {
        QStringList values;
        for (const AnsiText &v : r.values)
            values << v.toQString();
        out << QStringLiteral("  %1 (%2 dato) %3").arg(r.seq).arg(r.datos).arg(values.join(QLatin1Char('|')));
    }
    return out;
}

QStringList dump(const SenecaExport &e) {
    QStringList out{QStringLiteral("year %1 %2|%3|%4").arg(e.yearPresent).arg(e.year.toQString(), e.start.toQString(), e.end.toQString())};
    out << dumpGroup("courses", e.courses) << dumpGroup("subjects", e.subjects) << dumpGroup("activities", e.activities)
        << dumpGroup("rooms", e.rooms) << dumpGroup("days", e.days) << dumpGroup("slots", e.timeSlots)
        << dumpGroup("units", e.units) << dumpGroup("staff", e.staff);
    return out;
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray record(int i) {
    return QStringLiteral("<grupo_datos seq=\"R%1\"><dato nombre_dato=\"X_DEPENDENCIA\">%1</dato>"
                          "<dato nombre_dato=\"D_DEPENDENCIA\">Aula número %1 &amp; más</dato></grupo_datos>")
        .arg(i)
        .toUtf8();
}

// Many records, so that the file is read in several pieces and records, and the text between
// some of them, fall across the pieces' edges.
QByteArray awkwardDocument() {
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<!DOCTYPE SERVICIO [<!ENTITY centro \"IES Ejemplo\">]>\n"
                     "<!-- antes -->\n<SERVICIO><BLOQUE_DATOS>\n"
                     "<grupo_datos seq=\"DEPENDENCIAS\">texto suelto";
    for (int i = 0; i < 3000; ++i) {
        doc += record(i);
        if (i % 7 == 0)
            doc += "entre registros " + QByteArray::number(i);
    }
    doc += "</grupo_datos>\n"
           "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2026</dato>"
           "<dato nombre_dato=\"F_INIHORREG\">15/09/2026</dato><dato nombre_dato=\"F_FINHORREG\">22/06/2027</dato></grupo_datos>"
           "<otro><grupo_datos seq=\"X\"><dato>no es un registro de grupo</dato></grupo_datos></otro>"
           "<grupo_datos seq=\"EMPLEADOS\"><grupo_datos><dato>111</dato><dato>&centro;</dato></grupo_datos>"
           "<grupo_datos><dato>solo uno</dato></grupo_datos><nada/></grupo_datos>"
           "<grupo_datos seq=\"DEPENDENCIAS\">";
    for (int i = 3000; i < 6000; ++i)
        doc += record(i);
    doc += "</grupo_datos><grupo_datos seq=\"UNIDADES\"/></BLOQUE_DATOS>"
           "<BLOQUE_DATOS><grupo_datos seq=\"TRAMOS_HORARIOS\"><grupo_datos><dato>1</dato><dato>1ª</dato>"
           "<dato>480</dato><dato>540</dato></grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n<!-- después -->\n";
    return doc;
}

} // namespace

class TestRecordByRecord : public QObject {
    Q_OBJECT

private slots:
    void sameValuesAsTheWholeTree_data() {
        QTest::addColumn<QString>("path");
        static QTemporaryDir dir; // lives until the test program ends
        QTest::newRow("sample school") << Sample;
        QTest::newRow("awkward document") << write(dir, "raro.xml", awkwardDocument());
    }
    void sameValuesAsTheWholeTree() {
        QFETCH(QString, path);
        SenecaDocument whole;
        whole.load(path);
        const QStringList expected = dump(SenecaExport::read(whole));
        QVERIFY(expected.size() > 20);
        QCOMPARE(dump(SenecaExport::readFile(path)), expected);
    }

    // Every third-level element reaches the sink once, in document order; those let go are
    // gone from the document, the others and everything above stay.
    void sinkSeesEveryRecordInOrder() {
        QTemporaryDir dir;
        const QString path = write(dir, "raro.xml", awkwardDocument());
        XmlDocument whole;
        QVERIFY(whole.load(path));
        const XmlNodeList all = whole.select("/*/*/*/*");
        QStringList expected;
        for (int i = 0; i < all.length(); ++i)
            expected << QString::fromStdString(all.item(i).name() + " " + all.item(i).attribute("seq") + " " +
                                               all.item(i).text());

        QStringList seen;
        XmlDocument pruned;
        QVERIFY(pruned.load(path, [&](XmlNode element) {
            seen << QString::fromStdString(element.name() + " " + element.attribute("seq") + " " + element.text());
            return element.parent().attribute("seq") != "ANNO_ACADEMICO";
        }));
        QCOMPARE(seen, expected);
        QCOMPARE(pruned.select("/*/*/*/*").length(), 3); // the year group's values
        QCOMPARE(pruned.select("/SERVICIO/BLOQUE_DATOS/grupo_datos").length(),
                 whole.select("/SERVICIO/BLOQUE_DATOS/grupo_datos").length());
        QCOMPARE(pruned.topLevelNodes().size(), whole.topLevelNodes().size());
    }

    // A document that is not well formed is refused as by a whole load, records already
    // handed over notwithstanding.
    void brokenDocumentRefused() {
        QTemporaryDir dir;
        QByteArray bytes = awkwardDocument();
        bytes.truncate(bytes.size() * 2 / 3);
        const QString path = write(dir, "cortado.xml", bytes);
        XmlDocument whole, pruned;
        QVERIFY(!whole.load(path));
        int handed = 0;
        QVERIFY(!pruned.load(path, [&](XmlNode) { return ++handed, true; }));
        QVERIFY(handed > 0);
        QCOMPARE(pruned.parseError().line, whole.parseError().line);
        QCOMPARE(pruned.parseError().reason, whole.parseError().reason);
    }
};

QTEST_GUILESS_MAIN(TestRecordByRecord)
#include "test_record_by_record.moc"
