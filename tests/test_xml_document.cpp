// The libxml2 adapter: what loading keeps and drops, the markup the name test reads, the
// encoding a save writes, parsing that never reaches outside the document, and errors.

#include "platform/RunError.h"
#include "platform/XmlDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

QByteArray bytesOf(const std::string &s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

XmlDocument parsed(const QByteArray &bytes) {
    XmlDocument doc;
    if (!doc.loadFromMemory(bytes.toStdString()))
        qFatal("fixture does not parse: %s", qPrintable(doc.parseError().reason));
    return doc;
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

const QByteArray Latin1Declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

} // namespace

class TestXmlDocument : public QObject {
    Q_OBJECT

private slots:
    void attributeIsAsAttribute_data();
    void attributeIsAsAttribute();
    void textAfterLoad_data();
    void textAfterLoad();
    void blankTextBetweenElementsIsDropped();
    void markup_data();
    void markup();
    void relativeAndExactSelection();
    void childElementsAsSelected_data();
    void childElementsAsSelected();
    void markupPrefix();
    void missingItemsAreNullNodes();
    void saveUsesDeclaredEncoding_data();
    void saveUsesDeclaredEncoding();
    void loadFromFileWithNonAsciiPath();
    void externalResourcesAreNeverRead_data();
    void externalResourcesAreNeverRead();
    void nestedEntitiesStayBounded();
    void firstErrorIsReported_data();
    void firstErrorIsReported();
    void failedLoadLeavesEmptyDocument();
    void missingFileIsUnreadable();
    void buildTree();
    void saveIntoMissingFolderThrows();
    void saveReplacesExistingFile();
    void utf8DeclaredLatin1_data();
    void utf8DeclaredLatin1();
    void externalEntityRefused();
};

void TestXmlDocument::textAfterLoad_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("text");

    // Blank text is dropped between elements only: inside an otherwise empty element it stays.
    QTest::newRow("blanks inside empty element kept") << QByteArray("<r>\n  <d>   </d>\n</r>") << QByteArray("/r/d")
                                                     << QByteArray("   ");
    QTest::newRow("tab and newline inside empty element kept")
        << QByteArray("<r><d>\t\n</d></r>") << QByteArray("/r/d") << QByteArray("\t\n");
    QTest::newRow("surrounding blanks of a value kept")
        << QByteArray("<r><d>  Lengua \t</d></r>") << QByteArray("/r/d") << QByteArray("  Lengua \t");
    QTest::newRow("text below the node concatenated")
        << QByteArray("<r><d>a<i>b</i><![CDATA[<c>]]>&amp;<!-- no -->d</d></r>") << QByteArray("/r/d")
        << QByteArray("ab<c>&d");
    QTest::newRow("whole document text without blank separators")
        << QByteArray("<r>\n  <a>1</a>\n  <b>2</b>\n</r>") << QByteArray("/r") << QByteArray("12");
    QTest::newRow("Latin-1 bytes decoded by the declaration")
        << (Latin1Declaration + "<r><d>Educaci\xF3n F\xEDsica \xBA</d></r>") << QByteArray("/r/d")
        << QByteArray("Educación Física º");
    QTest::newRow("character references decoded")
        << QByteArray("<r><d>&#241;&#x20AC;</d></r>") << QByteArray("/r/d") << QByteArray("ñ€");
    QTest::newRow("attribute value") << QByteArray("<r a=\"x &amp; &#233;\"/>") << QByteArray("/r/@a")
                                     << QByteArray("x & é");
}

void TestXmlDocument::textAfterLoad() {
    QFETCH(QByteArray, xml);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, text);
    const XmlDocument doc = parsed(xml);
    QCOMPARE(bytesOf(doc.selectOne(path.constData()).text()), text);
}

