#pragma once
// A panel painted with a top-to-bottom gradient through three colours.

#include <QColor>
#include <QWidget>

class GradientPanel : public QWidget {
    Q_OBJECT
public:
    GradientPanel(const QColor &top, const QColor &middle, const QColor &bottom, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_top, m_middle, m_bottom;
};
