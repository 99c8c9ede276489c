// Reading a Séneca document: records by group, values by position, the name test, and what a
// file that does not parse or a missing position gives.

#include "platform/RunError.h"
#include "seneca/SenecaDocument.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytes(const AnsiText &text) { return QByteArray::fromStdString(text.bytes()); }

// Writes a Séneca envelope around the given groups. The XML is UTF-8 here; it is written as
// ISO-8859-1 with its declaration unless `utf8` asks for a UTF-8 file without one.
QString writeDocument(const QTemporaryDir &dir, const QString &groups, bool utf8 = false,
                      const QString &name = QStringLiteral("seneca.xml")) {
    const QString body = QStringLiteral("<SERVICIO modulo=\"HORARIOS\" tipo=\"E\">\n<BLOQUE_DATOS>\n") + groups +
                         QStringLiteral("\n</BLOQUE_DATOS>\n</SERVICIO>\n");
    const QByteArray content =
        utf8 ? body.toUtf8()
             : QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n\n") + body.toLatin1();
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// One group holding one record with the given dato elements (raw XML).
QString oneRecord(const QString &datos) {
    return QStringLiteral("<grupo_datos seq=\"PRUEBA\" registros=\"1\"><grupo_datos seq=\"PRUEBA_1\">") + datos +
           QStringLiteral("</grupo_datos></grupo_datos>");
}

DatoList firstRecordDatos(const SenecaDocument &doc) {
    return Datos(doc.SelectRecords(GroupRecordsPath("PRUEBA").c_str()).item(0));
}

} // namespace

class TestSenecaDocument : public QObject {
    Q_OBJECT

private slots:
    void recordsPath();
    void values_data();
    void values();
    void nestedDatoTakesNoPosition();
    void groupsWithSameSeqBothSelected();
    void nameTest_data();
    void nameTest();
    void missingPositionsAndRecords();
    void fieldByName_data();
    void fieldByName();
    void subjectNameAndId_data();
    void subjectNameAndId();
    void unparseableFileThrows();
    void unreadableFileThrows();
    void loadReplacesPreviousDocument();
    void sampleSchoolFollowsTheFormat();
};

void TestSenecaDocument::recordsPath() {
    QCOMPARE(GroupRecordsPath("MATERIAS"), std::string("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"MATERIAS\"]/grupo_datos"));
}

void TestSenecaDocument::values_data() {
    QTest::addColumn<QString>("datoXml"); // the whole <dato> element, UTF-8
    QTest::addColumn<bool>("utf8File");
    QTest::addColumn<QByteArray>("value"); // Windows-1252 bytes

    const QString d = QStringLiteral("<dato nombre_dato=\"V\">%1</dato>");
    QTest::newRow("plain") << d.arg(QStringLiteral("Lengua")) << false << QByteArray("Lengua");
    QTest::newRow("empty element") << QStringLiteral("<dato nombre_dato=\"V\"/>") << false << QByteArray();
    QTest::newRow("blanks only") << d.arg(QStringLiteral("    ")) << false << QByteArray();
    QTest::newRow("leading and trailing blanks") << d.arg(QStringLiteral("  FP - Cocina  ")) << false
                                                 << QByteArray("FP - Cocina");
    QTest::newRow("tab and newline at the ends kept")
        << d.arg(QStringLiteral(" \tMatemáticas\n ")) << false << QByteArray("\tMatem\xE1ticas\n");
    QTest::newRow("tab only kept") << d.arg(QStringLiteral("\t")) << false << QByteArray("\t");
    QTest::newRow("Latin-1 letters") << d.arg(QStringLiteral("1º Educación Física Ñ ü")) << false
                                     << QByteArray("1\xBA Educaci\xF3n F\xEDsica \xD1 \xFC");
    QTest::newRow("same letters from a UTF-8 file") << d.arg(QStringLiteral("1º Educación Física Ñ ü")) << true
                                                    << QByteArray("1\xBA Educaci\xF3n F\xEDsica \xD1 \xFC");
    QTest::newRow("euro sign from a reference") << d.arg(QStringLiteral("&#8364;")) << false << QByteArray("\x80");
    QTest::newRow("outside Windows-1252") << d.arg(QStringLiteral("Łódź 中")) << true << QByteArray("?\xF3\x64\x3F ?");
    QTest::newRow("escaped markup characters") << d.arg(QStringLiteral("A &amp; B &lt;C&gt;")) << false
                                               << QByteArray("A & B <C>");
}

