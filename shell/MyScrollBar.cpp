#include "shell/MyScrollBar.h"

#include <QResizeEvent>

#include "shell/WebBrowser.h"

TMyScrollBar::TMyScrollBar(QWidget* owner) : QScrollBar(Qt::Vertical, owner) {
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
    setMinimum(0);
    ApplyRange();
    setValue(0);
    setSingleStep(1);
    setPageStep(1);
    connect(this, &QScrollBar::valueChanged, this, &TMyScrollBar::BarChange);
}

TMyScrollBar::~TMyScrollBar() = default;

void TMyScrollBar::SetMax(int max) {
    m_max = max;
    ApplyRange();
}

void TMyScrollBar::SetPageSize(int pageSize) {
    m_pageSize = pageSize;
    ApplyRange();
}

void TMyScrollBar::ApplyRange() {
    // Changing the range clamps the position; a moved position scrolls the page
    // through BarChange like any other change.
    setMaximum(m_pageSize > 0 ? m_max - m_pageSize + 1 : m_max);
}

void TMyScrollBar::BindWeb() {
    if (m_progress) disconnect(m_progress);
    if (!m_web) return;
    m_progress = connect(m_web, &TWebBrowser::ProgressChange, this, &TMyScrollBar::WebProgressChange);
}

void TMyScrollBar::WebProgressChange(int, int) {
    UpdateRange();
}

void TMyScrollBar::UpdateRange() {
    if (!m_web) {
        setEnabled(true);
        setValue(0);
        emit RangeUpdated();
        return;
    }
    if (m_watched != m_web) {
        if (m_watched) m_watched->removeEventFilter(this);
        m_watched = m_web;
        m_web->installEventFilter(this);
    }
    QPointer<TMyScrollBar> self(this);
    m_web->BodyScrollHeight([self](std::optional<int> measured) {
        if (!self) return;
        TMyScrollBar& bar = *self;
        if (!measured || !bar.m_web) {
            bar.setEnabled(true);
            bar.setValue(0);
            emit bar.RangeUpdated();
            return;
        }
        const int h = *measured;
        const int viewHeight = bar.m_web->ViewHeight();
        if (h > viewHeight) {
            bar.m_max = h;
            bar.setSingleStep(80);
            bar.m_pageSize = viewHeight;
            bar.setPageStep(bar.m_pageSize);
            bar.m_maxPos = h - bar.m_pageSize + 1;
            bar.ApplyRange();
            bar.setEnabled(true);
        } else {
            bar.setEnabled(false);
        }
        if (bar.m_reset) {
            bar.setValue(0);
            bar.m_reset = false;
        } else if (bar.value() > 0) {
            bar.setValue(bar.value());
        }
        emit bar.RangeUpdated();
    });
}

void TMyScrollBar::ResetPos() {
    m_reset = true;
    setEnabled(false);
}

void TMyScrollBar::ScrollUp() {
    if (!isEnabled()) return;
    setValue(value() > 0 ? value() - 80 : 0);
}

void TMyScrollBar::ScrollDown() {
    if (!isEnabled()) return;
    setValue(value() < m_maxPos ? value() + 80 : m_maxPos);
}

void TMyScrollBar::BarChange() {
    const int dy = value() - m_lastPos;
    if (m_web) m_web->ScrollBy(0, dy);
    m_lastPos = value();
}

void TMyScrollBar::BarMouseEnter() {
    if (m_web) m_web->FocusView();
}

bool TMyScrollBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_web && m_web && e->type() == QEvent::Resize && m_web->HasDocument() &&
        static_cast<QResizeEvent*>(e)->size().height() != static_cast<QResizeEvent*>(e)->oldSize().height())
        UpdateRange();
    return QScrollBar::eventFilter(watched, e);
}

void TMyScrollBar::enterEvent(QEnterEvent* e) {
    QScrollBar::enterEvent(e);
    BarMouseEnter();
}
