#include "gui/TControlCursos.h"

#include "import/CourseCheck.h"
#include "import/CourseUnits.h"
#include "gui/TCoursesGrid.h"
#include "gui/TCoursesModel.h"
#include "gui/TCoursesNavigator.h"
#include "gui/GradientPanel.h"
#include "platform/RunError.h"
#include "seneca/Messages.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

std::function<void(QWidget *, const QString &, bool)> TControlCursos::MessageBoxHook;

namespace {

// The host's named colours.
const QColor Red(0xFF, 0x00, 0x00);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Yellow(0xFF, 0xFF, 0x00);
const QColor Maroon(0x80, 0x00, 0x00);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Fuchsia(0xFF, 0x00, 0xFF);
const QColor Purple(0x80, 0x00, 0x80);
const QColor SkyBlue(0xA6, 0xCA, 0xF0);

struct LabelSpec {
    const char *name;
    QRect geometry;
    QString text;
    QColor colour;
    QColor background; // invalid: transparent
    bool underline = false;
    int pixelSize = 0; // 0: the dialog's
    bool wrap = false;
    bool centred = false;
    bool visible = true;
};

QLabel *makeLabel(QWidget *parent, const LabelSpec &s) {
    auto *label = new QLabel(s.text, parent);
    label->setObjectName(QString::fromLatin1(s.name));
    label->setGeometry(s.geometry);
    QFont f = parent->font();
    f.setBold(true);
    f.setUnderline(s.underline);
    if (s.pixelSize > 0)
        f.setPixelSize(s.pixelSize);
    label->setFont(f);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, s.colour);
    if (s.background.isValid()) {
        p.setColor(QPalette::Window, s.background);
        label->setAutoFillBackground(true);
    }
    label->setPalette(p);
    label->setWordWrap(s.wrap);
    label->setAlignment(Qt::AlignTop | (s.centred ? Qt::AlignHCenter : Qt::AlignLeft));
    label->setVisible(s.visible);
    return label;
}

} // namespace

