#include "shell/PictureButton.h"

#include <QMouseEvent>

TPictureButton::TPictureButton(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
}

void TPictureButton::SetPicture(const QPixmap& picture) {
    setPixmap(picture);
}

void TPictureButton::mousePressEvent(QMouseEvent* e) {
    ++m_pressed;
    move(pos() + QPoint(1, 1));
    e->accept();
}

void TPictureButton::mouseReleaseEvent(QMouseEvent* e) {
    if (m_pressed == 0) return; // the press went elsewhere
    --m_pressed;
    move(pos() - QPoint(1, 1));
    e->accept();
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}
