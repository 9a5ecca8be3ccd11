#include "shell/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QtMath>

#include "service/Data.h"

namespace {

QPixmap Blank(int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

QFont SmallFont(int pixelSize, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Microsoft YaHei"),
                   QStringLiteral("SimSun"), QStringLiteral("Sans Serif")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QPainterPath Heart(QPointF c, qreal s) {
    QPainterPath p;
    p.moveTo(c.x(), c.y() + s * 0.45);
    p.cubicTo(c.x() - s * 0.9, c.y() - s * 0.1, c.x() - s * 0.45, c.y() - s * 0.75, c.x(), c.y() - s * 0.25);
    p.cubicTo(c.x() + s * 0.45, c.y() - s * 0.75, c.x() + s * 0.9, c.y() - s * 0.1, c.x(), c.y() + s * 0.45);
    return p;
}

QPainterPath Diamond(QPointF c, qreal s) {
    QPainterPath p;
    p.moveTo(c.x() - s * 0.5, c.y() - s * 0.15);
    p.lineTo(c.x() - s * 0.25, c.y() - s * 0.45);
    p.lineTo(c.x() + s * 0.25, c.y() - s * 0.45);
    p.lineTo(c.x() + s * 0.5, c.y() - s * 0.15);
    p.lineTo(c.x(), c.y() + s * 0.5);
    p.closeSubpath();
    return p;
}

QPainterPath Crown(QPointF c, qreal s) {
    QPainterPath p;
    const qreal l = c.x() - s * 0.5, r = c.x() + s * 0.5, t = c.y() - s * 0.45, b = c.y() + s * 0.4;
    p.moveTo(l, b);
    p.lineTo(l, t + s * 0.15);
    p.lineTo(c.x() - s * 0.25, c.y() - s * 0.05);
    p.lineTo(c.x(), t);
    p.lineTo(c.x() + s * 0.25, c.y() - s * 0.05);
    p.lineTo(r, t + s * 0.15);
    p.lineTo(r, b);
    p.closeSubpath();
    return p;
}

void DrawArrow(QPainter& p, QRectF box, bool up, QColor colour) {
    QPainterPath a;
    const qreal cx = box.center().x();
    if (up) {
        a.moveTo(cx, box.top());
        a.lineTo(box.right(), box.top() + box.height() * 0.5);
        a.lineTo(box.left(), box.top() + box.height() * 0.5);
    } else {
        a.moveTo(cx, box.bottom());
        a.lineTo(box.right(), box.top() + box.height() * 0.5);
        a.lineTo(box.left(), box.top() + box.height() * 0.5);
    }
    a.closeSubpath();
    p.fillPath(a, colour);
    const qreal w = box.width() * 0.3;
    const QRectF stem = up ? QRectF(cx - w / 2, box.top() + box.height() * 0.5, w, box.height() * 0.5)
                           : QRectF(cx - w / 2, box.top(), w, box.height() * 0.5);
    p.fillRect(stem, colour);
}

} // namespace

namespace Pictures {

QList<QPixmap> SortLabels() {
    struct Label {
        const char* text;
        int arrow; // 0 none, 1 up, -1 down
    };
    static const Label labels[] = {{"默认排序", 0},
                                   {"价格从低到高", 1},
                                   {"价格从高到低", -1},
                                   {"信用从高到低", -1},
                                   {"销量从高到低", -1}};
    QList<QPixmap> out;
    for (const Label& l : labels) {
        QPixmap pm = Blank(103, 14);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QColor accent = l.arrow == 0 ? QColor(0x3a, 0x7b, 0xd5) : QColor(0xff, 0x55, 0x00);
        if (l.arrow == 0) {
            p.setBrush(accent);
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 3; ++i)
                p.drawRect(QRectF(2, 2.5 + i * 3.5, 9, 2));
        } else {
            DrawArrow(p, QRectF(2, 1.5, 9, 11), l.arrow > 0, accent);
        }
        p.setFont(SmallFont(12));
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawText(QRectF(15, 0, 88, 14), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(l.text));
        out.append(pm);
    }
    return out;
}

QList<QPixmap> CreditRanks() {
    QList<QPixmap> out;
    for (int kind = 0; kind < 4; ++kind) {
        for (int count = 1; count <= 5; ++count) {
            QPixmap pm = Blank(88, 22);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal s = 14;
            for (int i = 0; i < count; ++i) {
                const QPointF c(9 + i * 17, 11);
                QPainterPath shape;
                QColor fill, edge;
                switch (kind) {
                case 0:
                    shape = Heart(c, s);
                    fill = QColor(0xff, 0x33, 0x44);
                    edge = QColor(0xb0, 0x10, 0x20);
                    break;
                case 1:
                    shape = Diamond(c, s);
                    fill = QColor(0x3d, 0xa5, 0xf5);
                    edge = QColor(0x10, 0x5c, 0xb0);
                    break;
                case 2:
                    shape = Crown(c, s);
                    fill = QColor(0x4a, 0x78, 0xe0);
                    edge = QColor(0x1c, 0x3c, 0x96);
                    break;
                default:
                    shape = Crown(c, s);
                    fill = QColor(0xff, 0xc2, 0x1a);
                    edge = QColor(0xb0, 0x78, 0x00);
                    break;
                }
                QLinearGradient g(c.x(), c.y() - s / 2, c.x(), c.y() + s / 2);
                g.setColorAt(0, fill.lighter(140));
                g.setColorAt(1, fill);
                p.setBrush(g);
                p.setPen(QPen(edge, 1));
                p.drawPath(shape);
            }
            out.append(pm);
        }
    }
    return out;
}

QList<QPixmap> CategoryIcons() {
    QList<QPixmap> out;
    // Picture 0: the general picture, a small folder.
    {
        QPixmap pm = Blank(16, 16);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0xb0, 0x80, 0x10), 1));
        p.setBrush(QColor(0xff, 0xd0, 0x50));
        p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9.5), 1.5, 1.5);
        p.setBrush(QColor(0xff, 0xe0, 0x80));
        p.drawRoundedRect(QRectF(1.5, 2.5, 6, 3), 1, 1);
        out.append(pm);
    }
    for (size_t k = 0; k < TopCategoryNames.size(); ++k) {
        QPixmap pm = Blank(16, 16);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QColor base = QColor::fromHsv(static_cast<int>((k * 137) % 360), 150, 215);
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, base.lighter(120));
        g.setColorAt(1, base.darker(115));
        p.setBrush(g);
        p.setPen(QPen(base.darker(150), 1));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        const QString name = QString::fromUtf8(TopCategoryNames[k].data(), TopCategoryNames[k].size());
        p.setPen(Qt::white);
        p.setFont(SmallFont(11, true));
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, name.left(1));
        out.append(pm);
    }
    return out;
}

