#pragma once
// A panel painted from green at the top through white to green at the bottom.

#include <QWidget>

class TGradientPanel : public QWidget {
    Q_OBJECT
public:
    explicit TGradientPanel(QWidget *parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
};
