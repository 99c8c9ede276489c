#include "gui/TCoursesNavigator.h"

#include <QToolButton>

namespace {
struct ButtonDef {
    const char *name;
    const char *glyph;
    const char *hint;
};
// The hints are the navigator's own, in English as the host's component library has them.
constexpr ButtonDef Buttons[TCoursesNavigator::ButtonCount] = {
    {"nbFirst", "|\u25C0", "Move to first record"},
    {"nbPriorPage", "\u25C0\u25C0", "Move backward 10 records"},
    {"nbPrior", "\u25C0", "Move to prior record"},
    {"nbNext", "\u25B6", "Move to next record"},
    {"nbNextPage", "\u25B6\u25B6", "Move forward 10 records"},
    {"nbLast", "\u25B6|", "Move to last record"},
    {"nbEdit", "\u25B2", "Edit current record"},
    {"nbPost", "\u2714", "Post changes of current record"},
    {"nbCancel", "\u2716", "Cancel changes made to current record"},
    {"nbRefresh", "\u21BB", "Refresh the contents of the dataset"},
};
} // namespace

TCoursesNavigator::TCoursesNavigator(QWidget *parent) : QWidget(parent) {
    for (int i = 0; i < ButtonCount; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(Buttons[i].name));
        b->setText(QString::fromUtf8(Buttons[i].glyph));
        b->setToolTip(QString::fromLatin1(Buttons[i].hint));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(500);
        b->setAutoRepeatInterval(100);
        connect(b, &QToolButton::clicked, this, [this, i] { emit clicked(static_cast<Button>(i)); });
        m_buttons[static_cast<size_t>(i)] = b;
    }
}

void TCoursesNavigator::resizeEvent(QResizeEvent *) {
    // Equal widths; the remainder pixels go to the first buttons.
    const int w = width(), h = height();
    int x = 0;
    for (int i = 0; i < ButtonCount; ++i) {
        const int next = (w * (i + 1)) / ButtonCount;
        m_buttons[static_cast<size_t>(i)]->setGeometry(x, 0, next - x, h);
        x = next;
    }
}

void TCoursesNavigator::updateButtons(bool open, int row, int rowCount, bool editing) {
    const bool canBack = open && row > 0;
    const bool canForward = open && row >= 0 && row < rowCount - 1;
    for (Button b : {First, PriorPage, Prior})
        m_buttons[b]->setEnabled(canBack);
    for (Button b : {Next, NextPage, Last})
        m_buttons[b]->setEnabled(canForward);
    m_buttons[Edit]->setEnabled(open && !editing && rowCount > 0);
    m_buttons[Post]->setEnabled(open && editing);
    m_buttons[Cancel]->setEnabled(open && editing);
    m_buttons[Refresh]->setEnabled(open);
}
