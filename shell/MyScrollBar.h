// Vertical scrollbar bound to one browser view: measures the page, scrolls it
// by differences and follows the wheel.
#pragma once

#include <QScrollBar>

class TWebBrowser;

class TMyScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit TMyScrollBar(QWidget* owner = nullptr);
    ~TMyScrollBar() override;

    TWebBrowser* m_web = nullptr;
    bool m_reset = false;
    int m_lastPos = 0;
    int m_maxPos = 0;

    void BindWeb();
    void WebProgressChange(int progress, int progressMax);
    void UpdateRange();
    void ResetPos();
    void ScrollUp();
    void ScrollDown();
    void BarChange();
    void BarMouseEnter();
    // PageSize of the base bar (QScrollBar keeps it as pageStep).
};