void TestXmlDocument::blankTextBetweenElementsIsDropped() {
    const XmlDocument doc =
        parsed(Latin1Declaration + "\n\n<SERVICIO>\n  <BLOQUE_DATOS>\n    <a>1</a>\n\n\t<b/>\n  </BLOQUE_DATOS>\n</SERVICIO>\n");
    const XmlNode block = doc.documentElement().firstChild();
    QCOMPARE(block.name(), std::string("BLOQUE_DATOS"));
    QCOMPARE(block.firstChild().name(), std::string("a"));
    QCOMPARE(block.select("node()").length(), 2);
    QCOMPARE(doc.topLevelNodes().size(), size_t(1));
}

void TestXmlDocument::markup_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QByteArray>("markup");

    // The name test reads characters at fixed positions of this text, so the opening tag must
    // not depend on the declaration or on how the source wrote it.
    QTest::newRow("declared Latin-1, accented attribute")
        << (Latin1Declaration + "<r><dato nombre_dato=\"A\xF1o\">1\xBA</dato></r>")
        << QByteArray("<dato nombre_dato=\"Año\">1º</dato>");
    QTest::newRow("no declaration, accented attribute")
        << QByteArray("<r><dato nombre_dato=\"Año\">1º</dato></r>") << QByteArray("<dato nombre_dato=\"Año\">1º</dato>");
    QTest::newRow("UTF-8 declaration, accented attribute")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><dato nombre_dato=\"Año\">1º</dato></r>")
        << QByteArray("<dato nombre_dato=\"Año\">1º</dato>");
    QTest::newRow("attributes in document order")
        << QByteArray("<r><dato z=\"1\" nombre_dato=\"X\" a=\"2\">v</dato></r>")
        << QByteArray("<dato z=\"1\" nombre_dato=\"X\" a=\"2\">v</dato>");
    QTest::newRow("single quotes and spacing normalised")
        << QByteArray("<r><dato   nombre_dato = 'X_MATERIAOMG' >v</dato ></r>")
        << QByteArray("<dato nombre_dato=\"X_MATERIAOMG\">v</dato>");
    QTest::newRow("attribute escaping") << QByteArray("<r><dato a='say \"hi\" &lt;&amp;&gt;'/></r>")
                                        << QByteArray("<dato a=\"say &quot;hi&quot; &lt;&amp;&gt;\"/>");
    QTest::newRow("empty element") << QByteArray("<r><dato nombre_dato=\"X\"></dato></r>")
                                   << QByteArray("<dato nombre_dato=\"X\"/>");
    QTest::newRow("children serialized") << QByteArray("<r><dato n=\"1\">a&amp;b\"<i>c</i></dato></r>")
                                         << QByteArray("<dato n=\"1\">a&amp;b\"<i>c</i></dato>");
}

void TestXmlDocument::markup() {
    QFETCH(QByteArray, xml);
    QFETCH(QByteArray, markup);
    const XmlDocument doc = parsed(xml);
    QCOMPARE(bytesOf(doc.selectOne("/r/dato").markup()), markup);
}

void TestXmlDocument::relativeAndExactSelection() {
    const XmlDocument doc = parsed("<S><B>"
                                   "<g seq=\"MATERIAS\"><dato>1</dato><g><dato>nested</dato></g><x/><dato>2</dato></g>"
                                   "<g seq=\"MATERIAS \"><dato>3</dato></g>"
                                   "<g seq=\"materias\"><dato>4</dato></g>"
                                   "<g seq=\"MATERIAS\"><dato>5</dato></g>"
                                   "</B></S>");
    const XmlNodeList groups = doc.select("/S/B/g[@seq=\"MATERIAS\"]");
    QCOMPARE(groups.length(), 2);
    const XmlNodeList datos = groups.item(0).select("dato");
    QCOMPARE(datos.length(), 2);
    QCOMPARE(datos.item(0).text(), std::string("1"));
    QCOMPARE(datos.item(1).text(), std::string("2"));
    QCOMPARE(groups.item(1).select("dato").item(0).text(), std::string("5"));
}

