// The filter bar and the execution of a search.
#include "shell/Unit1.h"

#include "search/SearchWorker.h"
#include "search/TabKey.h"
#include "service/Data.h"
#include "service/Request.h"
#include "shell/MyScrollBar.h"
#include "shell/PictureButton.h"
#include "shell/WebBrowser.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>

std::atomic<bool> g_searchIdle{true};

namespace {

const char* const SearchingCaption = "正在搜索商品，请稍后......";
const char* const FoundCaption = "Velmora";
const char* const NotFoundCaption = "Brindlemart";

// Entry of a table at a selector position; empty when nothing is selected.
template <size_t N> std::string TableEntry(const std::array<std::string_view, N>& table, int index) {
    if (index < 0 || index >= static_cast<int>(N)) return {};
    return std::string(table[index]);
}

// Double clicks on the tab strip, with the button that made them.
class TTabStripWatcher : public QObject {
public:
    TTabStripWatcher(TForm1* form) : QObject(form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonDblClick && watched == m_form->bsSkinTabControl1) {
            auto* me = static_cast<QMouseEvent*>(e);
            m_form->bsSkinTabControl1MouseDown(me->button(), true, me->position().toPoint());
            return true;
        }
        return false;
    }

private:
    TForm1* m_form;
};

QString KeywordText(const QComboBox* box) {
    return box->currentText();
}

// The price as the spin edit shows it, in decimal.
std::string SpinText(const QSpinBox* box) {
    return std::to_string(box->value());
}

} // namespace

void TForm1::ConnectSearchHandlers() {
    // The keyword history is kept by AddKeywordHistory alone.
    bsSkinComboBox1->setInsertPolicy(QComboBox::NoInsert);
    connect(bsSkinLinkImage1, &TPictureButton::clicked, this, [this] { bsSkinLinkImage1Click(); });
    connect(bsSkinComboBoxEx3, &QComboBox::activated, this, [this](int) { bsSkinComboBoxEx3Change(); });
    connect(bsSkinComboBox4, &QComboBox::activated, this, [this](int) { bsSkinComboBox4Change(); });

    // Enter reaches Button1Click through the window's shortcut (shell).
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    // Tab strip: close buttons, hot tracking, the tab menu, double clicks.
    bsSkinTabControl1->setTabsClosable(true);
    bsSkinTabControl1->setAttribute(Qt::WA_Hover);
    bsSkinTabControl1->setMouseTracking(true);
    connect(bsSkinTabControl1, &QTabBar::currentChanged, this, [this](int) { bsSkinTabControl1Change(); });
    connect(bsSkinTabControl1, &QTabBar::tabCloseRequested, this, [this](int index) {
        if (!bsSkinTabControl1Close(index)) return;
        QSignalBlocker block(bsSkinTabControl1);
        bsSkinTabControl1->removeTab(index);
    });
    // The shell opens the tab menu on the same request.
    connect(bsSkinTabControl1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { bsSkinTabControl1ContextPopup(pos); });
    connect(N6, &QAction::triggered, this, [this] { N6Click(); });
    connect(MenuItem1, &QAction::triggered, this, [this] { MenuItem1Click(); });
    bsSkinTabControl1->installEventFilter(new TTabStripWatcher(this));

    // Pager
    connect(IndexBut, &QPushButton::clicked, this, [this] { IndexButClick(); });
    connect(BackBut, &QPushButton::clicked, this, [this] { BackButClick(); });
    connect(NextBut, &QPushButton::clicked, this, [this] { NextButClick(); });
    connect(TailBut, &QPushButton::clicked, this, [this] { TailButClick(); });
    ComboBoxPage->setMaxVisibleItems(12);
    connect(ComboBoxPage, &QComboBox::activated, this, [this](int index) { ComboBoxPageChange(index); });
}

void TForm1::bsSkinLinkImage1Click() {
    StartSearch();
}

void TForm1::Button1Click() {
    if (Button1->isHidden()) return; // the seller shop is shown
    StartSearch();
}

void TForm1::bsSkinComboBoxEx3Change() {
    if (m_tabs.empty()) return;
    StartSearch();
}

void TForm1::StartSearch() {
    // The worker ends just after posting its completion message: until that
    // message is handled the window is still busy with the request.
    if (!g_searchIdle || m_requestRunning) return;
    NormalizeFilters();
    int index = -1;
    if (FindTab(index)) {
        ShowTab(index);
        return;
    }
    m_page = 1;
    m_pageChange = false;
    AddKeywordHistory();
    ScrollBar->ResetPos();
    CreateSearchWorker();
    EnableFilterBar(false);
}

void TForm1::NormalizeFilters() {
    const QString keyword = KeywordText(bsSkinComboBox1);
    qsizetype b = 0, e = keyword.size();
    while (b < e && keyword[b].unicode() <= 32)
        ++b;
    while (e > b && keyword[e - 1].unicode() <= 32)
        --e;
    if (b != 0 || e != keyword.size()) bsSkinComboBox1->setEditText(keyword.mid(b, e - b));

    if (bsSkinSpinEdit1->value() > bsSkinSpinEdit2->value()) {
        const int low = bsSkinSpinEdit2->value();
        bsSkinSpinEdit2->setValue(bsSkinSpinEdit1->value());
        bsSkinSpinEdit1->setValue(low);
    }
    if (bsSkinComboBoxEx1->currentIndex() > bsSkinComboBoxEx2->currentIndex()) {
        const int low = bsSkinComboBoxEx2->currentIndex();
        bsSkinComboBoxEx2->setCurrentIndex(bsSkinComboBoxEx1->currentIndex());
        bsSkinComboBoxEx1->setCurrentIndex(low);
    }
}

