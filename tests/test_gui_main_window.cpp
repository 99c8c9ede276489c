// The main window as the user and the host see it: its components, the closing that hands
// the outcome back only in host mode, and what happens with a handle that does not work.

#include "app/MainForm.h"
#include "seneca/Messages.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Records what the window shows in message boxes, instead of showing them.
struct ShownMessages {
    QStringList texts;
    QList<bool> isError;
    ShownMessages() {
        TMForm::MessageBoxHook = [this](const QString &text, bool error) {
            texts << text;
            isError << error;
        };
    }
    ~ShownMessages() { TMForm::MessageBoxHook = nullptr; }
};

} // namespace

class TestGuiMainWindow : public QObject {
    Q_OBJECT
private slots:
    void window();
    void components_data();
    void components();
    void openDialog();
    void messageBoxes();
    void standAloneCloseWritesNothing_data();
    void standAloneCloseWritesNothing();
    void hostModeCloseWritesOutcome_data();
    void hostModeCloseWritesOutcome();
    void resultFileFailureStillCloses();
    void unusableHandleStaysStandAlone_data();
    void unusableHandleStaysStandAlone();
    void directionRunsBeforeTheWindowShows();
    void helpButton();
};

void TestGuiMainWindow::window() {
    QTemporaryDir dir;
    TMForm form({}, TestSupport::pathsIn(dir.path()));
    QCOMPARE(form.objectName(), "MForm");
    QCOMPARE(form.windowTitle(), "Exportar e importar datos entre Zetarium y Séneca");
    QCOMPARE(form.minimumSize(), QSize(632, 266));
    QCOMPARE(form.maximumSize(), QSize(632, 266));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.font().pixelSize(), 11);
    QCOMPARE(form.property("helpContext"), QVariant(1));
    QCOMPARE(form.state().outcome, 0);
    QVERIFY(!form.state().hostMode);
}

void TestGuiMainWindow::components_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    QTest::newRow("Draw3D2") << "Draw3D2" << "MForm" << QRect(1, 0, 315, 169) << QString();
    QTest::newRow("Label3") << "Label3" << "Draw3D2" << QRect(24, 24, 265, 57)
                            << "Transformar datos desde Séneca hacia Zetarium ";
    QTest::newRow("BExportar") << "BExportar" << "Draw3D2" << QRect(96, 120, 89, 25) << "Aceptar";
    QTest::newRow("Draw3D3") << "Draw3D3" << "MForm" << QRect(316, 0, 317, 169) << QString();
    QTest::newRow("Label4") << "Label4" << "Draw3D3" << QRect(8, 24, 305, 57)
                            << "Transformar datos desde Zetarium hacia Séneca";
    QTest::newRow("BImportar") << "BImportar" << "Draw3D3" << QRect(96, 120, 89, 25) << "Aceptar";
    QTest::newRow("Draw3D1") << "Draw3D1" << "MForm" << QRect(0, 168, 633, 97) << QString();
    QTest::newRow("Label1") << "Label1" << "Draw3D1" << QRect(8, 72, 227, 13)
                            << "TransZetariumSéneca para ZX14 V-1.1";
    QTest::newRow("BClose") << "BClose" << "Draw3D1" << QRect(256, 32, 89, 25) << "&Salir";
    QTest::newRow("Button1") << "Button1" << "Draw3D1" << QRect(264, 67, 75, 19) << "F1 AYUDA";
}

void TestGuiMainWindow::components() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    QTemporaryDir dir;
    TMForm form({}, TestSupport::pathsIn(dir.path()));
    auto *widget = form.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        // Where the font is not the one the layout was made for, a label may grow to its text.
        QCOMPARE(label->pos(), geometry.topLeft());
        QVERIFY(label->width() >= geometry.width());
        QCOMPARE(label->text(), text);
        if (!label->wordWrap())
            QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
        QVERIFY(label->font().bold());
        QVERIFY(!label->autoFillBackground());
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(button->text(), text);
        QCOMPARE(button->property("helpContext"), QVariant(1));
        // The direction buttons are OK buttons: they carry the style's check-mark icon.
        QCOMPARE(!button->icon().isNull(), name.startsWith("BE") || name.startsWith("BI") || name == "BClose");
    } else {
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->property("helpContext"), QVariant(1)); // the panels
    }
}