void TestSenecaDocument::values() {
    QFETCH(QString, datoXml);
    QFETCH(bool, utf8File);
    QFETCH(QByteArray, value);
    QTemporaryDir dir;
    SenecaDocument doc;
    doc.load(writeDocument(dir, oneRecord(datoXml), utf8File));
    const DatoList list = firstRecordDatos(doc);
    QCOMPARE(list.count(), 1);
    QCOMPARE(bytes(DatoValue(list, 0)), value);
}

void TestSenecaDocument::nestedDatoTakesNoPosition() {
    QTemporaryDir dir;
    SenecaDocument doc;
    doc.load(writeDocument(dir, oneRecord(QStringLiteral(
                                    "<dato nombre_dato=\"A\">a</dato>"
                                    "<grupo_datos seq=\"ACTIVIDAD_1\"><dato nombre_dato=\"N\">n1</dato>"
                                    "<dato nombre_dato=\"N\">n2</dato></grupo_datos>"
                                    "<otro>x</otro>"
                                    "<dato nombre_dato=\"B\">b</dato>"))));
    const DatoList list = firstRecordDatos(doc);
    QCOMPARE(list.count(), 2);
    QCOMPARE(bytes(DatoValue(list, 0)), QByteArray("a"));
    QCOMPARE(bytes(DatoValue(list, 1)), QByteArray("b"));
}

void TestSenecaDocument::groupsWithSameSeqBothSelected() {
    QTemporaryDir dir;
    SenecaDocument doc;
    const QString group = QStringLiteral("<grupo_datos seq=\"%1\"><grupo_datos seq=\"R\"><dato>%2</dato></grupo_datos>"
                                         "<grupo_datos seq=\"R\"><dato>%3</dato></grupo_datos></grupo_datos>\n");
    doc.load(writeDocument(dir, group.arg(QStringLiteral("MATERIAS"), QStringLiteral("1"), QStringLiteral("2")) +
                                    group.arg(QStringLiteral("UNIDADES"), QStringLiteral("x"), QStringLiteral("y")) +
                                    group.arg(QStringLiteral("MATERIAS"), QStringLiteral("3"), QStringLiteral("4")) +
                                    group.arg(QStringLiteral("MATERIAS_2"), QStringLiteral("z"), QStringLiteral("z"))));
    const XmlNodeList records = doc.SelectRecords(GroupRecordsPath("MATERIAS").c_str());
    QByteArrayList seen;
    for (int i = 0; i < records.length(); ++i)
        seen << bytes(DatoValue(Datos(records.item(i)), 0));
    QCOMPARE(seen, (QByteArrayList{"1", "2", "3", "4"}));
    QCOMPARE(doc.SelectRecords("/SERVICIO/BLOQUE_DATOS/grupo_datos").length(), 4);
}

void TestSenecaDocument::nameTest_data() {
    QTest::addColumn<QString>("datoXml");
    QTest::addColumn<bool>("utf8File");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("holds");

    const QString omg = QStringLiteral("<dato nombre_dato=\"X_MATERIAOMG\">123456</dato>");
    QTest::newRow("same name") << omg << false << QStringLiteral("X_MATERIAOMG") << true;
    QTest::newRow("other name") << omg << false << QStringLiteral("D_MATERIAC") << false;
    QTest::newRow("name is a prefix of the value") << omg << false << QStringLiteral("X_MATERIA") << true;
    QTest::newRow("letter case counts") << omg << false << QStringLiteral("x_materiaomg") << false;
    QTest::newRow("empty value element") << QStringLiteral("<dato nombre_dato=\"X_MATERIAOMG\"/>") << false
                                         << QStringLiteral("X_MATERIAOMG") << true;
    QTest::newRow("single quotes and spacing in the source")
        << QStringLiteral("<dato   nombre_dato = 'X_MATERIAOMG'>1</dato>") << false << QStringLiteral("X_MATERIAOMG")
        << true;
    // The name starts at a fixed position: any attribute before nombre_dato shifts it.
    QTest::newRow("shorter attribute first, own name")
        << QStringLiteral("<dato n=\"1\" nombre_dato=\"X_MATERIAOMG\">1</dato>") << false
        << QStringLiteral("X_MATERIAOMG") << false;
    QTest::newRow("shorter attribute first, other name")
        << QStringLiteral("<dato n=\"1\" nombre_dato=\"X_MATERIAOMG\">1</dato>") << false
        << QStringLiteral("D_MATERIAC") << false;
    QTest::newRow("differently named attribute of the same length")
        << QStringLiteral("<dato nombre_otro=\"X_MATERIAOMG\">1</dato>") << false << QStringLiteral("X_MATERIAOMG")
        << true;
    // Accented values read the same whatever the file's encoding or declaration.
    QTest::newRow("accented name, Latin-1 file") << QStringLiteral("<dato nombre_dato=\"AÑO_ESCOLAR\">1</dato>")
                                                 << false << QStringLiteral("AÑO_ESCOLAR") << true;
    QTest::newRow("accented name, UTF-8 file without declaration")
        << QStringLiteral("<dato nombre_dato=\"AÑO_ESCOLAR\">1</dato>") << true << QStringLiteral("AÑO_ESCOLAR") << true;
    QTest::newRow("accented value before the tested part")
        << QStringLiteral("<dato nombre_dato=\"ÑX\">1</dato>") << true << QStringLiteral("ÑX") << true;
}

