// The category tree: the fixed first node and the top level at start-up, every
// deeper level on the first expansion of its parent, a search on selection.
#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include <charconv>

#include "browse/BrowseCommon.h"
#include "service/Data.h"
#include "service/Request.h"
#include "shell/Unit1.h"

namespace {

constexpr int CidRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;

// Rows of an answer the root level looks at, and the most children one
// expansion adds.
constexpr int RootRows = 71;
constexpr int MaxChildren = 61;

// A category id as the service writes it: a whole decimal number in 32 bits.
bool ReadCid(const std::string& text, int32_t& cid) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), cid);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

TCategoryDelegate::TCategoryDelegate(std::function<QColor()> textColor, QObject* parent)
    : QStyledItemDelegate(parent), m_textColor(std::move(textColor)) {}

void TCategoryDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->state & QStyle::State_Selected) {
        const QColor background(0x80, 0xFF, 0xFF);
        option->backgroundBrush = background;
        option->palette.setColor(QPalette::Highlight, background);
        option->palette.setColor(QPalette::HighlightedText, QColor(0xFF, 0x00, 0x00));
        option->palette.setColor(QPalette::Text, QColor(0xFF, 0x00, 0x00));
    } else {
        option->palette.setColor(QPalette::Text, m_textColor());
    }
}

void TCategoryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (opt.state & QStyle::State_Selected) {
        // Our own colours, not the style's selection look.
        painter->fillRect(opt.rect, opt.backgroundBrush);
        opt.state &= ~QStyle::State_Selected;
        opt.backgroundBrush = Qt::NoBrush;
        opt.palette.setColor(QPalette::Text, QColor(0xFF, 0x00, 0x00));
    }
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

QString TForm1::NodeCid(const QTreeWidgetItem* node) {
    if (!node) return QStringLiteral("0");
    // A placeholder stands in for its parent's children: it searches its parent.
    if (IsPlaceholder(node) && node->parent()) node = node->parent();
    return QString::number(node->data(0, CidRole).toInt());
}

bool TForm1::IsPlaceholder(const QTreeWidgetItem* node) {
    // Every category node carries its id; a category with an empty name from
    // the service is still a category, not a placeholder.
    return node && !node->data(0, CidRole).isValid();
}

const ATb_Itemcats_Info* TForm1::FetchCategories(const std::string& parentCid) {
    Tb_Itemcats_Cond cond;
    cond.pid = PublisherId;
    cond.url = ServerUrl + TbItemcatsPath;
    cond.parent_cid = parentCid;
    const ATb_Itemcats_Info* rows = nullptr;
    TBusyCursor busy;
    if (!Taobao_Itemcats1->Fetch(cond, Tb_Itemcats_Info{}, rows)) return nullptr;
    return rows;
}

QTreeWidgetItem* TForm1::AddCategoryNode(QTreeWidgetItem* parent, const Tb_Itemcats_Info& row, int image) {
    int32_t cid = 0;
    if (!ReadCid(row.cid, cid)) return nullptr; // not a category id: the row is not shown
    auto* node = new QTreeWidgetItem(QStringList{QString::fromStdString(row.name)});
    node->setData(0, CidRole, cid);
    node->setData(0, ImageRole, image);
    if (image >= 0 && image < ImageList3.size()) node->setIcon(0, QIcon(ImageList3.at(image)));
    if (parent)
        parent->addChild(node);
    else
        bsSkinTreeView1->addTopLevelItem(node);
    if (row.is_parent == "true") {
        // Shows the expand button; it can be neither selected nor reached with
        // the keyboard, so no search ever starts from it.
        auto* placeholder = new QTreeWidgetItem(node);
        placeholder->setFlags(Qt::NoItemFlags);
    }
    return node;
}

void TForm1::LoadCategoryRoot() {
    Tb_Itemcats_Info all;
    all.cid = "0";
    all.name = "所有类目";
    QTreeWidgetItem* root = AddCategoryNode(nullptr, all, 0);
    bsSkinTreeView1->setCurrentItem(root); // starts the first search

    const ATb_Itemcats_Info* rows = FetchCategories("0");
    if (!rows) return;
    for (int i = 0; i < RootRows; ++i) {
        const Tb_Itemcats_Info& row = (*rows)[i];
        if (row.cid.empty() || row.name == "error") continue;
        AddCategoryNode(nullptr, row, TopCategoryIcon(row.name));
    }
}

void TForm1::bsSkinTreeView1Expanding(QTreeWidgetItem* node) {
    if (!node || node->childCount() == 0 || !IsPlaceholder(node->child(0))) return;
    const ATb_Itemcats_Info* rows = FetchCategories(NodeCid(node).toStdString());
    if (!rows) return; // the placeholder stays; the next expansion asks again
    for (int i = node->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = node->child(i);
        if (!IsPlaceholder(child)) continue;
        ForgetNode(child);
        delete child;
    }
    const int image = node->data(0, ImageRole).toInt();
    for (int i = 0; i < MaxChildren; ++i) {
        const Tb_Itemcats_Info& row = (*rows)[i];
        if (row.cid.empty()) break;
        AddCategoryNode(node, row, image);
    }
}

void TForm1::bsSkinTreeView1Change(QTreeWidgetItem* node) {
    if (!m_treeChangeEnabled || !node || IsPlaceholder(node)) return;
    StartSearch();
}
