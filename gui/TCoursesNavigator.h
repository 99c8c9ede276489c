#pragma once
// The navigator over the courses grid: ten buttons in a row, no insert and no delete. Held
// buttons repeat after 500 ms, then every 100 ms. The buttons never take the focus, so using
// them does not make the grid lose it.

#include <QWidget>
#include <array>

class QToolButton;

class TCoursesNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, PriorPage, Prior, Next, NextPage, Last, Edit, Post, Cancel, Refresh, ButtonCount };

    explicit TCoursesNavigator(QWidget *parent = nullptr);
    QToolButton *button(Button which) const { return m_buttons[which]; }
    // Enables the buttons that make sense for the current row and its pending state.
    void updateButtons(bool open, int row, int rowCount, bool editing);

signals:
    void clicked(TCoursesNavigator::Button which);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::array<QToolButton *, ButtonCount> m_buttons{};
};
