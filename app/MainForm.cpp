#include "app/MainForm.h"

#include "gui/GradientPanel.h"
#include "app/HostEmbedding.h"
#include "export/ExportDriver.h"
#include "import/ImportDriver.h"
#include "platform/IniFile.h"
#include "platform/RunError.h"
#include "report/Finding.h"

#include "help/HelpRequests.h"
#include "gui/TControlCursos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QWindow>

#include <algorithm>

namespace {

const QString AppTitle = QStringLiteral("TransVelkorSeneca");
constexpr int HelpContext = 1;
constexpr int HostWatchIntervalMs = 500;

void setHelpContext(QWidget *w) {
    w->setProperty(HelpContextProperty, HelpContext);
}

QFont windowFont() {
    QFont font;
    font.setFamily(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

QFont captionFont() {
    QFont font;
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                        QStyle::StandardPixmap icon = QStyle::SP_CustomBase) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    if (icon != QStyle::SP_CustomBase)
        button->setIcon(button->style()->standardIcon(icon));
    setHelpContext(button);
    return button;
}

GradientPanel *makePanel(QWidget *parent, const QString &name, const QRect &geometry, const QColor &top,
                         const QColor &middle, const QColor &bottom) {
    auto *panel = new GradientPanel(top, middle, bottom, parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    setHelpContext(panel);
    return panel;
}

} // namespace

std::function<void()> TMForm::HelpContentsHook = RequestHelpContents;
std::function<void(const QString &text, bool isError)> TMForm::MessageBoxHook;
std::function<bool(const QString &question)> TMForm::ReportQuestionHook;
std::function<bool(const QString &path)> TMForm::OpenReportHook;

TMForm::TMForm(const QStringList &parameters, Paths paths, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_state(std::move(paths)), m_commandLine(ParseHostCommandLine(parameters)) {
    buildWidgets();
    FormCreate();
}

TMForm::~TMForm() {
    if (!OpenDialogXML->parent())
        delete OpenDialogXML;
    // The host's window is the parent of this window's native window: that goes first.
    if (m_hostWindow) {
        destroy();
        delete m_hostWindow.data();
    }
}

void TMForm::buildWidgets() {
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(QStringLiteral("Exportar e importar datos entre Zetarium y Séneca"));
    setFixedSize(632, 266);
    setFont(windowFont());
    setHelpContext(this);

    const QColor warm(0xF9, 0xD3, 0x7D), white(Qt::white), warmEnd(0xFF, 0xEE, 0xDD);
    Draw3D2 = makePanel(this, QStringLiteral("Draw3D2"), {1, 0, 315, 169}, warm, white, warmEnd);
    Label3 = makeLabel(Draw3D2, QStringLiteral("Label3"),
                       QStringLiteral("Transformar datos desde Séneca hacia Zetarium "), {24, 24, 265, 57});
    BExportar = makeButton(Draw3D2, QStringLiteral("BExportar"), QStringLiteral("Aceptar"), {96, 120, 89, 25},
                           QStyle::SP_DialogOkButton);

    Draw3D3 = makePanel(this, QStringLiteral("Draw3D3"), {316, 0, 317, 169}, warm, white, warmEnd);
    Label4 = makeLabel(Draw3D3, QStringLiteral("Label4"),
                       QStringLiteral("Transformar datos desde Zetarium hacia Séneca"), {8, 24, 305, 57});
    BImportar = makeButton(Draw3D3, QStringLiteral("BImportar"), QStringLiteral("Aceptar"), {96, 120, 89, 25},
                           QStyle::SP_DialogOkButton);

    Draw3D1 = makePanel(this, QStringLiteral("Draw3D1"), {0, 168, 633, 97}, QColor(0xC2, 0xCD, 0xFE),
                        QColor(0xCF, 0xF2, 0xFE), QColor(0xCC, 0xD8, 0xE6));
    Label1 = makeLabel(Draw3D1, QStringLiteral("Label1"), QStringLiteral("TransZetariumSéneca para ZX14 V-1.1"),
                       {8, 72, 227, 13});
    BClose = makeButton(Draw3D1, QStringLiteral("BClose"), QStringLiteral("&Salir"), {256, 32, 89, 25},
                        QStyle::SP_DialogCloseButton);
    Button1 = makeButton(Draw3D1, QStringLiteral("Button1"), QStringLiteral("F1 AYUDA"), {264, 67, 75, 19});

    for (QLabel *caption : {Label3, Label4}) {
        caption->setFont(captionFont());
        caption->setWordWrap(true);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);
    // The label grows to its text, as a self-sizing label does, when the fall-back font is wider.
    Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

    OpenDialogXML = new QFileDialog(this, QStringLiteral("Archivo XML"));
    OpenDialogXML->setObjectName(QStringLiteral("OpenDialogXML"));
    OpenDialogXML->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialogXML->setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that does not exist is accepted: the direction then reports "No existe archivo".
    OpenDialogXML->setFileMode(QFileDialog::AnyFile);
    OpenDialogXML->setNameFilter(QStringLiteral("*.xml (*.xml)"));
    OpenDialogXML->setDefaultSuffix(QStringLiteral("xml"));
    OpenDialogXML->setDirectory(m_state.paths.dialogDir);

    connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(BClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);

    m_hostWatch.setInterval(HostWatchIntervalMs);
    connect(&m_hostWatch, &QTimer::timeout, this, &TMForm::hostWindowCheck);
}

template <class F> void TMForm::guarded(F &&body) {
    // Nothing may leave a Qt slot: whatever escapes is shown as the error display shows it.
    try {
        body();
    } catch (const RunError &e) {
        showError(e.message());
    } catch (const std::exception &e) {
        showError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showError(QStringLiteral("Error inesperado."));
    }
}

void TMForm::FormCreate() {
    m_state.sets.clear();
    m_state.outcome = 0;
    if (!m_commandLine.hostCall)
        return;
    if (!m_commandLine.hostWindow) {
        showError(m_commandLine.error);
        return;
    }
    QString why;
    m_hostWindow = EmbedInForeignWindow(this, *m_commandLine.hostWindow, &why);
    if (!m_hostWindow) {
        showError(why);
        return;
    }
    m_state.hostMode = true;
    m_hostWatch.start();
    windowHandle()->installEventFilter(this);
    // Inside the host's window the form is no top-level window, so no dialog can belong to
    // it: dialogs stand on their own, above the host's window.
    OpenDialogXML->setParent(nullptr, OpenDialogXML->windowFlags());
    attachToHost(OpenDialogXML);
}

void TMForm::setVisible(bool visible) {
    if (visible && !m_shown) {
        m_shown = true;
        if (!m_state.hostMode) {
            if (QScreen *screen = QGuiApplication::primaryScreen())
                move(screen->availableGeometry().center() - rect().center());
        }
        FormShow();
        if (m_closed)
            return;
    }
    QWidget::setVisible(visible);
}

void TMForm::FormShow() {
    if (!m_commandLine.hostCall)
        return;
    if (m_commandLine.runsImport())
        BImportarClick();
    if (m_commandLine.runsExport() && !m_closed)
        BExportarClick();
}

void TMForm::closeEvent(QCloseEvent *event) {
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    m_hostWatch.stop();
    FormClose();
    m_ended = true;
    emit closed();
}

void TMForm::FormClose() {
    if (!m_state.hostMode)
        return;
    const QString failure = IniFile::writeValue(m_state.paths.iniPath, QByteArrayLiteral("Transformadores"),
                                                QByteArrayLiteral("Transformado"),
                                                QByteArray::number(m_state.outcome));
    if (!failure.isEmpty())
        showError(failure);
}

void TMForm::BExportarClick() {
    guarded([this] { ::BExportarClick(m_state, *this); });
}

void TMForm::BImportarClick() {
    guarded([this] { ::BImportarClick(m_state, *this); });
}

void TMForm::Button1Click() {
    guarded([] {
        if (HelpContentsHook)
            HelpContentsHook();
    });
}

bool TMForm::eventFilter(QObject *watched, QEvent *event) {
    if (m_hostWindow && watched == windowHandle() && event->type() == QEvent::MouseButtonPress)
        TakeKeyboardFocus(this);
    return QWidget::eventFilter(watched, event);
}

void TMForm::hostWindowCheck() {
    // The host's window is gone, and this window with it: hand the outcome back and end, also
    // from the middle of a run. The dialogs open now are cancelled, and whatever the run asks
    // of the user from here on is answered at once (see m_ended), so the run unwinds.
    if (!m_hostWindow)
        return;
    if (ForeignWindowExists(m_hostWindow->winId())) {
        FollowHostSize(this, m_hostWindow);
        return;
    }
    close();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
}

QWidget *TMForm::dialogOwner() {
    return m_hostWindow ? nullptr : this;
}

void TMForm::attachToHost(QWidget *dialog) {
    if (!m_hostWindow)
        return;
    dialog->winId();
    dialog->windowHandle()->setTransientParent(m_hostWindow);
}

std::optional<QString> TMForm::chooseFile(const QString &initialFolder) {
    if (m_ended)
        return std::nullopt;
    OpenDialogXML->setDirectory(initialFolder);
    OpenDialogXML->selectFile(QString());
    if (OpenDialogXML->exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = OpenDialogXML->selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

void TMForm::showMessage(const QString &text) {
    if (m_ended)
        return;
    if (MessageBoxHook)
        return MessageBoxHook(text, false);
    QMessageBox box(QMessageBox::Information, AppTitle, text, QMessageBox::Ok, dialogOwner());
    attachToHost(&box);
    box.exec();
}

void TMForm::showError(const QString &text) {
    if (m_ended)
        return;
    if (MessageBoxHook)
        return MessageBoxHook(text, true);
    QMessageBox box(QMessageBox::Critical, AppTitle, text, QMessageBox::Ok, dialogOwner());
    attachToHost(&box);
    box.exec();
}

void TMForm::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

CourseDialogResult TMForm::editCourses(RunState &state) {
    if (m_ended)
        return {false, QStringLiteral("fuera")}; // the forced exit: the run ends here
    return TControlCursos::Run(dialogOwner(), state);
}

void TMForm::disableDirectionButtons() {
    BExportar->setEnabled(false);
    BImportar->setEnabled(false);
}

void TMForm::closeMainWindow() {
    close();
}

void TMForm::offerReport(const QString &path, int errors, int avisos) {
    if (m_ended || m_state.hostMode)
        return;
    const QString question =
        QStringLiteral("El informe de comprobación tiene %1 y %2:\n%3\n\n¿Desea abrirlo en el navegador?")
            .arg(CountedLevel(FindingLevel::Error, errors), CountedLevel(FindingLevel::Aviso, avisos),
                 QDir::toNativeSeparators(path));
    bool open = false;
    if (ReportQuestionHook) {
        open = ReportQuestionHook(question);
    } else {
        QMessageBox box(QMessageBox::Question, AppTitle, question, QMessageBox::Yes | QMessageBox::No, dialogOwner());
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
        box.button(QMessageBox::No)->setText(QStringLiteral("No"));
        box.setDefaultButton(QMessageBox::Yes);
        open = box.exec() == QMessageBox::Yes;
    }
    if (!open)
        return;
    const bool opened = OpenReportHook ? OpenReportHook(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        showError(QStringLiteral("No se ha podido abrir el informe «%1» en el navegador.").arg(QDir::toNativeSeparators(path)));
}