QList<QPixmap> NotebookIcons() {
    QList<QPixmap> out;
    for (int i = 0; i < 4; ++i) {
        QPixmap pm = Blank(16, 16);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        switch (i) {
        case 0: // categories: a small tree
            p.setPen(QPen(QColor(0x55, 0x77, 0x99), 1.2));
            p.drawLine(QPointF(4, 4), QPointF(4, 13));
            p.drawLine(QPointF(4, 8), QPointF(8, 8));
            p.drawLine(QPointF(4, 13), QPointF(8, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xff, 0x88, 0x00));
            p.drawRect(QRectF(1.5, 1.5, 5, 4));
            p.setBrush(QColor(0x33, 0x99, 0xdd));
            p.drawRect(QRectF(8.5, 6, 6, 4));
            p.drawRect(QRectF(8.5, 11, 6, 4));
            break;
        case 1: // sellers: a person
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xff, 0x66, 0x00));
            p.drawEllipse(QPointF(8, 5), 3.2, 3.2);
            p.drawRoundedRect(QRectF(2.5, 9, 11, 6.5), 3, 3);
            break;
        case 2: { // channels: a screen
            p.setPen(QPen(QColor(0x22, 0x66, 0xbb), 1.2));
            p.setBrush(QColor(0xcc, 0xe4, 0xff));
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 1.5, 1.5);
            p.drawLine(QPointF(5, 14.5), QPointF(11, 14.5));
            p.drawLine(QPointF(8, 11.5), QPointF(8, 14.5));
            break;
        }
        default: { // events: a flame
            QPainterPath f;
            f.moveTo(8, 1);
            f.cubicTo(13, 6, 14, 10, 12, 13);
            f.cubicTo(10.5, 15.5, 5.5, 15.5, 4, 13);
            f.cubicTo(2.5, 10, 5, 8, 6, 5);
            f.cubicTo(7, 7, 8, 7.5, 8, 1);
            QLinearGradient g(0, 1, 0, 15);
            g.setColorAt(0, QColor(0xff, 0xcc, 0x00));
            g.setColorAt(1, QColor(0xff, 0x33, 0x00));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawPath(f);
            break;
        }
        }
        out.append(pm);
    }
    return out;
}