// The record reader walks the children itself instead of running the path "dato": both must
// give the same nodes.
void TestXmlDocument::childElementsAsSelected_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("text, comment, instruction and nested dato skipped")
        << QByteArray("<r>t<dato>1</dato><!--c--><?p x?><g><dato>n</dato></g><dato/>u<datos/><Dato/></r>");
    QTest::newRow("prefixed and default namespaces are not selected")
        << QByteArray("<r xmlns:p=\"urn:p\"><p:dato>1</p:dato><dato>2</dato><x xmlns=\"urn:d\"><dato>3</dato></x></r>");
    QTest::newRow("no dato") << QByteArray("<r><x/>text</r>");
}

void TestXmlDocument::childElementsAsSelected() {
    QFETCH(QByteArray, xml);
    const XmlDocument doc = parsed(xml);
    for (const char *context : {"/r", "/r/x", "/r/g"}) {
        const XmlNode node = doc.selectOne(context);
        const XmlNodeList walked = node.childElements("dato");
        const XmlNodeList selected = node.select("dato");
        QCOMPARE(walked.length(), selected.length());
        for (int i = 0; i < walked.length(); ++i)
            QCOMPARE(walked.item(i).raw(), selected.item(i).raw());
    }
}

void TestXmlDocument::markupPrefix() {
    const XmlDocument doc = parsed("<r><dato nombre_dato=\"Año\">uno<i>dos</i>tres</dato></r>");
    const XmlNode dato = doc.selectOne("/r/dato");
    const std::string whole = dato.markup();
    for (size_t bytes : {size_t(0), size_t(1), size_t(19), size_t(30), whole.size(), whole.size() + 10}) {
        const std::string prefix = dato.markupPrefix(bytes);
        QVERIFY2(prefix.size() >= std::min(bytes, whole.size()), qPrintable(QString::number(bytes)));
        QCOMPARE(bytesOf(prefix), bytesOf(whole.substr(0, prefix.size())));
    }
    QCOMPARE(bytesOf(dato.markupPrefix(whole.size())), bytesOf(whole));
}

void TestXmlDocument::missingItemsAreNullNodes() {
    const XmlDocument doc = parsed("<r><d>1</d></r>");
    const XmlNodeList list = doc.select("/r/d");
    for (int index : {-1, 1, 1000}) {
        const XmlNode node = list.item(index);
        QVERIFY(node.isNull());
        QCOMPARE(node.text(), std::string());
        QCOMPARE(node.markup(), std::string());
        QCOMPARE(node.select("d").length(), 0);
        QVERIFY(node.firstChild().isNull());
    }
    QVERIFY(doc.selectOne("/r/nothing").isNull());
    QVERIFY(XmlDocument().documentElement().isNull());
    QCOMPARE(XmlDocument().select("/r").length(), 0);
}

void TestXmlDocument::saveUsesDeclaredEncoding_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QByteArray>("expectedBytes");
    QTest::addColumn<QByteArray>("forbiddenBytes");

    QTest::newRow("ISO-8859-1 declared: Latin-1 bytes")
        << (Latin1Declaration + "<r a=\"A\xF1o\">Educaci\xF3n</r>") << QByteArray("<r a=\"A\xF1o\">Educaci\xF3n</r>")
        << QByteArray("\xC3");
    // Without naming an encoding libxml2 would write ASCII with character references.
    QTest::newRow("no declaration: real UTF-8")
        << QByteArray("<r a=\"Año\">Educación €</r>") << QByteArray("<r a=\"Año\">Educación €</r>") << QByteArray("&#");
    QTest::newRow("declaration without encoding: UTF-8")
        << QByteArray("<?xml version=\"1.0\"?><r>ñ</r>") << QByteArray("<r>ñ</r>") << QByteArray("&#");
}

