#include "import/TGradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

void TGradientPanel::paintEvent(QPaintEvent *) {
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, QColor(0x00, 0x80, 0x00));
    gradient.setColorAt(0.5, Qt::white);
    gradient.setColorAt(1.0, QColor(0x00, 0x80, 0x00));
    QPainter(this).fillRect(rect(), gradient);
}
