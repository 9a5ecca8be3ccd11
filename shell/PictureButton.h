// A clickable picture with a hand cursor: pressing a mouse button moves the
// picture 1 pixel right and down, releasing moves it back; a left click that
// ends over the picture raises clicked().
#pragma once

#include <QLabel>
#include <QPixmap>

class TPictureButton : public QLabel {
    Q_OBJECT
public:
    explicit TPictureButton(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int m_pressed = 0; // buttons held down over the picture
};
