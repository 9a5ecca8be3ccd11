#include "shell/CaptionBar.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QWindow>

#include "shell/Pictures.h"

TCaptionBar::TCaptionBar(QWidget* window, QMenu* windowMenu)
    : QWidget(window), m_window(window), m_menu(windowMenu) {
    setObjectName(QStringLiteral("CaptionBar"));
    setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 0, 4, 0);
    row->setSpacing(4);

    m_icon = new QToolButton(this);
    m_icon->setObjectName(QStringLiteral("CaptionMenuButton"));
    m_icon->setIcon(QIcon(Pictures::WindowIcon()));
    m_icon->setIconSize(QSize(16, 16));
    m_icon->setAutoRaise(true);
    m_icon->setFocusPolicy(Qt::NoFocus);
    connect(m_icon, &QToolButton::clicked, this,
            [this] { m_menu->popup(m_icon->mapToGlobal(QPoint(0, m_icon->height()))); });
    row->addWidget(m_icon);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("CaptionTitle"));
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(m_title, 1);
    connect(window, &QWidget::windowTitleChanged, m_title, &QLabel::setText);

    m_minimize = new QToolButton(this);
    m_minimize->setObjectName(QStringLiteral("CaptionMinimize"));
    m_minimize->setText(QStringLiteral("—"));
    m_minimize->setToolTip(QStringLiteral("最小化"));
    m_minimize->setFocusPolicy(Qt::NoFocus);
    connect(m_minimize, &QToolButton::clicked, this, &TCaptionBar::MinimizeRequested);
    row->addWidget(m_minimize);

    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("CaptionClose"));
    m_close->setText(QStringLiteral("✕"));
    m_close->setToolTip(QStringLiteral("关闭"));
    m_close->setFocusPolicy(Qt::NoFocus);
    connect(m_close, &QToolButton::clicked, this, &TCaptionBar::CloseRequested);
    row->addWidget(m_close);
}

void TCaptionBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        m_menu->popup(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemMove()) return;
    m_dragging = true;
    m_dragOffset = e->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
}

void TCaptionBar::mouseMoveEvent(QMouseEvent* e) {
    if (m_dragging) m_window->move(e->globalPosition().toPoint() - m_dragOffset);
}

void TCaptionBar::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void TCaptionBar::paintEvent(QPaintEvent*) {
    QStyleOption opt;
    opt.initFrom(this);
    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
}