void TestXmlDocument::saveUsesDeclaredEncoding() {
    QFETCH(QByteArray, xml);
    QFETCH(QByteArray, expectedBytes);
    QFETCH(QByteArray, forbiddenBytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("salida.xml"));
    const XmlDocument doc = parsed(xml);
    doc.save(path);
    const QByteArray saved = readFile(path);
    QVERIFY2(saved.contains(expectedBytes), saved.constData());
    QVERIFY2(!saved.contains(forbiddenBytes), saved.constData());

    XmlDocument again;
    QVERIFY(again.load(path));
    QCOMPARE(again.documentElement().text(), doc.documentElement().text());
    QCOMPARE(again.documentElement().markup(), doc.documentElement().markup());
}

void TestXmlDocument::loadFromFileWithNonAsciiPath() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Año académico")));
    const QString path = dir.filePath(QStringLiteral("Año académico/Exportación.xml"));
    writeFile(path, Latin1Declaration + "<r>\xD1</r>");
    XmlDocument doc;
    QVERIFY(doc.load(path));
    QCOMPARE(doc.documentElement().text(), std::string("Ñ"));
    QVERIFY(doc.hasDeclaration());
    QCOMPARE(doc.declaredEncoding(), std::string("ISO-8859-1"));
}

void TestXmlDocument::externalResourcesAreNeverRead_data() {
    QTest::addColumn<QByteArray>("xml"); // %URL% stands for the marker file, %DTD% for the DTD

    QTest::newRow("external general entity")
        << QByteArray("<!DOCTYPE r [<!ENTITY ext SYSTEM \"%URL%\">]><r a=\"1\">&ext;</r>");
    QTest::newRow("external entity through a relative path")
        << QByteArray("<!DOCTYPE r [<!ENTITY ext SYSTEM \"marker.txt\">]><r a=\"1\">&ext;</r>");
    QTest::newRow("external DTD with default attribute and entity")
        << QByteArray("<!DOCTYPE r SYSTEM \"%DTD%\"><r a=\"1\">x</r>");
    QTest::newRow("external parameter entity")
        << QByteArray("<!DOCTYPE r [<!ENTITY % p SYSTEM \"%DTD%\"> %p;]><r a=\"1\">x</r>");
}

void TestXmlDocument::externalResourcesAreNeverRead() {
    QFETCH(QByteArray, xml);
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("marker.txt"));
    const QString dtd = dir.filePath(QStringLiteral("marker.dtd"));
    writeFile(marker, "SECRETO-LOCAL");
    writeFile(dtd, "<!ATTLIST r b CDATA \"SECRETO-DTD\">\n<!ENTITY ext \"SECRETO-DTD\">\n");
    xml.replace("%URL%", QUrl::fromLocalFile(marker).toEncoded());
    xml.replace("%DTD%", QUrl::fromLocalFile(dtd).toEncoded());
    const QString docPath = dir.filePath(QStringLiteral("doc.xml"));
    writeFile(docPath, xml);

    XmlDocument doc;
    if (!doc.load(docPath)) { // refusing the document is as good as not reading the file
        QVERIFY(!doc.parseError().reason.contains(QStringLiteral("SECRETO")));
        return;
    }
    const XmlNode root = doc.documentElement();
    QCOMPARE(root.attribute("a"), std::string("1"));
    QVERIFY(!QByteArray::fromStdString(root.text()).contains("SECRETO"));
    QVERIFY(!QByteArray::fromStdString(root.markup()).contains("SECRETO"));
    QCOMPARE(root.attribute("b"), std::string());
    QVERIFY(!QByteArray::fromStdString(doc.serialize()).contains("SECRETO"));
}