void TestSenecaDocument::nameTest() {
    QFETCH(QString, datoXml);
    QFETCH(bool, utf8File);
    QFETCH(QString, name);
    QFETCH(bool, holds);
    QTemporaryDir dir;
    SenecaDocument doc;
    doc.load(writeDocument(dir, oneRecord(datoXml), utf8File));
    QCOMPARE(DatoNameIs(firstRecordDatos(doc), 0, AnsiText::fromQString(name)), holds);
}

void TestSenecaDocument::missingPositionsAndRecords() {
    QTemporaryDir dir;
    SenecaDocument doc;
    doc.load(writeDocument(dir, oneRecord(QStringLiteral("<dato nombre_dato=\"X_UNIDAD\">7</dato>"))));
    const DatoList list = firstRecordDatos(doc);
    for (int position : {1, 5, -1}) {
        QCOMPARE(bytes(DatoValue(list, position)), QByteArray());
        QVERIFY(!DatoNameIs(list, position, AnsiText::ascii("X_UNIDAD")));
        QVERIFY(!DatoNameIs(list, position, AnsiText()));
    }
    const XmlNodeList records = doc.SelectRecords(GroupRecordsPath("PRUEBA").c_str());
    const DatoList beyond = Datos(records.item(records.length()));
    QCOMPARE(beyond.count(), 0);
    QCOMPARE(bytes(DatoValue(beyond, 0)), QByteArray());
    QCOMPARE(doc.SelectRecords(GroupRecordsPath("NO_EXISTE").c_str()).length(), 0);
}

void TestSenecaDocument::unparseableFileThrows() {
    QTemporaryDir dir;
    const QString path = writeDocument(
        dir, QStringLiteral("<grupo_datos seq=\"MATERIAS\">\n<grupo_datos seq=\"MATERIA_1\">\n<dato>1</grupo_datos>\n"),
        false, QStringLiteral("Exportación rota.xml"));
    SenecaDocument doc;
    try {
        doc.load(path);
        QFAIL("a file that does not parse was loaded");
    } catch (const RunError &error) {
        const QString expectedStart = QStringLiteral("El archivo «%1» no es un documento XML válido (línea 8: ")
                                          .arg(QDir::toNativeSeparators(path));
        QVERIFY2(error.message().startsWith(expectedStart), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("no corresponde a la abierta «<dato>»")), qPrintable(error.message()));
        QVERIFY(error.message().endsWith(QStringLiteral(").")));
    }
    QCOMPARE(doc.SelectRecords("/SERVICIO/BLOQUE_DATOS/grupo_datos").length(), 0);
}

void TestSenecaDocument::unreadableFileThrows() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-existe.xml"));
    SenecaDocument doc;
    QVERIFY_THROWS_EXCEPTION(RunError, doc.load(path));
    try {
        doc.load(path);
    } catch (const RunError &error) {
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)), qPrintable(error.message()));
    }
}