std::string TForm1::FilterTabKey() const {
    const QTreeWidgetItem* node = bsSkinTreeView1->currentItem();
    return TabKey(KeywordText(bsSkinComboBox1).toStdString(),
                  node ? node->text(0).toStdString() : std::string(), SpinText(bsSkinSpinEdit1),
                  SpinText(bsSkinSpinEdit2), bsSkinComboBoxEx3->currentIndex(),
                  bsSkinComboBoxEx1->currentIndex(), bsSkinComboBoxEx2->currentIndex(),
                  bsSkinComboBox3->currentIndex(), bsSkinCheckRadioBox1->isChecked());
}

bool TForm1::FindTab(int& index) {
    const std::string key = FilterTabKey();
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs[i]->Key == key) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void TForm1::AddKeywordHistory() {
    const QString keyword = KeywordText(bsSkinComboBox1);
    if (keyword.isEmpty()) return;
    if (bsSkinComboBox1->findText(keyword, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return;
    bsSkinComboBox1->addItem(keyword);
    bsSkinComboBox1->setEditText(keyword); // adding may select an entry; the box keeps what was typed
}

void TForm1::EnableFilterBar(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{bsSkinComboBox1, bsSkinComboBox3, bsSkinSpinEdit1,
                                                      bsSkinSpinEdit2, bsSkinLinkImage1, bsSkinComboBoxEx1,
                                                      bsSkinComboBoxEx2, bsSkinComboBoxEx3,
                                                      bsSkinCheckRadioBox1, ComboBoxPage, bsSkinComboBox4})
        w->setEnabled(on);
    if (!on) {
        for (QPushButton* b : {BackBut, NextBut, TailBut, IndexBut})
            b->setEnabled(false);
    }
}

Tbk_Items_Cond TForm1::SearchConditions() const {
    Tbk_Items_Cond cond;
    cond.pid = PublisherId;
    cond.url = ServerUrl + TbkItemsPath;
    cond.keyword = KeywordText(bsSkinComboBox1).toStdString();
    if (const QTreeWidgetItem* node = bsSkinTreeView1->currentItem()) cond.cid = NodeCid(node).toStdString();
    cond.start_price = SpinText(bsSkinSpinEdit1);
    cond.end_price = SpinText(bsSkinSpinEdit2);
    cond.sort = TableEntry(SortKeys, bsSkinComboBoxEx3->currentIndex());
    cond.start_credit = TableEntry(CreditNames, bsSkinComboBoxEx1->currentIndex());
    cond.end_credit = TableEntry(CreditNames, bsSkinComboBoxEx2->currentIndex());
    cond.area = TableEntry(Areas, bsSkinComboBox3->currentIndex());
    if (bsSkinCheckRadioBox1->isChecked()) cond.guarantee = "true";
    cond.page_no = std::to_string(m_requestPage);
    return cond;
}

void TForm1::CreateSearchWorker() {
    // A worker that has already reported may still be finishing; let it end
    // before the next one takes over the search component.
    if (m_worker) m_worker->wait();
    g_searchIdle = false;
    m_workerQueued = true;
    // Showing a tab while the request runs sets m_page to that tab's page; the
    // request and its result keep the page asked for here.
    m_requestRunning = true;
    m_requestPage = m_page;
    // The conditions are read once the event loop runs again: the first search
    // is asked for while the window is still being created, before the
    // start-up defaults of the filter bar are set.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_workerQueued = false;
            m_worker = new TMyThread(this, SearchConditions());
        },
        Qt::QueuedConnection);
}

void TForm1::RunSearch(Tbk_Items_Cond cond) {
    QMetaObject::invokeMethod(
        this, [this] { setWindowTitle(QString::fromUtf8(SearchingCaption)); }, Qt::QueuedConnection);
    const ATbk_Items_Info* rows = nullptr;
    const bool found = Taobaoke_Items1->Fetch(std::move(cond), Tbk_Items_Info{}, rows);
    if (found) m_results = rows;
    QCoreApplication::postEvent(
        this, new QEvent(static_cast<QEvent::Type>(found ? WM_SEARCH_DONE : WM_SEARCH_FAILED)));
}

void TForm1::WMSearchDone() {
    m_requestRunning = false;
    StoreSearchResult();
    EnableFilterBar(true);
    setWindowTitle(QString::fromUtf8(FoundCaption));
}

void TForm1::WMSearchFailed() {
    m_requestRunning = false;
    setWindowTitle(QString::fromUtf8(NotFoundCaption));
    QMessageBox box(QMessageBox::Question, QString::fromUtf8("惜哉..."),
                    QString::fromUtf8("很抱歉，没有搜索到相关数据  ╮(╯▽╰)╭"), QMessageBox::Ok, this);
    box.setObjectName("bsSkinMessage1");
    box.exec();
    EnableFilterBar(true);
}

void TForm1::FreeTabs() {
    // A running worker uses the search component and posts to this window.
    if (m_worker) {
        m_worker->wait();
        delete m_worker.data();
    }
    if (m_workerQueued) { // never started
        m_workerQueued = false;
        g_searchIdle = true;
    }
    while (!m_tabs.empty())
        m_tabs.pop_back();
}

void TForm1::ForgetNode(QTreeWidgetItem* node) {
    // A placeholder stands for the children of its parent: a tab that holds it
    // holds the parent from now on.
    for (auto& tab : m_tabs)
        if (tab->Node == node) tab->Node = node ? node->parent() : nullptr;
}
