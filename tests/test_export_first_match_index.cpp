// The export's lookup table: the first value added for a key wins, whatever the growth of the
// table in between, and keys that differ only after a NUL or in their length stay apart.

#include "export/FirstMatchIndex.h"

#include <QTest>

#include <string>

class FirstMatchIndexTest : public QObject {
    Q_OBJECT

private slots:
    void firstValueWinsAcrossGrowth_data() {
        QTest::addColumn<int>("expected"); // what the table is sized for at first
        QTest::newRow("sized for none, grows many times") << 0;
        QTest::newRow("sized for all") << 5000;
    }
    void firstValueWinsAcrossGrowth() {
        QFETCH(int, expected);
        FirstMatchIndex<int> index(static_cast<size_t>(expected));
        for (int i = 0; i < 5000; ++i)
            index.add("MAT" + std::to_string(i) + std::string(1, '\0') + "ESO" + std::to_string(i % 7), i);
        for (int i = 0; i < 5000; ++i) // later values for the same keys are ignored
            index.add("MAT" + std::to_string(i) + std::string(1, '\0') + "ESO" + std::to_string(i % 7), -i);
        for (int i = 0; i < 5000; ++i) {
            const int *found =
                index.find("MAT" + std::to_string(i) + std::string(1, '\0') + "ESO" + std::to_string(i % 7));
            QVERIFY2(found && *found == i, qPrintable(QString::number(i)));
        }
        QVERIFY(!index.find("MAT1" + std::string(1, '\0') + "ESO2")); // key of 1 is MAT1\0ESO1
        QVERIFY(!index.find("MAT1"));
        QVERIFY(!index.find(""));
    }

    void keysApartByNulAndLength() {
        FirstMatchIndex<std::string> index;
        const std::string keys[] = {
            "", std::string(1, '\0'), "a", std::string("a\0", 2), std::string("a\0b", 3), std::string("a\0c", 3), "ab"};
        for (const std::string &key : keys)
            index.add(key, "v" + key);
        for (const std::string &key : keys) {
            const std::string *found = index.find(key);
            QVERIFY(found);
            QCOMPARE(*found, "v" + key);
        }
        QVERIFY(!index.find("b"));
    }
};

QTEST_GUILESS_MAIN(FirstMatchIndexTest)
#include "test_export_first_match_index.moc"
