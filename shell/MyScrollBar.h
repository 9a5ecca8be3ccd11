// Vertical scrollbar bound to one browser view: measures the page, scrolls it
// by differences and follows the wheel.
#pragma once

#include <QPointer>
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

    // The bar's own range model: Position runs from Min to Max - PageSize + 1
    // (to Max while PageSize is 0). QScrollBar keeps that upper end as its
    // maximum and LargeChange as its pageStep.
    int Min() const { return minimum(); }
    int Max() const { return m_max; }
    int PageSize() const { return m_pageSize; }
    int Position() const { return value(); }
    int SmallChange() const { return singleStep(); }
    int LargeChange() const { return pageStep(); }
    void SetMax(int max);
    void SetPageSize(int pageSize);
    void SetPosition(int position) { setValue(position); }

signals:
    // A measurement (UpdateRange) has been applied.
    void RangeUpdated();

protected:
    void enterEvent(QEnterEvent* e) override;
    // A measurement holds for the view's height at the time: a view that was
    // measured while hidden (a notebook page not shown yet has no real size)
    // is measured again once it gets its size.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void ApplyRange();
    int m_max = 100;
    int m_pageSize = 0;
    QMetaObject::Connection m_progress;
    QPointer<TWebBrowser> m_watched; // the view whose size changes re-measure the page
};
