// Setting the outcome in Zetarium.ini must change only that key's line: the host and the
// user keep other settings, comments and Windows line ends in the same file.

#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void withValue_data();
    void withValue();
    void writesNewFile();
    void replacesExistingFileKeepingTheRest();
    void unwritableFolderIsReported_data();
    void unwritableFolderIsReported();
};

void TestIniFile::withValue_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("empty file") << QByteArray() << QByteArray("[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("key in other case keeps its spelling")
        << QByteArray("[transformadores]\r\ntransformado=5\r\n") << QByteArray("[transformadores]\r\ntransformado=1\r\n");
    QTest::newRow("comments, other sections, backslashes kept")
        << QByteArray("; Zetarium\r\n[Rutas]\r\nDatos=C:\\ZTEMP\\\r\n\r\n[Transformadores]\r\n; ultimo\r\n"
                      "Transformado=-1\r\nOtro=x\r\n\r\n[Fin]\r\nA=1\r\n")
        << QByteArray("; Zetarium\r\n[Rutas]\r\nDatos=C:\\ZTEMP\\\r\n\r\n[Transformadores]\r\n; ultimo\r\n"
                      "Transformado=1\r\nOtro=x\r\n\r\n[Fin]\r\nA=1\r\n");
    QTest::newRow("LF file stays LF")
        << QByteArray("[A]\nx=1\n") << QByteArray("[A]\nx=1\n[Transformadores]\nTransformado=1\n");
    QTest::newRow("blanks around names")
        << QByteArray("  [ Transformadores ]  \r\n  Transformado = 7 \r\n")
        << QByteArray("  [ Transformadores ]  \r\n  Transformado=1\r\n");
    QTest::newRow("key missing: after the section's last entry, blank line kept")
        << QByteArray("[Transformadores]\r\nOtro=2\r\n\r\n[B]\r\nc=3\r\n")
        << QByteArray("[Transformadores]\r\nOtro=2\r\nTransformado=1\r\n\r\n[B]\r\nc=3\r\n");
    QTest::newRow("same key in another section is not ours")
        << QByteArray("[B]\r\nTransformado=9\r\n")
        << QByteArray("[B]\r\nTransformado=9\r\n[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("commented-out key is not ours")
        << QByteArray("[Transformadores]\r\n;Transformado=9\r\n")
        << QByteArray("[Transformadores]\r\n;Transformado=9\r\nTransformado=1\r\n");
    QTest::newRow("no trailing line end, section missing")
        << QByteArray("[A]\r\nx=1") << QByteArray("[A]\r\nx=1\r\n[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("no trailing line end, key missing")
        << QByteArray("[Transformadores]\r\nx=1") << QByteArray("[Transformadores]\r\nx=1\r\nTransformado=1\r\n");
    QTest::newRow("no trailing line end, key is the last line")
        << QByteArray("[Transformadores]\r\nTransformado=0") << QByteArray("[Transformadores]\r\nTransformado=1");
    QTest::newRow("first of two sections of that name")
        << QByteArray("[Transformadores]\r\na=1\r\n[Transformadores]\r\nTransformado=4\r\n")
        << QByteArray("[Transformadores]\r\na=1\r\nTransformado=1\r\n[Transformadores]\r\nTransformado=4\r\n");
    QTest::newRow("byte-order mark kept, not doubled")
        << QByteArray("\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n")
        << QByteArray("\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("Windows-1252 bytes elsewhere kept")
        << QByteArray("[S\xE9neca]\r\nA\xF1o=2024\r\n")
        << QByteArray("[S\xE9neca]\r\nA\xF1o=2024\r\n[Transformadores]\r\nTransformado=1\r\n");
}

void TestIniFile::withValue() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(IniFile::withValue(before, "Transformadores", "Transformado", "1"), after);
}

void TestIniFile::writesNewFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Zetarium.ini");
    QCOMPARE(IniFile::writeValue(path, "Transformadores", "Transformado", "-1"), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
}

void TestIniFile::replacesExistingFileKeepingTheRest() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Zetarium.ini");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Config]\r\nRuta=C:\\ZX14\\\r\n[Transformadores]\r\nTransformado=1\r\n");
    }
    QCOMPARE(IniFile::writeValue(path, "Transformadores", "Transformado", "0"), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Config]\r\nRuta=C:\\ZX14\\\r\n[Transformadores]\r\nTransformado=0\r\n"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Zetarium.ini"});
}

void TestIniFile::unwritableFolderIsReported_data() {
    QTest::addColumn<QString>("relativePath");
    // Places no one can write, root included (CI runs as root, so permissions alone prove nothing).
    QTest::newRow("folder missing") << "missing/Zetarium.ini";
    QTest::newRow("folder is a file") << "plain.txt/Zetarium.ini";
    QTest::newRow("the name is a folder") << "Zetarium.ini";
}

void TestIniFile::unwritableFolderIsReported() {
    QFETCH(QString, relativePath);
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain.txt"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    if (relativePath == "Zetarium.ini")
        QVERIFY(QDir(dir.path()).mkdir("Zetarium.ini"));

    const QString error = IniFile::writeValue(dir.filePath(relativePath), "Transformadores", "Transformado", "1");
    QVERIFY2(error.startsWith("No se puede guardar el resultado en \""), qPrintable(error));
    QVERIFY2(error.contains("Zetarium.ini"), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