void TestXmlDocument::nestedEntitiesStayBounded() {
    // Ten levels of tenfold entities: 10^10 characters if anything expanded them in full.
    QByteArray xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 10; ++i) {
        xml += "<!ENTITY l" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            xml += "&l" + QByteArray::number(i - 1) + ";";
        xml += "\">\n";
    }
    xml += "]>\n<r><d>&l10;</d></r>\n";
    XmlDocument doc;
    if (!doc.loadFromMemory(xml.toStdString())) {
        QVERIFY(doc.parseError().line > 0);
        return;
    }
    const XmlNode d = doc.selectOne("/r/d");
    QVERIFY(!d.isNull());
    try {
        const std::string text = d.text();
        QVERIFY(text.size() <= 64u * 1024u * 1024u + 3);
    } catch (const RunError &error) {
        QVERIFY(!error.message().isEmpty());
    }
    QCOMPARE(bytesOf(d.markup()), QByteArray("<d>&l10;</d>"));
}

void TestXmlDocument::firstErrorIsReported_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reasonPart");

    // libxml2 goes on reporting after the first fault (the end of the data comes too early);
    // the first one is the one that names the problem, said in Spanish with its names.
    QTest::newRow("mismatched end tag") << QByteArray("<a>\n<b>\n</a>\n") << 3 << QStringLiteral("«</a>» no corresponde a la abierta «<b>»");
    QTest::newRow("undefined entity") << QByteArray("<a>\n\n<b>&nada;</b></a>") << 3 << QStringLiteral("la entidad «nada» no está declarada");
    QTest::newRow("Latin-1 byte in a document without declaration")
        << QByteArray("<a>\n<b>Educaci\xF3n</b>\n</a>") << 2 << QStringLiteral("UTF-8");
    QTest::newRow("truncated document") << (Latin1Declaration + "\n<SERVICIO>\n<BLOQUE_DATOS>") << 4
                                        << QStringLiteral("se acaba sin cerrar el elemento «BLOQUE_DATOS»");
    QTest::newRow("empty file") << QByteArray() << 1 << QStringLiteral("está vacío");
    QTest::newRow("two roots") << QByteArray("<a/>\n<b/>") << 2 << QStringLiteral("contenido después del final del elemento principal");
}

void TestXmlDocument::firstErrorIsReported() {
    QFETCH(QByteArray, xml);
    QFETCH(int, line);
    QFETCH(QString, reasonPart);
    XmlDocument doc;
    QVERIFY(!doc.loadFromMemory(xml.toStdString()));
    QCOMPARE(doc.parseError().line, line);
    QVERIFY2(doc.parseError().reason.contains(reasonPart, Qt::CaseInsensitive),
             qPrintable(doc.parseError().reason));
    QVERIFY(!doc.parseError().reason.endsWith(QLatin1Char('\n')));
    QVERIFY(!doc.parseError().unreadable);
}

void TestXmlDocument::failedLoadLeavesEmptyDocument() {
    XmlDocument doc = parsed("<r><d>1</d></r>");
    QVERIFY(!doc.loadFromMemory("<r><d>1</d>"));
    QVERIFY(doc.documentElement().isNull());
    QCOMPARE(doc.select("/r/d").length(), 0);
    QVERIFY(doc.loadFromMemory("<r><d>2</d></r>"));
    QCOMPARE(doc.parseError().line, 0);
    QCOMPARE(doc.selectOne("/r/d").text(), std::string("2"));
}

void TestXmlDocument::missingFileIsUnreadable() {
    QTemporaryDir dir;
    XmlDocument doc;
    QVERIFY(!doc.load(dir.filePath(QStringLiteral("no-existe.xml"))));
    QVERIFY(doc.parseError().unreadable);
    QVERIFY(!doc.parseError().reason.isEmpty());
}