QPixmap SearchButton() {
    QPixmap pm = Blank(57, 31);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient g(0, 0, 0, 31);
    g.setColorAt(0, QColor(0xff, 0x9a, 0x3c));
    g.setColorAt(0.5, QColor(0xff, 0x70, 0x00));
    g.setColorAt(1, QColor(0xe8, 0x55, 0x00));
    p.setBrush(g);
    p.setPen(QPen(QColor(0xc0, 0x44, 0x00), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 56, 30), 5, 5);
    // magnifier
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 14), 5, 5);
    p.drawLine(QPointF(15.5, 17.5), QPointF(19.5, 21.5));
    p.setFont(SmallFont(13, true));
    p.drawText(QRectF(21, 0, 34, 31), Qt::AlignCenter, QStringLiteral("搜索"));
    return pm;
}

QPixmap Calculator() {
    QPixmap pm = Blank(25, 25);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 25);
    g.setColorAt(0, QColor(0x6a, 0x7c, 0x92));
    g.setColorAt(1, QColor(0x3c, 0x4a, 0x5c));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x2a, 0x34, 0x40), 1));
    p.drawRoundedRect(QRectF(3.5, 1.5, 18, 22), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0xf0, 0xc0));
    p.drawRect(QRectF(6, 4, 13, 5));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            p.setBrush(r == 2 && c == 2 ? QColor(0xff, 0x88, 0x22) : QColor(0xee, 0xee, 0xee));
            p.drawRect(QRectF(6 + c * 4.6, 11 + r * 3.9, 3.4, 2.8));
        }
    return pm;
}

QPixmap Browser() {
    QPixmap pm = Blank(25, 25);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(10, 9), 13);
    g.setColorAt(0, QColor(0x9a, 0xd8, 0xff));
    g.setColorAt(1, QColor(0x1a, 0x74, 0xd0));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x10, 0x50, 0x9a), 1));
    p.drawEllipse(QPointF(12.5, 12.5), 10.5, 10.5);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12.5, 12.5), 4.5, 10.5);
    p.drawLine(QPointF(2, 12.5), QPointF(23, 12.5));
    p.drawLine(QPointF(4, 7), QPointF(21, 7));
    p.drawLine(QPointF(4, 18), QPointF(21, 18));
    return pm;
}

QPixmap WindowIcon() {
    QPixmap pm = Blank(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 16);
    g.setColorAt(0, QColor(0xff, 0x8a, 0x2a));
    g.setColorAt(1, QColor(0xe0, 0x4a, 0x00));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    // a shopping bag
    p.drawRoundedRect(QRectF(2, 5, 12, 10), 2, 2);
    p.setPen(QPen(QColor(0xe0, 0x4a, 0x00), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 1.5, 6, 7), 0, 180 * 16);
    p.setPen(Qt::white);
    p.setFont(SmallFont(9, true));
    p.drawText(QRectF(2, 5, 12, 10), Qt::AlignCenter, QStringLiteral("V"));
    return pm;
}

} // namespace Pictures
