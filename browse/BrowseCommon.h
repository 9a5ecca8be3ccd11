// Small pieces shared by the browsing panels' sources.
#pragma once

#include <QApplication>
#include <QColor>
#include <QStyledItemDelegate>

#include <functional>
#include <string>

// Busy pointer while a request blocks the user-interface thread.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Draws the category tree: the selected node red on light cyan, every other
// node in the text colour of the active result tab.
class TCategoryDelegate : public QStyledItemDelegate {
public:
    TCategoryDelegate(std::function<QColor()> textColor, QObject* parent);
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    std::function<QColor()> m_textColor;
};

// An address from an answer that may be opened outside the program: http or
// https with a host.
bool IsOutsideUrl(const std::string& url);
// Opens such an address in the user's browser; anything else is ignored.
void OpenOutside(const std::string& url);
