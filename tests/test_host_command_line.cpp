// How the host's call is read: the parameter count decides between a host run and a
// stand-alone one, the direction word is matched after lowering A to Z only, and the handle
// is "$" + parameter 2 as a strict hexadecimal integer.

#include "app/HostCommandLine.h"

#include <QTest>

class TestHostCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void dollarHex_data();
    void dollarHex();
};

void TestHostCommandLine::parse_data() {
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<bool>("hostCall");
    QTest::addColumn<bool>("runsImport");
    QTest::addColumn<bool>("runsExport");
    QTest::addColumn<qulonglong>("handle"); // 0 when none parsed
    QTest::addColumn<QString>("error");

    QTest::newRow("no parameters") << QStringList{} << false << false << false << 0ull << QString();
    QTest::newRow("one parameter") << QStringList{"exportar"} << false << false << false << 0ull << QString();
    QTest::newRow("three parameters")
        << QStringList{"exportar", "1F", "x"} << false << false << false << 0ull << QString();
    QTest::newRow("exportar") << QStringList{"exportar", "1F"} << true << false << true << 0x1Full << QString();
    QTest::newRow("IMPORTAR capitals")
        << QStringList{"IMPORTAR", "a0b1c2"} << true << true << false << 0xA0B1C2ull << QString();
    QTest::newRow("mixed case") << QStringList{"ExPorTar", "4000007"} << true << false << true << 0x4000007ull
                                << QString();
    QTest::newRow("other word: embedded, nothing runs")
        << QStringList{"nada", "1F"} << true << false << false << 0x1Full << QString();
    QTest::newRow("accented capital is not lowered")
        << QStringList{"EXPORTAR\u00C1", "1F"} << true << false << false << 0x1Full << QString();
    QTest::newRow("word with blank") << QStringList{"exportar ", "1F"} << true << false << false << 0x1Full
                                     << QString();
    QTest::newRow("bad hex: prefix $")
        << QStringList{"exportar", "$1F"} << true << false << true << 0ull << "'$$1F' no es un valor entero válido";
    QTest::newRow("bad hex: prefix 0x")
        << QStringList{"exportar", "0x1F"} << true << false << true << 0ull << "'$0x1F' no es un valor entero válido";
    QTest::newRow("bad hex: letters") << QStringList{"importar", "zz"} << true << true << false << 0ull
                                      << "'$zz' no es un valor entero válido";
    QTest::newRow("bad hex: empty") << QStringList{"importar", ""} << true << true << false << 0ull
                                    << "'$' no es un valor entero válido";
}

void TestHostCommandLine::parse() {
    QFETCH(QStringList, parameters);
    QFETCH(bool, hostCall);
    QFETCH(bool, runsImport);
    QFETCH(bool, runsExport);
    QFETCH(qulonglong, handle);
    QFETCH(QString, error);

    const HostCommandLine line = ParseHostCommandLine(parameters);
    QCOMPARE(line.hostCall, hostCall);
    QCOMPARE(line.runsImport(), runsImport);
    QCOMPARE(line.runsExport(), runsExport);
    QCOMPARE(line.error, error);
    QCOMPARE(line.hostWindow.has_value(), handle != 0);
    if (line.hostWindow)
        QCOMPARE(qulonglong(*line.hostWindow), handle);
}

void TestHostCommandLine::dollarHex_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("value");

    QTest::newRow("zero") << "$0" << true << 0u;
    QTest::newRow("lower and upper digits") << "$aBcD" << true << 0xABCDu;
    QTest::newRow("leading zeros") << "$000000001F" << true << 0x1Fu;
    QTest::newRow("32 bits") << "$FFFFFFFF" << true << 0xFFFFFFFFu;
    QTest::newRow("over 32 bits") << "$100000000" << false << 0u;
    QTest::newRow("no digits") << "$" << false << 0u;
    QTest::newRow("no dollar") << "1F" << false << 0u;
    QTest::newRow("sign after dollar") << "$-1" << false << 0u;
    QTest::newRow("leading blank") << "$ 1F" << false << 0u;
    QTest::newRow("trailing blank") << "$1F " << false << 0u;
    QTest::newRow("fullwidth digit") << "$\uFF11" << false << 0u;
}

void TestHostCommandLine::dollarHex() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(uint, value);
    const auto parsed = ParseDollarHex(text);
    QCOMPARE(parsed.has_value(), ok);
    if (parsed)
        QCOMPARE(*parsed, value);
}

QTEST_GUILESS_MAIN(TestHostCommandLine)
#include "test_host_command_line.moc"