TControlCursos::TControlCursos(QWidget *owner, RunState &state) : QDialog(owner), m_state(state) {
    setObjectName(QStringLiteral("ControlCursos"));
    setWindowTitle(QStringLiteral("Asignación de Niveles y Cursos"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(686, 499);
    move(283, 200);

    const QColor green(0x00, 0x80, 0x00);
    Draw3D1 = new GradientPanel(green, Qt::white, green, this);
    Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
    Draw3D1->setGeometry(1, 1, 684, 496);

    Label1 = makeLabel(Draw3D1, {"Label1", {86, 5, 320, 20}, QStringLiteral("ASIGNACIÓN DE NIVELES Y CURSOS"), White,
                                 {}, true, 16});

    wwTableCursosT = new TCoursesModel(this);
    wwTableCursosT->setObjectName(QStringLiteral("wwTableCursosT"));
    wwTableCursosT->errorHandler = [this](const QString &message) { notify(message, true); };

    wwDBNavigator1 = new TCoursesNavigator(Draw3D1);
    wwDBNavigator1->setObjectName(QStringLiteral("wwDBNavigator1"));
    wwDBNavigator1->setGeometry(105, 29, 275, 24);

    CursosTDBGrid = new TCoursesGrid(wwTableCursosT, Draw3D1);
    CursosTDBGrid->setObjectName(QStringLiteral("CursosTDBGrid"));
    CursosTDBGrid->setGeometry(3, 56, 454, 433);

    Label3 = makeLabel(Draw3D1, {"Label3", {468, 56, 190, 13}, QStringLiteral("INCIDENCIAS EN EL TRASPASO"), Red, White,
                                 true, 0, false, true, false});
    Label2 = makeLabel(Draw3D1,
                       {"Label2", {473, 72, 180, 65},
                        QStringLiteral("Se ha detectado que falta por indicar algún NIVEL  o CURSO. Complete el/los datos "
                                       "que falten, para poder concluir el proceso, antes de Salir."),
                        Red, Yellow, false, 0, true, false, false});
    Label4 = makeLabel(Draw3D1, {"Label4", {471, 140, 116, 16}, QStringLiteral("¡ IMPORTANTE !"), Red, {}, true, 13});
    Label5 = makeLabel(Draw3D1, {"Label5", {472, 156, 185, 52},
                                 QStringLiteral("Las Abreviaturas de sus Grupos (Unidades), se formarán, en función del "
                                                "NIVEL y CURSO, del siguiente modo: "),
                                 Maroon, {}, false, 0, true});
    Label6 = makeLabel(Draw3D1, {"Label6", {472, 207, 140, 39},
                                 QStringLiteral("Por ejemplo, NIVEL=ESO y CURSO=1 daría como resultado"), Blue, {},
                                 false, 0, true});
    Label10 = makeLabel(Draw3D1, {"Label10", {473, 244, 180, 13}, QStringLiteral("Abreviatura del Grupo = ESO1A"),
                                  Fuchsia, {}, true});
    Label7 = makeLabel(Draw3D1, {"Label7", {472, 257, 200, 39},
                                 QStringLiteral("y así secuencialmente para el resto de Grupos del mismo NIVEL y CURSO, "
                                                "ESO1B, ESO1C."),
                                 Purple, {}, false, 0, true});
    Label11 = makeLabel(Draw3D1, {"Label11", {462, 300, 215, 52},
                                  QStringLiteral("Ejemplos de Niveles: BCT=Bach.C.T., BHC=Bach.Hum., BT=Bach.Tecnol., "
                                                 "LS=Leng.Signos, GAD=Gest.Admin., EDSO=ESO Diversificación, etc..."),
                                  Maroon, White, false, 0, true});
    Label9 = makeLabel(Draw3D1, {"Label9", {462, 354, 217, 39},
                                 QStringLiteral("Luego es de vital IMPORTANCIA que para cada NIVEL sus 5 Primeros "
                                                "caracteres sean DISTINTOS."),
                                 Red, SkyBlue, true, 0, true});

    QFont bold = font;
    bold.setBold(true);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Aceptar"), Draw3D1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(519, 397, 101, 25);
    BitBtn1->setFont(bold);
    BitBtn1->setDefault(true);

    BitBtn2 = new QPushButton(QStringLiteral("Forzar Salida Sin Terminar Proceso "), Draw3D1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(463, 424, 218, 24);
    BitBtn2->setFont(bold);
    QPalette redText = BitBtn2->palette();
    redText.setColor(QPalette::ButtonText, Red);
    BitBtn2->setPalette(redText);
    BitBtn2->setVisible(false);

    Label8 = makeLabel(Draw3D1, {"Label8", {479, 450, 182, 39},
                                 QStringLiteral("¡ Atención ! Si fuerza la Salida, los Datos recogidos serán "
                                                "INCOHERENTES."),
                                 Red, Yellow, false, 0, true, true, false});

    // Beside the navigator, where the right column starts; it moves none of the other controls.
    BProponer = new QPushButton(QStringLiteral("Proponer niveles y cursos"), Draw3D1);
    BProponer->setObjectName(QStringLiteral("BProponer"));
    BProponer->setGeometry(462, 29, 217, 24);
    BProponer->setFont(bold);
    BProponer->setToolTip(QStringLiteral("Completa los NIVEL y CURSO vacíos a partir del nombre de los estudios; "
                                         "no cambia lo ya escrito. Lo propuesto se ve en cursiva."));

    // The grid comes first in the tab order, so it has the focus when the dialog opens.
    setTabOrder(CursosTDBGrid, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BProponer);

    setProperty("helpContext", 1);
    for (QWidget *child : findChildren<QWidget *>())
        child->setProperty("helpContext", 1);

    connect(BitBtn1, &QPushButton::clicked, this, &TControlCursos::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TControlCursos::BitBtn2Click);
    connect(BProponer, &QPushButton::clicked, this, &TControlCursos::BProponerClick);
    connect(wwDBNavigator1, &TCoursesNavigator::clicked, this, [this](TCoursesNavigator::Button which) {
        try {
            CursosTDBGrid->navigate(which);
        } catch (const RunError &error) {
            notify(error.message(), true);
        }
    });
    connect(wwTableCursosT, &TCoursesModel::currentMoved, this, &TControlCursos::updateNavigator);
    connect(CursosTDBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &) {
                if (!current.isValid())
                    return;
                try {
                    wwTableCursosT->moveTo(current.row()); // posts the row being left
                } catch (const RunError &error) {
                    notify(error.message(), true);
                }
            });
    connect(CursosTDBGrid->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                // Only a move between columns; not the first cell the grid takes after a reload.
                if (current.isValid() && previous.isValid())
                    CursosTDBGridColEnter();
            });
    connect(qApp, &QApplication::focusChanged, this, &TControlCursos::focusMoved);
    updateNavigator();
}

TControlCursos::~TControlCursos() {
    // The grid and its editor go before QObject would drop the connection; focus moving
    // while they are destroyed must not reach the handlers.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

CourseDialogResult TControlCursos::Run(QWidget *owner, RunState &state) {
    TControlCursos dialog(owner, state);
    dialog.exec();
    return {dialog.MissingData, dialog.ExitWord};
}

void TControlCursos::notify(const QString &text, bool isError) {
    if (MessageBoxHook) {
        MessageBoxHook(this, text, isError);
        return;
    }
    const QString title = QGuiApplication::applicationDisplayName();
    if (isError)
        QMessageBox::critical(this, title, text);
    else
        QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this).exec();
}

void TControlCursos::updateNavigator() {
    wwDBNavigator1->updateButtons(wwTableCursosT->isOpen(), wwTableCursosT->currentRow(),
                                  wwTableCursosT->rowCount(), wwTableCursosT->editing());
}

void TControlCursos::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TControlCursos::keyPressEvent(QKeyEvent *event) {
    // No cancel button: Escape does not close the dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TControlCursos::focusMoved(QWidget *old, QWidget *now) {
    auto inGrid = [this](QWidget *w) { return w && (w == CursosTDBGrid || CursosTDBGrid->isAncestorOf(w)); };
    if (inGrid(now) && !inGrid(old))
        CursosTDBGridEnter();
    // Focus that goes to another window (a message box, another program) has not left the grid.
    else if (inGrid(old) && now && !inGrid(now) && now->window() == this)
        CursosTDBGridExit();
}

void TControlCursos::FormShow() {
    try {
        wwTableCursosT->open(m_state.tableFolder());
    } catch (const RunError &error) {
        notify(error.message(), true);
    }
    if (m_state.CourseCheckFailed) {
        BitBtn2->show();
        Label8->show();
    }
    if (std::optional<std::unordered_map<std::string, int>> units = UnitsPerCourse(m_state.document))
        wwTableCursosT->setUnits(std::move(*units));
    wwTableCursosT->markRemembered(m_state.rememberedCourseRows);
    if (wwTableCursosT->rowCount() > 0)
        CursosTDBGrid->setCurrentIndex(wwTableCursosT->index(0, 0));
    CursosTDBGrid->setFocus(Qt::OtherFocusReason);
    // The grid has the focus from the start; its enter handler runs at once.
    CursosTDBGridEnter();
}

void TControlCursos::CursosTDBGridEnter() {
    try {
        wwTableCursosT->startEdit();
    } catch (const RunError &error) {
        notify(error.message(), true);
    }
}

void TControlCursos::leaveGrid() {
    CursosTDBGrid->commitOpenEditor();
    wwTableCursosT->post();
}

void TControlCursos::CursosTDBGridExit() {
    try {
        leaveGrid();
    } catch (const RunError &error) {
        notify(error.message(), true);
    }
}

void TControlCursos::CursosTDBGridColEnter() {
    BitBtn2->hide();
    Label8->hide();
}

void TControlCursos::BitBtn1Click() {
    // A failure keeps the dialog open: an unchecked table is never passed on as complete.
    try {
        leaveGrid();
        if (!wwTableCursosT->isOpen())
            wwTableCursosT->open(m_state.tableFolder());
        MissingData = false;
        MissingData = CourseDataMissing(wwTableCursosT->table());
        if (MissingData) {
            wwTableCursosT->followTable(); // the grid shows the incomplete row under the message
            Label3->show();
            Label2->show();
            notify(Msg::MissingData, false);
            BitBtn2->show();
        }
        wwTableCursosT->close();
    } catch (const RunError &error) {
        notify(error.message(), true);
        return;
    }
    // Accepted: what was remembered or proposed is now the user's answer.
    m_state.rememberedCourseRows.clear();
    accept();
}

void TControlCursos::BProponerClick() {
    try {
        CursosTDBGrid->commitOpenEditor();
        if (!wwTableCursosT->isOpen())
            wwTableCursosT->open(m_state.tableFolder());
        wwTableCursosT->propose();
    } catch (const RunError &error) {
        notify(error.message(), true);
    }
}

void TControlCursos::BitBtn2Click() {
    // The forced exit always leaves, whatever the table does.
    try {
        leaveGrid();
        wwTableCursosT->close();
    } catch (const RunError &error) {
        notify(error.message(), true);
    }
    wwTableCursosT->abandon();
    MissingData = false;
    ExitWord = QStringLiteral("fuera");
    done(QDialog::Rejected);
}

void TControlCursos::reject() {
    try {
        leaveGrid();
        wwTableCursosT->close();
    } catch (const RunError &error) {
        notify(error.message(), true);
    }
    wwTableCursosT->abandon();
    QDialog::reject();
}