void TestGuiMainWindow::openDialog() {
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    TMForm form({}, paths);
    QFileDialog *dialog = form.findChild<QFileDialog *>("OpenDialogXML");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), "Archivo XML");
    QCOMPARE(dialog->nameFilters(), QStringList{"*.xml (*.xml)"});
    QCOMPARE(dialog->defaultSuffix(), "xml");
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog->directory().absolutePath(), QDir(paths.dialogDir).absolutePath());

    // Cancelled: no file; confirmed: the full path.
    QTimer::singleShot(0, dialog, &QDialog::reject);
    QCOMPARE(form.chooseFile(paths.dialogDir), std::nullopt);
    const QString file = QDir(paths.dialogDir).filePath("centro.xml");
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    QTimer::singleShot(0, dialog, [dialog, file] {
        // As the user types it: the name only, in the folder shown.
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText("centro.xml");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(form.chooseFile(paths.dialogDir), std::optional<QString>(file));
    // A name without extension gets ".xml"; a name that does not exist is still handed back,
    // for the direction to report it.
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText("otro");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(form.chooseFile(paths.dialogDir), std::optional<QString>(QDir(paths.dialogDir).filePath("otro.xml")));
}

void TestGuiMainWindow::messageBoxes() {
    QTemporaryDir dir;
    TMForm form({}, TestSupport::pathsIn(dir.path()));
    QStringList seen;
    auto answer = [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen << box->windowTitle() + "|" + box->text() + "|" + QString::number(box->icon());
        box->accept();
    };
    QTimer::singleShot(0, &form, answer);
    form.showMessage(Msg::Finished);
    QTimer::singleShot(0, &form, answer);
    form.showError("Campo CLAVE no encontrado en GRUPOST");
    QCOMPARE(seen, (QStringList{"TransVelkorSeneca|Proceso finalizado|" + QString::number(QMessageBox::Information),
                                "TransVelkorSeneca|Campo CLAVE no encontrado en GRUPOST|" +
                                    QString::number(QMessageBox::Critical)}));
}

void TestGuiMainWindow::standAloneCloseWritesNothing_data() {
    QTest::addColumn<QStringList>("parameters");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("one") << QStringList{"exportar"};
    QTest::newRow("three") << QStringList{"exportar", "1F", "x"};
}

void TestGuiMainWindow::standAloneCloseWritesNothing() {
    QFETCH(QStringList, parameters);
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    TMForm form(parameters, paths);
    QSignalSpy closed(&form, &TMForm::closed);
    form.show();
    QVERIFY(form.isVisible()); // a stand-alone window runs nothing by itself
    QTest::mouseClick(form.BClose, Qt::LeftButton);
    QVERIFY(form.hasClosed());
    QVERIFY(!form.isVisible());
    QCOMPARE(closed.count(), 1);
    QVERIFY(!QFile::exists(paths.iniPath));
}

void TestGuiMainWindow::hostModeCloseWritesOutcome_data() {
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("finished, new file") << 1 << QByteArray() << QByteArray("[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("no file, kept settings")
        << -1 << QByteArray("[Zetarium]\r\nRuta=C:\\ZX14\r\n[Transformadores]\r\nTransformado=1\r\n")
        << QByteArray("[Zetarium]\r\nRuta=C:\\ZX14\r\n[Transformadores]\r\nTransformado=-1\r\n");
    QTest::newRow("closed before the end") << 0 << QByteArray("[transformadores]\ntransformado=1\n")
                                           << QByteArray("[transformadores]\ntransformado=0\n");
}

void TestGuiMainWindow::hostModeCloseWritesOutcome() {
    QFETCH(int, outcome);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    if (!before.isEmpty()) {
        QFile file(paths.iniPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    TMForm form({}, paths);
    form.state().hostMode = true;
    form.state().outcome = outcome;
    form.closeMainWindow();
    QVERIFY(form.hasClosed());
    QCOMPARE(readAll(paths.iniPath), after);
    // Closing again (a direction that closes a window already closed) writes nothing more.
    form.state().outcome = 7;
    form.close();
    QCOMPARE(readAll(paths.iniPath), after);
}

void TestGuiMainWindow::resultFileFailureStillCloses() {
    QTemporaryDir dir;
    Paths paths = TestSupport::pathsIn(dir.path());
    paths.iniPath = dir.filePath("missing/Zetarium.ini");
    ShownMessages shown;
    TMForm form({}, paths);
    QSignalSpy closed(&form, &TMForm::closed);
    form.state().hostMode = true;
    form.state().outcome = 1;
    form.show();
    form.close();
    QVERIFY(form.hasClosed());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(shown.texts.size(), 1);
    QVERIFY2(shown.texts[0].startsWith("No se puede guardar el resultado en"), qPrintable(shown.texts[0]));
    QCOMPARE(shown.isError, QList<bool>{true});
}

void TestGuiMainWindow::unusableHandleStaysStandAlone_data() {
    QTest::addColumn<QString>("handle");
    QTest::addColumn<QString>("message");
    QTest::newRow("not hexadecimal") << "0x1F" << "'$0x1F' no es un valor entero válido";
    QTest::newRow("carries its own $") << "$1F" << "'$$1F' no es un valor entero válido";
    // Offscreen there is no native window to go into (under X11, an id that names no window
    // gives "No existe la ventana ...": the end-to-end test runs that one).
    QTest::newRow("no embedding here") << "7FFFFFFF" << "No se puede abrir el programa dentro de la ventana 7FFFFFFF";
}

void TestGuiMainWindow::unusableHandleStaysStandAlone() {
    QFETCH(QString, handle);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    ShownMessages shown;
    TMForm form({"nada", handle}, paths);
    QCOMPARE(shown.texts.size(), 1);
    QVERIFY2(shown.texts[0].startsWith(message), qPrintable(shown.texts[0]));
    QCOMPARE(shown.isError, QList<bool>{true});
    QVERIFY(!form.state().hostMode);
    QVERIFY(!(form.windowFlags() & Qt::FramelessWindowHint));
    form.show();
    QVERIFY(form.isVisible());
    form.close();
    QVERIFY(!QFile::exists(paths.iniPath));
}

void TestGuiMainWindow::directionRunsBeforeTheWindowShows() {
    // The direction word is honoured even when the handle did not parse.
    QTemporaryDir dir;
    const Paths paths = TestSupport::pathsIn(dir.path());
    ShownMessages shown;
    TMForm form({"ExPortar", "zz"}, paths);
    bool visibleDuringDialog = true;
    QTimer::singleShot(0, &form, [&] {
        visibleDuringDialog = form.isVisible();
        form.OpenDialogXML->reject();
    });
    form.show();
    QVERIFY(!visibleDuringDialog);
    QCOMPARE(shown.texts, (QStringList{"'$zz' no es un valor entero válido", Msg::NoFile}));
    // Stand-alone: the outcome stays, the window stays open and usable.
    QCOMPARE(form.state().outcome, 0);
    QVERIFY(form.isVisible());
    QVERIFY(form.BExportar->isEnabled());
    form.close();
    QVERIFY(!QFile::exists(paths.iniPath));
}

void TestGuiMainWindow::helpButton() {
    QTemporaryDir dir;
    TMForm form({}, TestSupport::pathsIn(dir.path()));
    int requests = 0;
    const auto saved = TMForm::HelpContentsHook;
    TMForm::HelpContentsHook = [&requests] { ++requests; };
    form.show();
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    TMForm::HelpContentsHook = saved;
    QCOMPARE(requests, 1);
    QVERIFY(saved); // the help system's contents request is what the button gives by default
}

QTEST_MAIN(TestGuiMainWindow)
#include "test_gui_main_window.moc"
