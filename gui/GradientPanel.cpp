#include "gui/GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

GradientPanel::GradientPanel(const QColor &top, const QColor &middle, const QColor &bottom, QWidget *parent)
    : QWidget(parent), m_top(top), m_middle(middle), m_bottom(bottom) {}

void GradientPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, m_top);
    gradient.setColorAt(0.5, m_middle);
    gradient.setColorAt(1.0, m_bottom);
    painter.fillRect(rect(), gradient);
}