void TestXmlDocument::buildTree() {
    XmlDocument doc;
    XmlNode root = doc.createElement("SERVICIO");
    doc.appendTopLevel(root);
    root.setAttribute("modulo", std::string("HORARIOS"));
    root.setAttribute("registros", 42LL);
    root.setAttribute("negativo", -7LL);
    XmlNode block = root.appendChild(doc.createElement("BLOQUE_DATOS"));
    XmlNode first = block.appendChild(doc.createElement("dato"));
    first.setAttribute("nombre_dato", std::string("C_ANNO"));
    first.setText("viejo");
    first.setText("a<b & \"c\" &amp; Año"); // replaces, taken literally
    XmlNode empty = block.appendChild(doc.createElement("dato"));
    empty.setText("");
    XmlNode gone = block.appendChild(doc.createElement("borrar"));
    gone.appendChild(doc.createElement("hijo"));
    block.removeChild(gone);
    doc.createElement("huerfano").appendChild(doc.createElement("hijo")); // freed with the document

    QCOMPARE(doc.documentElement().name(), std::string("SERVICIO"));
    QCOMPARE(first.text(), std::string("a<b & \"c\" &amp; Año"));
    QCOMPARE(bytesOf(root.markup()),
             QByteArray("<SERVICIO modulo=\"HORARIOS\" registros=\"42\" negativo=\"-7\"><BLOQUE_DATOS>"
                        "<dato nombre_dato=\"C_ANNO\">a&lt;b &amp; \"c\" &amp;amp; Año</dato>"
                        "<dato/></BLOQUE_DATOS></SERVICIO>"));
    QVERIFY(QByteArray::fromStdString(doc.serialize()).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    QVERIFY_THROWS_EXCEPTION(RunError, doc.appendTopLevel(doc.createElement("otra_raiz")));
    QVERIFY_THROWS_EXCEPTION(RunError, XmlNode().setText("x"));
    QVERIFY_THROWS_EXCEPTION(RunError, block.appendChild(root));
}

void TestXmlDocument::saveIntoMissingFolderThrows() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-existe/ResultadoVelkor.xml"));
    const XmlDocument doc = parsed("<r/>");
    try {
        doc.save(path);
        QFAIL("save into a missing folder did not throw");
    } catch (const RunError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("ResultadoVelkor.xml")), qPrintable(error.message()));
    }
    QVERIFY(!QFile::exists(path));
}

void TestXmlDocument::saveReplacesExistingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("salida.xml"));
    writeFile(path, "contenido anterior mucho más largo que el documento nuevo");
    parsed("<r/>").save(path);
    XmlDocument again;
    QVERIFY(again.load(path));
    QCOMPARE(again.documentElement().name(), std::string("r"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("salida.xml")});
}

void TestXmlDocument::utf8DeclaredLatin1_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("line");    // of the refusal; 0: the document loads
    QTest::addColumn<QString>("sample");

    const QByteArray utf8Body = "<r>\n<d>Matem\xC3\xA1ticas</d>\n</r>";
    QTest::newRow("declares ISO-8859-1, holds UTF-8") << Latin1Declaration + utf8Body << 3 << "Matemáticas";
    QTest::newRow("declares windows-1252, holds UTF-8")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n") + utf8Body << 3 << "Matemáticas";
    // A file is read 256 KiB at a time: "á" begins in the last byte of the first piece.
    QTest::newRow("the character straddles two pieces read")
        << Latin1Declaration + "<r><!--" + QByteArray(256 * 1024 - 64, 'x') + "-->\n<d>Matem\xC3\xA1ticas</d></r>" << 3
        << "Matemáticas";
    QTest::newRow("true Latin-1") << Latin1Declaration + "<r><d>Matem\xE1ticas 1\xBA</d></r>" << 0 << "";
    // "Ã" then "º" are also a UTF-8 sequence, but the rest is not UTF-8: the document is Latin-1.
    QTest::newRow("Latin-1 with one pair that looks like UTF-8")
        << Latin1Declaration + "<r><d>\xC3\xBA Educaci\xF3n</d></r>" << 0 << "";
    QTest::newRow("ASCII only") << Latin1Declaration + "<r><d>Matematicas</d></r>" << 0 << "";
    QTest::newRow("declares UTF-8, holds UTF-8")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + utf8Body << 0 << "";
    QTest::newRow("no declaration, UTF-8") << utf8Body << 0 << "";
}

