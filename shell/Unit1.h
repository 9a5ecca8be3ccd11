// The main window: every control and component of the layout, and the
// operations of the search workspace (search/), the browsing panels (browse/)
// and the shell itself (shell/). The class is declared here once; each folder
// implements its own operations in its own sources.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "service/Taobao_Itemcats.h"
#include "service/Taobao_Items.h"
#include "service/Taobaoke_Items.h"
#include "service/Taobaoke_Items_Convert.h"

class TWebBrowser;
class TMyScrollBar;
class TPictureButton;
class TOK;

// Private window messages, posted as events of these types to the window.
enum : int {
    WM_SEARCH_DONE = 1245,
    WM_SEARCH_FAILED = 1246,
    WM_UPDATE_DONE = 1055,
    WM_UPDATE_FAILED = 1056,
    WM_SYSMENU_POPUP = 787,
};

// No search worker is running. Written by the UI thread and the worker.
extern std::atomic<bool> g_searchIdle;

// ---- search workspace types (owned by search/) ----
// BEGIN search types
#include <QPointer>

#include "search/SearchWorker.h"
#include "search/Tab.h"
// END search types

// ---- browsing panel types (owned by browse/) ----
// BEGIN browse types
#include "browse/Seller.h"
// END browse types

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ===== layout (built by the constructor, shell/Unit1.cpp) =====
    QWidget *Panel3 = nullptr, *Panel5 = nullptr, *Panel2 = nullptr, *Panel4 = nullptr;
    QTabWidget* bsSkinNotebook1 = nullptr;
    QTreeWidget* bsSkinTreeView1 = nullptr;
    TWebBrowser *web2 = nullptr, *web3 = nullptr, *web4 = nullptr;
    TMyScrollBar *ScrollBar2 = nullptr, *ScrollBar3 = nullptr, *ScrollBar4 = nullptr;
    QWidget* Panel6 = nullptr;
    QWidget* Panel1 = nullptr; // work area
    QWidget* Panel9 = nullptr; // seller shop area, hidden at start
    TWebBrowser* webCount = nullptr;
    QPushButton* Button1 = nullptr;

    // filter bar
    QWidget* bsSkinPanel1 = nullptr;
    QLabel *bsSkinStdLabel1 = nullptr, *bsSkinStdLabel2 = nullptr, *bsSkinStdLabel3 = nullptr,
           *bsSkinStdLabel4 = nullptr;
    QComboBox* bsSkinComboBox1 = nullptr;   // keyword, editable
    QComboBox* bsSkinComboBoxEx3 = nullptr; // sort order pictures
    QSpinBox *bsSkinSpinEdit1 = nullptr, *bsSkinSpinEdit2 = nullptr;
    QCheckBox* bsSkinCheckRadioBox1 = nullptr;
    TPictureButton* bsSkinLinkImage1 = nullptr;
    QComboBox *bsSkinComboBoxEx1 = nullptr, *bsSkinComboBoxEx2 = nullptr; // credit pictures
    QComboBox* bsSkinComboBox3 = nullptr;                                 // region
    QComboBox* bsSkinComboBox4 = nullptr;                                 // display mode
    TPictureButton *Image1 = nullptr, *Image2 = nullptr;

    // result tabs: the strip and the one page under it
    QTabBar* bsSkinTabControl1 = nullptr;
    QWidget* bsSkinTabControl1Page = nullptr;
    TWebBrowser* web = nullptr;
    TMyScrollBar* ScrollBar = nullptr;
    QWidget* Panel8 = nullptr;

    // footer
    QWidget* Panel7 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* bsSkinLinkLabel1 = nullptr;
    QPushButton *IndexBut = nullptr, *BackBut = nullptr, *NextBut = nullptr, *TailBut = nullptr;
    QComboBox* ComboBoxPage = nullptr;

    // seller shop area
    QWidget* Panel10 = nullptr;
    QComboBox* ComboBox2 = nullptr; // display mode of the shop
    QPushButton *bsSkinButtonLabel4 = nullptr, *bsSkinButtonLabel1 = nullptr, *bsSkinButtonLabel2 = nullptr,
                *bsSkinButtonLabel3 = nullptr;
    QComboBox* ComboBox1 = nullptr; // shop page number
    QWidget* Panel11 = nullptr;
    TWebBrowser* webShop = nullptr;
    TMyScrollBar* MyScrollBar1 = nullptr;

    // picture lists
    QList<QPixmap> ImageList1, ImageList2, ImageList3, bsPngImageList1;

    // menus
    QMenu* bsSkinPopupMenu2 = nullptr; // window menu
    QAction *N2 = nullptr, *N3 = nullptr, *N5 = nullptr, *N4 = nullptr;
    QMenu* bsSkinPopupMenu3 = nullptr; // result-tab menu
    QAction *N6 = nullptr, *MenuItem1 = nullptr;

    // components
    std::unique_ptr<TTaobaoke_Items> Taobaoke_Items1;
    std::unique_ptr<TTaobao_Itemcats> Taobao_Itemcats1;
    std::unique_ptr<TTaobao_Items> Taobao_Items1;
    std::unique_ptr<TTaobaoke_Items_Convert> Taobaoke_Items_Convert1;
    std::unique_ptr<TOK> ok1;

    // ===== shell (shell/) =====
    void FormCreate();
    void HookScrollBars();
    void SetDefaultFilters();
    void CenterWindow();
    void PrepareViews();
    void Image1Click();
    void Image2Click();
    void WMUpdateDone();
    void WMUpdateFailed();
    void WMSysMenuPopup();
    void N2Click();
    void N3Click();
    void N4Click();
    void bsBusinessSkinForm1Minimize();
    void bsBusinessSkinForm1Restore();
    bool ApplicationEvents1Message(QObject* target, QEvent* event);
    // BEGIN shell members
    QWidget* m_client = nullptr;               // the 944 x 673 client area under the caption
    class TCaptionBar* m_captionBar = nullptr; // the skinned caption
    QColor m_activeFontColor;                  // skin: active font colour of the tab section
    QList<TMyScrollBar*> m_scrollBars;         // the five browser-linked bars
    void ScrollBar1MouseEnter(TMyScrollBar* bar);
    void bsSkinLinkLabel1Click();
    void LoadSkin();
    void BuildLayout();
    void BuildFilterBar();
    void BuildWorkArea();
    void BuildShopArea();
    void BuildNotebook();
    void BuildMenus();
    static QString EmptyPage();
    const QEvent* m_lastWheel = nullptr; // a wheel event propagating to parents counts once
    ulong m_lastWheelTime = 0;
    // END shell members

    // ===== search workspace (search/) =====
    // BEGIN search members
    // Called by the shell (constructor, event routing, destructor):
    void ConnectSearchHandlers(); // binds the filter bar, tab strip and pager
    void WMSearchDone();
    void WMSearchFailed();
    void Button1Click();
    void FreeTabs(); // releases the TAB records from the last to the first
    // Called by the browsing panels:
    void StartSearch();
    void ForgetNode(QTreeWidgetItem* node); // a tree node is about to be deleted
    std::atomic<bool> m_treeChangeEnabled{true};
    // Filter bar and search
    int32_t m_page = 1;                         // page the next or running request asks for
    bool m_pageChange = false;                  // the running request is a page change
    const ATbk_Items_Info* m_results = nullptr; // rows of the last successful search
    void NormalizeFilters();
    bool FindTab(int& index);
    void AddKeywordHistory();
    void EnableFilterBar(bool on);
    std::string FilterTabKey() const;        // tab key of the filter bar as it stands
    Tbk_Items_Cond SearchConditions() const; // request of the filter bar and selected node
    void CreateSearchWorker();
    void RunSearch(Tbk_Items_Cond cond); // on the search worker
    void bsSkinLinkImage1Click();
    void bsSkinComboBoxEx3Change();
    QPointer<TMyThread> m_worker;  // the last worker, until it is released
    bool m_workerQueued = false;   // created, waits for the event loop to take its snapshot
    bool m_requestRunning = false; // from the start of a request to the handling of its end
    int32_t m_requestPage = 1;     // page the running request asks for; tabs may change m_page meanwhile
    // Result tabs
    std::vector<std::unique_ptr<TAB>> m_tabs; // one per tab of the strip, same order
    int32_t m_popupTab = -1;
    TAB* CurrentTab() const;
    void StoreSearchResult();
    void CopyResultsToTab();
    void ShowTab(int index);
    void bsSkinTabControl1Change();
    bool bsSkinTabControl1Close(int index);
    void bsSkinTabControl1ContextPopup(const QPoint& pos);
    void bsSkinTabControl1MouseDown(Qt::MouseButton button, bool doubleClick, const QPoint& pos);
    void N6Click();
    void MenuItem1Click();
    // Result pages
    void RenderResults();
    void RenderListPage();
    void RenderPicturePage();
    void bsSkinComboBox4Change();
    // Paging
    void UpdatePager();
    void GoToPage();
    void IndexButClick();
    void BackButClick();
    void NextButClick();
    void TailButClick();
    void ComboBoxPageChange(int index);
    // END search members

    // ===== browsing panels (browse/) =====
    // BEGIN browse members
    // Called by the shell (constructor, FormCreate):
    void ConnectBrowseHandlers(); // binds the tree, notebook, seller list, shop
    void LoadCategoryRoot();
    // Called by the search workspace:
    void RenderSellerList();
    static QString NodeCid(const QTreeWidgetItem* node); // category id of a tree node ("0" at the root)
    // Category tree
    void bsSkinTreeView1Expanding(QTreeWidgetItem* node);
    void bsSkinTreeView1Change(QTreeWidgetItem* node);
    static bool IsPlaceholder(const QTreeWidgetItem* node); // stands for children not loaded yet
    QTreeWidgetItem* AddCategoryNode(QTreeWidgetItem* parent, const Tb_Itemcats_Info& row, int image);
    const ATb_Itemcats_Info* FetchCategories(const std::string& parentCid);
    // Seller list
    ASHOP_ITEM m_sellers;
    int32_t m_seller = -1; // seller whose shop was last asked for; -1 before any
    void ClearSellers();
    void web2BeforeNavigate2(const QString& url, bool* cancel);
    // Seller shop
    bool ShowShop(bool fromPager);
    void RenderShop();
    void RenderShopListPage();
    void RenderShopPicturePage();
    void UpdateShopPager();
    void GoToShopPage(int32_t pageNo); // a pager action: request the page, keep the old one on failure
    void bsSkinButtonLabel4Click();
    void bsSkinButtonLabel1Click();
    void bsSkinButtonLabel2Click();
    void bsSkinButtonLabel3Click();
    void ComboBox1Change(int index);
    void ComboBox2Change();
    void webShopBeforeNavigate2(const QString& url, bool* cancel);
    void OpenShopItem(int k);
    void HideShop();
    QLabel *ShopSiteLabel = nullptr, *ShopSiteLink = nullptr, *ShopContactLabel = nullptr,
           *ShopBillLink = nullptr; // left side of the shop footer
    // Published pages
    void bsSkinNotebook1PageChanged(int index);
    void web3DocumentComplete();
    void web4DocumentComplete();
    // END browse members

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
};
