// Table text: the Clipper routines, the Windows-1252 conversion at the edges and case mapping.

#include "platform/AnsiText.h"
#include "platform/Cp1252.h"
#include "seneca/Clipper.h"

#include <QTest>

namespace {

QByteArray bytes(const AnsiText &text) { return QByteArray::fromStdString(text.bytes()); }
AnsiText ansi(const QByteArray &b) { return AnsiText::fromBytes(b.toStdString()); }

} // namespace

class TestText : public QObject {
    Q_OBJECT

private slots:
    void clipper_data();
    void clipper();
    void blankTextForTheCourseCheck_data();
    void blankTextForTheCourseCheck();
    void everyByteRoundTrips();
    void fromUtf8_data();
    void fromUtf8();
    void lowerCase_data();
    void lowerCase();
    void asciiUpperLeavesAccents();
    void slicing_data();
    void slicing();
};

void TestText::clipper_data() {
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    // A blank is code 32 only: tab, line break and the non-breaking space (0xA0) are kept.
    QTest::newRow("AllTrim empty") << QByteArray("AllTrim") << QByteArray() << QByteArray();
    QTest::newRow("AllTrim three blanks") << QByteArray("AllTrim") << QByteArray("   ") << QByteArray();
    QTest::newRow("AllTrim inner blank stays") << QByteArray("AllTrim") << QByteArray(" A B ") << QByteArray("A B");
    QTest::newRow("AllTrim tab is not a blank") << QByteArray("AllTrim") << QByteArray("\tA") << QByteArray("\tA");
    QTest::newRow("AllTrim line break and nbsp kept") << QByteArray("AllTrim") << QByteArray(" \nA\xA0 ") << QByteArray("\nA\xA0");
    QTest::newRow("LTrim") << QByteArray("LTrim") << QByteArray("  A ") << QByteArray("A ");
    QTest::newRow("LTrim all blanks") << QByteArray("LTrim") << QByteArray("  ") << QByteArray();
    QTest::newRow("RTrim") << QByteArray("RTrim") << QByteArray(" A  ") << QByteArray(" A");
    QTest::newRow("RTrim empty") << QByteArray("RTrim") << QByteArray() << QByteArray();
    QTest::newRow("CapitalsOnly") << QByteArray("CapitalsOnly") << QByteArray("Lengua Castellana y Literatura") << QByteArray("LCL");
    QTest::newRow("CapitalsOnly accented capital dropped") << QByteArray("CapitalsOnly") << QByteArray("\xC9tica") << QByteArray();
    QTest::newRow("CapitalsOnly no capitals") << QByteArray("CapitalsOnly") << QByteArray("religi\xF3n") << QByteArray();
    QTest::newRow("CapitalsOnly empty") << QByteArray("CapitalsOnly") << QByteArray() << QByteArray();
    QTest::newRow("CapitalsOnly Ñ and digits dropped") << QByteArray("CapitalsOnly") << QByteArray("2\xBA ESPA\xD1OL") << QByteArray("ESPAOL");
    QTest::newRow("LettersAfterBlanks") << QByteArray("LettersAfterBlanks") << QByteArray("Lengua Castellana y Literatura")
                                        << QByteArray("CyL");
    QTest::newRow("LettersAfterBlanks leading blank") << QByteArray("LettersAfterBlanks") << QByteArray(" abc") << QByteArray("a");
    QTest::newRow("LettersAfterBlanks trailing blank") << QByteArray("LettersAfterBlanks") << QByteArray("abc ") << QByteArray();
    QTest::newRow("LettersAfterBlanks blank after blank") << QByteArray("LettersAfterBlanks") << QByteArray("a  b")
                                                          << QByteArray(" b");
    QTest::newRow("LettersAfterBlanks no blanks") << QByteArray("LettersAfterBlanks") << QByteArray("abc") << QByteArray();
    QTest::newRow("LettersAfterBlanks empty") << QByteArray("LettersAfterBlanks") << QByteArray() << QByteArray();
    QTest::newRow("LettersAfterBlanks accented letter") << QByteArray("LettersAfterBlanks") << QByteArray("Educaci\xF3n \xC9tica")
                                                        << QByteArray("\xC9");
}

void TestText::clipper() {
    QFETCH(QByteArray, function);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    const AnsiText text = ansi(input);
    AnsiText result;
    if (function == QByteArray("AllTrim"))
        result = Clipper::AllTrim(text);
    else if (function == QByteArray("LTrim"))
        result = Clipper::LTrim(text);
    else if (function == QByteArray("RTrim"))
        result = Clipper::RTrim(text);
    else if (function == QByteArray("CapitalsOnly"))
        result = Clipper::CapitalsOnly(text);
    else if (function == QByteArray("LettersAfterBlanks"))
        result = Clipper::LettersAfterBlanks(text);
    else
        QFAIL("unknown function");
    QCOMPARE(bytes(result), expected);
    QCOMPARE(bytes(text), input); // the argument is not changed
}

void TestText::blankTextForTheCourseCheck_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("blank");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("blanks, tabs and line breaks") << QByteArray(" \t\r\n ") << true;
    QTest::newRow("control characters") << QByteArray("\x01\x1F", 2) << true;
    QTest::newRow("a letter among blanks") << QByteArray("  E  ") << false;
    QTest::newRow("non-breaking space is text") << QByteArray("\xA0") << false;
}