// A re-saved Séneca file whose declaration still says ISO-8859-1 would turn every accented
// letter into two: it is refused with the line and the words where UTF-8 shows, whether the
// bytes are read from a file (in pieces) or from memory.
void TestXmlDocument::utf8DeclaredLatin1() {
    QFETCH(QByteArray, xml);
    QFETCH(int, line);
    QFETCH(QString, sample);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    writeFile(path, xml);
    XmlDocument fromFile, fromMemory;
    const bool loaded = fromFile.load(path);
    QCOMPARE(fromMemory.loadFromMemory(xml.toStdString()), loaded);
    QCOMPARE(loaded, line == 0);
    if (line == 0)
        return;
    for (const XmlDocument *doc : {&fromFile, &fromMemory}) {
        QCOMPARE(doc->parseError().line, line);
        QVERIFY2(doc->parseError().reason.contains(QStringLiteral("pero su texto está escrito en UTF-8 («%1»)").arg(sample)),
                 qPrintable(doc->parseError().reason));
        QVERIFY(doc->documentElement().isNull());
    }
}

// A value made of an external entity would be lost without a word (it is never read): the
// document is refused, naming the entity and never showing what the file holds.
void TestXmlDocument::externalEntityRefused() {
    QTemporaryDir dir;
    const QString secret = dir.filePath(QStringLiteral("secreto.txt"));
    writeFile(secret, "SECRETO-LOCAL");
    const QByteArray xml = Latin1Declaration + "<!DOCTYPE r [\n<!ENTITY fuera SYSTEM \"" +
                           QUrl::fromLocalFile(secret).toEncoded() + "\">\n]>\n<r><d>&fuera;</d></r>";
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    writeFile(path, xml);
    XmlDocument doc;
    QVERIFY(!doc.load(path));
    QCOMPARE(doc.parseError().line, 3);
    QVERIFY2(doc.parseError().reason.contains(QStringLiteral("la entidad externa «fuera»")),
             qPrintable(doc.parseError().reason));
    QVERIFY(!doc.parseError().reason.contains(QStringLiteral("SECRETO")));
    // An internal entity is the document's own text and stays allowed.
    QVERIFY(doc.loadFromMemory("<!DOCTYPE r [<!ENTITY e \"uno\">]><r>&e;</r>"));
}

// attributeIs answers what comparing attribute() would, also for values made of entities
// and for attributes that are missing or empty.
void TestXmlDocument::attributeIsAsAttribute_data() {
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("plain") << QByteArray("<r a=\"X_EMPLEADO\"/>") << QByteArray("X_EMPLEADO");
    QTest::newRow("plain, other value") << QByteArray("<r a=\"X_EMPLEADO\"/>") << QByteArray("X_EMPLEAD");
    QTest::newRow("character reference") << QByteArray("<r a=\"a&amp;b&#233;\"/>") << QByteArray("a&b\xC3\xA9");
    QTest::newRow("internal entity") << QByteArray("<r a=\"x&e;y\"/>") << QByteArray("xunoy");
    QTest::newRow("internal entity, other value") << QByteArray("<r a=\"x&e;y\"/>") << QByteArray("x");
    QTest::newRow("empty") << QByteArray("<r a=\"\"/>") << QByteArray("");
    QTest::newRow("missing, empty value") << QByteArray("<r/>") << QByteArray("");
    QTest::newRow("missing") << QByteArray("<r/>") << QByteArray("X");
}

void TestXmlDocument::attributeIsAsAttribute() {
    QFETCH(QByteArray, element);
    QFETCH(QByteArray, value);
    XmlDocument doc;
    QVERIFY(doc.loadFromMemory(("<!DOCTYPE r [<!ENTITY e \"uno\">]>" + element).toStdString()));
    const XmlNode r = doc.documentElement();
    QCOMPARE(r.attributeIs("a", value.toStdString()), r.attribute("a") == value.toStdString());
    QCOMPARE(r.attributeIs("a", r.attribute("a")), true);
}

QTEST_GUILESS_MAIN(TestXmlDocument)
#include "test_xml_document.moc"
