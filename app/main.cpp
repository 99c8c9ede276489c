#include "app/MainForm.h"
#include "help/HelpRequests.h"
#include "help/HelpSystem.h"
#include "help/NelHtmlHelp.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[]) {
    // The host's parameters as given: Qt takes options such as "-display" out of argv.
    QStringList parameters;
    for (int i = 1; i < argc; ++i)
        parameters << QString::fromLocal8Bit(argv[i]);

    QApplication app(argc, argv);
    // The toolkit's own texts (dialog buttons, the file dialog) in Spanish, whatever the
    // desktop's language, where the translations are installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);
    // The windows are laid out for the narrow fonts of the host's platform; where those are
    // missing, fonts of the same widths take their place so every label's text fits.
    for (const QString &family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")})
        QFont::insertSubstitutions(family, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                            QStringLiteral("DejaVu Sans Condensed")});
    StartNelHtmlHelp();
    SetApplicationHelpFile(QString::fromLatin1(HelpFileName));
    QApplication::setApplicationDisplayName(QStringLiteral("TransVelkorSeneca"));
    InstallHelpKey(app);
    // Closing the main window ends the program, and nothing else does: embedded in the host's
    // window it is no top-level window, so Qt would otherwise quit when a message box closes.
    QApplication::setQuitOnLastWindowClosed(false);

    int exitCode = 0;
    {
        TMForm form(parameters);
        QObject::connect(&form, &TMForm::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        form.show();
        // A host run that ended while the window was being shown: it was never visible.
        if (!form.hasClosed())
            exitCode = QApplication::exec();
    }
    EndNelHtmlHelp();
    return exitCode;
}