void TestText::blankTextForTheCourseCheck() {
    QFETCH(QByteArray, input);
    QFETCH(bool, blank);
    QCOMPARE(Clipper::IsBlankText(ansi(input)), blank);
}

void TestText::everyByteRoundTrips() {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252::toUtf8(all);
    // Converted in runs, the text equals its characters converted one by one.
    QString oneByOne;
    for (int b = 0; b < 256; ++b)
        oneByOne += QString::fromUcs4(std::u32string(1, Cp1252::toUnicode(static_cast<unsigned char>(b))).data(), 1);
    QCOMPARE(QByteArray::fromStdString(utf8), oneByOne.toUtf8());
    QVERIFY(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).isValidUtf16());
    QCOMPARE(QByteArray::fromStdString(Cp1252::fromUtf8(utf8)), QByteArray::fromStdString(all));

    const AnsiText text = AnsiText::fromBytes(all);
    QCOMPARE(bytes(AnsiText::fromQString(text.toQString())), QByteArray::fromStdString(all));
    QCOMPARE(Cp1252::toUnicode(0x80), U'\u20AC');
    QCOMPARE(Cp1252::toUnicode(0x9F), U'\u0178');
    QCOMPARE(Cp1252::toUnicode(0x81), char32_t(0x81));
    QCOMPARE(Cp1252::toUnicode(0xF1), U'\u00F1');
}

void TestText::fromUtf8_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("cp1252");

    QTest::newRow("ASCII") << QByteArray("Docencia 1") << QByteArray("Docencia 1");
    QTest::newRow("Spanish letters") << QByteArray("Año Ñandú ¿qué? º ª ü") << QByteArray("A\xF1o \xD1\x61nd\xFA \xBFqu\xE9? \xBA \xAA \xFC");
    QTest::newRow("Windows-1252 extras") << QByteArray("€ “” – … Š Ÿ") << QByteArray("\x80 \x93\x94 \x96 \x85 \x8A \x9F");
    QTest::newRow("Polish letter") << QByteArray("Łódź") << QByteArray("?\xF3\x64?");
    QTest::newRow("CJK") << QByteArray("中文") << QByteArray("??");
    QTest::newRow("outside the BMP") << QByteArray("a😀b") << QByteArray("a?b");
    QTest::newRow("stray continuation byte") << QByteArray("a\x80z") << QByteArray("a?z");
    QTest::newRow("truncated sequence, next character kept") << QByteArray("a\xC3(b") << QByteArray("a?(b");
    QTest::newRow("truncated at the end") << QByteArray("ab\xE2\x82") << QByteArray("ab?");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("?");
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("?");
    QTest::newRow("invalid lead byte") << QByteArray("\xF8x") << QByteArray("?x");
    QTest::newRow("Latin-1 byte taken as UTF-8") << QByteArray("Educaci\xF3n") << QByteArray("Educaci?n");
    QTest::newRow("embedded NUL kept") << QByteArray("a\0b", 3) << QByteArray("a\0b", 3);
}

void TestText::fromUtf8() {
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, cp1252);
    QCOMPARE(bytes(AnsiText::fromUtf8(std::string_view(utf8.constData(), size_t(utf8.size())))), cp1252);
}

void TestText::lowerCase_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ASCII") << QByteArray("ESO1A") << QByteArray("eso1a");
    QTest::newRow("accented capitals") << QByteArray("\xC1\xC9\xCD\xD3\xDA\xD1\xDC") << QByteArray("\xE1\xE9\xED\xF3\xFA\xF1\xFC");
    QTest::newRow("already lower") << QByteArray("\xE1\xF1 abc") << QByteArray("\xE1\xF1 abc");
    QTest::newRow("multiplication sign and sharp s stay") << QByteArray("\xD7\xDF") << QByteArray("\xD7\xDF");
    QTest::newRow("Windows-1252 extras") << QByteArray("\x8A\x8C\x8E\x9F") << QByteArray("\x9A\x9C\x9E\xFF");
    QTest::newRow("ordinals and symbols stay") << QByteArray("\xBA\xAA\x80") << QByteArray("\xBA\xAA\x80");
}

void TestText::lowerCase() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(AnsiCase::lower(ansi(input))), expected);
}

void TestText::asciiUpperLeavesAccents() {
    QCOMPARE(bytes(AnsiCase::asciiUpper(ansi("religi\xF3n \xE1\xF1 z"))), QByteArray("RELIGI\xF3N \xE1\xF1 Z"));
}

void TestText::slicing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("mid");
    QTest::newRow("inside") << QByteArray("abcdef") << 2 << 3 << QByteArray("cde");
    QTest::newRow("past the end") << QByteArray("abc") << 1 << 10 << QByteArray("bc");
    QTest::newRow("start beyond") << QByteArray("abc") << 3 << 1 << QByteArray();
    QTest::newRow("to the end") << QByteArray("abc") << 1 << -1 << QByteArray("bc");
    QTest::newRow("negative start") << QByteArray("abc") << -2 << 2 << QByteArray("ab");
}

void TestText::slicing() {
    QFETCH(QByteArray, text);
    QFETCH(int, pos);
    QFETCH(int, n);
    QFETCH(QByteArray, mid);
    const AnsiText t = ansi(text);
    QCOMPARE(bytes(t.mid(pos, n)), mid);
    QCOMPARE(bytes(t.left(n)), n < 0 ? QByteArray() : text.left(n));
    QCOMPARE(bytes(t.right(n)), n < 0 ? QByteArray() : text.right(n));
}

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