void TestSenecaDocument::loadReplacesPreviousDocument() {
    QTemporaryDir dir;
    const QString group = QStringLiteral("<grupo_datos seq=\"PRUEBA\"><grupo_datos><dato>%1</dato><dato>x</dato>"
                                         "</grupo_datos></grupo_datos>");
    const QString first = writeDocument(dir, group.arg(QStringLiteral("primero")), false, QStringLiteral("a.xml"));
    const QString second = writeDocument(dir, group.arg(QStringLiteral("segundo")), false, QStringLiteral("b.xml"));
    SenecaDocument doc;
    doc.load(first);
    doc.load(second);
    QCOMPARE(doc.path(), second);
    const XmlNodeList records = doc.SelectRecords(GroupRecordsPath("PRUEBA").c_str());
    QCOMPARE(records.length(), 1);
    QCOMPARE(bytes(DatoValue(Datos(records.item(0)), 0)), QByteArray("segundo"));
}

// The sample school under examples/ is what users and end-to-end tests start from: every group
// in the order real exports use, `registros` equal to the records, the field names in order
// in every record, and codes that fit the host's 10-character fields.
void TestSenecaDocument::sampleSchoolFollowsTheFormat() {
    const QString path =
        QDir(QStringLiteral(TVS_SOURCE_DIR)).filePath(QStringLiteral("examples/seneca/ExportacionHorarios_IES_Ejemplo.xml"));
    QVERIFY2(QFile::exists(path), qPrintable(path));
    SenecaDocument doc;
    doc.load(path);
    QCOMPARE(doc.xml().declaredEncoding(), std::string("ISO-8859-1"));

    const QList<QPair<QByteArray, QByteArrayList>> expected = {
        {"ANNO_ACADEMICO", {"C_ANNO", "F_INIHORREG", "F_FINHORREG"}},
        {"CURSOS_DEL_CENTRO", {"X_OFERTAMATRIG", "D_OFERTAMATRIG"}},
        {"MATERIAS", {"X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"}},
        {"ACTIVIDADES", {"L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"}},
        {"DEPENDENCIAS", {"X_DEPENDENCIA", "D_DEPENDENCIA"}},
        {"JORNADAS_ESCOLARES", {"X_PLAJORESCCEN", "C_NOMBRE", "F_INIHORREG", "F_FINHORREG"}},
        {"TRAMOS_HORARIOS", {"X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN", "X_PLAJORESCCEN"}},
        {"UNIDADES", {"X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"}},
        {"EMPLEADOS", {"X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"}},
    };
    const XmlNodeList groups = doc.SelectRecords("/SERVICIO/BLOQUE_DATOS/grupo_datos");
    QCOMPARE(groups.length(), int(expected.size()));
    for (int g = 0; g < groups.length(); ++g) {
        const XmlNode group = groups.item(g);
        const QByteArray seq = QByteArray::fromStdString(group.attribute("seq"));
        QCOMPARE(seq, expected[g].first);
        const QByteArrayList &names = expected[g].second;
        // The school-year group holds its values directly; the others hold records.
        const XmlNodeList records = g == 0 ? XmlNodeList({group}) : group.select("grupo_datos");
        if (g > 0)
            QCOMPARE(QByteArray::fromStdString(group.attribute("registros")), QByteArray::number(records.length()));
        QVERIFY2(records.length() > 0, seq.constData());
        for (int r = 0; r < records.length(); ++r) {
            const DatoList datos = Datos(records.item(r));
            QCOMPARE(datos.count(), int(names.size()));
            for (int p = 0; p < datos.count(); ++p) {
                QVERIFY2(DatoNameIs(datos, p, AnsiText::ascii(names[p].toStdString())),
                         qPrintable(QStringLiteral("%1 record %2 position %3").arg(QString::fromLatin1(seq)).arg(r).arg(p)));
                if (names[p].startsWith("X_"))
                    QVERIFY(DatoValue(datos, p).size() <= 10);
            }
        }
    }
}

