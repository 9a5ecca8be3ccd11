// The window's own skinned caption: icon (opens the window menu), title,
// minimise and close. Dragging it moves the window; a right click opens the
// window menu at the pointer.
#pragma once

#include <QLabel>
#include <QToolButton>
#include <QWidget>

class QMenu;

class TCaptionBar : public QWidget {
    Q_OBJECT
public:
    TCaptionBar(QWidget* window, QMenu* windowMenu);
    QLabel* Title() const { return m_title; }
    QToolButton* MinimizeButton() const { return m_minimize; }
    QToolButton* CloseButton() const { return m_close; }
    QToolButton* MenuButton() const { return m_icon; }

signals:
    void MinimizeRequested();
    void CloseRequested();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QWidget* m_window;
    QMenu* m_menu;
    QToolButton* m_icon;
    QLabel* m_title;
    QToolButton* m_minimize;
    QToolButton* m_close;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