void TestSenecaDocument::fieldByName_data() {
    QTest::addColumn<QString>("datos");
    QTest::addColumn<QStringList>("fields"); // read at positions 0, 1, 2 ...
    QTest::addColumn<QStringList>("values");

    const auto d = [](const char *name, const char *value) {
        return QStringLiteral("<dato nombre_dato=\"%1\">%2</dato>").arg(QLatin1String(name), QLatin1String(value));
    };
    const QStringList staff = {"X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1"};
    QTest::newRow("every field where it belongs")
        << d("X_EMPLEADO", "1001") + d("F_TOMAPOS", "01/09/2020") + d("D_PUESTO", "Lengua") + d("APELLIDO1", "Gil")
        << staff << QStringList{"1001", "01/09/2020", "Lengua", "Gil"};
    // The fault a user met: without X_EMPLEADO every later value slid one place.
    QTest::newRow("first field missing") << d("F_TOMAPOS", "01/09/2020") + d("D_PUESTO", "Lengua") + d("APELLIDO1", "Gil")
                                         << staff << QStringList{"", "01/09/2020", "Lengua", "Gil"};
    QTest::newRow("middle field missing") << d("X_EMPLEADO", "1001") + d("F_TOMAPOS", "01/09/2020") + d("APELLIDO1", "Gil")
                                          << staff << QStringList{"1001", "01/09/2020", "", "Gil"};
    QTest::newRow("fields in another order")
        << d("F_TOMAPOS", "01/09/2020") + d("X_EMPLEADO", "1001") + d("APELLIDO1", "Gil") + d("D_PUESTO", "Lengua")
        << staff << QStringList{"1001", "01/09/2020", "Lengua", "Gil"};
    QTest::newRow("no names: by position") << "<dato>1001</dato><dato>01/09/2020</dato><dato>Lengua</dato>" << staff
                                           << QStringList{"1001", "01/09/2020", "Lengua", ""};
    QTest::newRow("names Séneca does not use: by position")
        << d("CAMPO_0", "1001") + d("CAMPO_1", "01/09/2020") << staff << QStringList{"1001", "01/09/2020", "", ""};
    QTest::newRow("an unnamed dato where a named one is the field")
        << "<dato>x</dato>" + d("X_EMPLEADO", "1001") << QStringList{"X_EMPLEADO", "F_TOMAPOS"}
        << QStringList{"1001", ""};
    QTest::newRow("the first of two with the name") << d("X_EMPLEADO", "1") + d("X_EMPLEADO", "2")
                                                    << QStringList{"X_EMPLEADO"} << QStringList{"1"};
}

void TestSenecaDocument::fieldByName() {
    QFETCH(QString, datos);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, values);
    QTemporaryDir dir;
    SenecaDocument doc;
    doc.load(writeDocument(dir, oneRecord(datos)));
    const DatoList list = firstRecordDatos(doc);
    QStringList read;
    for (int i = 0; i < fields.size(); ++i)
        read << DatoField(list, i, fields[i].toLatin1().constData()).toQString();
    QCOMPARE(read, values);
}

void TestSenecaDocument::subjectNameAndId_data() {
    QTest::addColumn<QString>("datos");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::newRow("name then identifier")
        << "<dato nombre_dato=\"X_OFERTAMATRIG\">1</dato><dato nombre_dato=\"D_MATERIAC\">Lengua</dato>"
           "<dato nombre_dato=\"X_MATERIAOMG\">700</dato>"
        << "Lengua" << "700";
    QTest::newRow("identifier then name")
        << "<dato nombre_dato=\"X_OFERTAMATRIG\">1</dato><dato nombre_dato=\"X_MATERIAOMG\">700</dato>"
           "<dato nombre_dato=\"D_MATERIAC\">Lengua</dato>"
        << "Lengua" << "700";
    // Without its name the hours were taken for the name.
    QTest::newRow("name missing") << "<dato nombre_dato=\"X_OFERTAMATRIG\">1</dato><dato nombre_dato=\"X_MATERIAOMG\">700</dato>"
                                     "<dato nombre_dato=\"N_HORAS\">4</dato>"
                                  << "" << "700";
    QTest::newRow("no names") << "<dato>1</dato><dato>700</dato><dato>Lengua</dato>" << "Lengua" << "700";
}

void TestSenecaDocument::subjectNameAndId() {
    QFETCH(QString, datos);
    QTemporaryDir dir;
    SenecaDocument doc;
    doc.load(writeDocument(dir, oneRecord(datos)));
    const SubjectNameAndId r = ReadSubjectNameAndId(firstRecordDatos(doc));
    QTEST(r.name.toQString(), "name");
    QTEST(r.id.toQString(), "id");
}

QTEST_GUILESS_MAIN(TestSenecaDocument)
#include "test_seneca_document.moc"
