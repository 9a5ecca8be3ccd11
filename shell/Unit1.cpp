// The main window: layout, start-up and shut-down, window chrome and the
// process-wide input filter of the browser views.
#include "shell/Unit1.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QThread>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "VelmoraConfig.h"
#include "service/Data.h"
#include "service/Request.h"
#include "shell/CaptionBar.h"
#include "shell/MyScrollBar.h"
#include "shell/PictureButton.h"
#include "shell/Pictures.h"
#include "shell/Platform.h"
#include "shell/WebBrowser.h"
#include "update/ok.h"

static void InitSkinResource() {
    Q_INIT_RESOURCE(skin);
}

namespace {

constexpr int kClientWidth = 944;
constexpr int kClientHeight = 673;
constexpr int kCaptionHeight = 30;

template <class W> W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QWidget* Panel(QWidget* parent, const char* name, const QRect& place) {
    auto* p = Named(new QWidget(parent), name);
    p->setAttribute(Qt::WA_StyledBackground);
    p->setGeometry(place);
    return p;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* l = Named(new QLabel(text, parent), name);
    l->move(at);
    l->adjustSize();
    return l;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, const QRect& place,
                    bool enabled) {
    auto* b = Named(new QPushButton(text, parent), name);
    b->setGeometry(place);
    b->setEnabled(enabled);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QComboBox* DropDownList(QWidget* parent, const char* name, const QRect& place) {
    auto* c = Named(new QComboBox(parent), name);
    c->setGeometry(place);
    return c;
}

// A browser view with its bar at the right edge, filling its parent.
void ViewWithBar(QWidget* page, TWebBrowser*& view, const char* viewName, TMyScrollBar*& bar,
                 const char* barName) {
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    view = Named(new TWebBrowser(page), viewName);
    bar = Named(new TMyScrollBar(page), barName);
    bar->setFixedWidth(19);
    bar->m_web = view;
    row->addWidget(view, 1);
    row->addWidget(bar);
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(Pictures::WindowIcon()));
    LoadSkin();
    BuildMenus();
    BuildLayout();

    // Non-visual components.
    Taobaoke_Items1 = std::make_unique<TTaobaoke_Items>();
    Taobao_Itemcats1 = std::make_unique<TTaobao_Itemcats>();
    Taobao_Items1 = std::make_unique<TTaobao_Items>();
    Taobaoke_Items_Convert1 = std::make_unique<TTaobaoke_Items_Convert>();
    ok1 = std::make_unique<TOK>();

    // Initial state.
    g_searchIdle = true;
    m_treeChangeEnabled = true;

    // Process-wide input filter of the browser views.
    qApp->installEventFilter(this);
    TPlatform::Instance().WatchTaskbarMenu(this);

    // Enter anywhere in the window goes to the default button while it is shown.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WindowShortcut);
        connect(enter, &QShortcut::activated, this, [this] {
            if (Button1->isVisibleTo(this)) Button1Click();
        });
    }

    ConnectSearchHandlers();
    ConnectBrowseHandlers();

    FormCreate();
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    FreeTabs();
    // A search worker still running uses Taobaoke_Items1 and posts to this
    // window: let it end (it is bounded by the catalogue read time-out) first.
    while (!g_searchIdle.load())
        QThread::msleep(5);
    Taobaoke_Items1.reset();
    Taobao_Itemcats1.reset();
    Taobao_Items1.reset();
    Taobaoke_Items_Convert1.reset();
    ok1.reset();
}

void TForm1::LoadSkin() {
    InitSkinResource();
    QFile qss(QStringLiteral(":/skin/velmora.qss"));
    if (qss.open(QIODevice::ReadOnly)) setStyleSheet(QString::fromUtf8(qss.readAll()));
    // Colours the drawing code reads, in the skin's own notation (0xBBGGRR).
    QSettings ini(QStringLiteral(":/skin/skin.ini"), QSettings::IniFormat);
    const uint bgr = ini.value(QStringLiteral("tab/activefontcolor"), 0).toUInt();
    m_activeFontColor = QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void TForm1::BuildMenus() {
    bsSkinPopupMenu2 = Named(new QMenu(this), "bsSkinPopupMenu2");
    N2 = Named(bsSkinPopupMenu2->addAction(QStringLiteral("还原")), "N2");
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    N2->setEnabled(false);
    N3 = Named(bsSkinPopupMenu2->addAction(QStringLiteral("最小化")), "N3");
    N3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    N5 = Named(bsSkinPopupMenu2->addSeparator(), "N5");
    N4 = Named(bsSkinPopupMenu2->addAction(QStringLiteral("关闭")), "N4");
    N4->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    // The shortcuts are shown in the menu and act while it is open; the window
    // does not route key strokes to it otherwise (Ctrl+C stays copy).
    for (QAction* a : {N2, N3, N4})
        a->setShortcutContext(Qt::WidgetShortcut);
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);

    bsSkinPopupMenu3 = Named(new QMenu(this), "bsSkinPopupMenu3");
    N6 = Named(bsSkinPopupMenu3->addAction(QStringLiteral("激活")), "N6");
    MenuItem1 = Named(bsSkinPopupMenu3->addAction(QStringLiteral("关闭")), "MenuItem1");
}

void TForm1::BuildLayout() {
    setFixedSize(kClientWidth, kClientHeight + kCaptionHeight);
    m_captionBar = new TCaptionBar(this, bsSkinPopupMenu2);
    m_captionBar->setGeometry(0, 0, kClientWidth, kCaptionHeight);
    connect(m_captionBar, &TCaptionBar::MinimizeRequested, this, [this] { showMinimized(); });
    connect(m_captionBar, &TCaptionBar::CloseRequested, this, [this] { close(); });

    m_client = Panel(this, "ClientArea", QRect(0, kCaptionHeight, kClientWidth, kClientHeight));
    QWidget* c = m_client;
    Panel3 = Panel(c, "Panel3", QRect(0, 0, kClientWidth, 3));
    Panel5 = Panel(c, "Panel5", QRect(0, kClientHeight - 3, kClientWidth, 3));
    Panel2 = Panel(c, "Panel2", QRect(0, 3, 3, kClientHeight - 6));
    Panel4 = Panel(c, "Panel4", QRect(kClientWidth - 3, 3, 3, kClientHeight - 6));

    BuildNotebook();

    Panel6 = Panel(c, "Panel6", QRect(3 + 263, 3, 3, kClientHeight - 6));
    const QRect work(3 + 263 + 3, 3, kClientWidth - 3 - 263 - 3 - 3, kClientHeight - 6); // 672 x 667
    Panel1 = Panel(c, "Panel1", work);
    Panel9 = Panel(c, "Panel9", work);
    Panel9->hide();
    BuildWorkArea();
    BuildShopArea();

    webCount = Named(new TWebBrowser(c), "webCount");
    webCount->setGeometry(0, -10, 0, 0);
    Button1 = Button(c, "Button1", QString(), QRect(8, 60, 0, 0), true);
    Button1->setDefault(true);

    m_scrollBars = {ScrollBar, MyScrollBar1, ScrollBar2, ScrollBar3, ScrollBar4};
}

void TForm1::BuildNotebook() {
    bsSkinNotebook1 = Named(new QTabWidget(m_client), "bsSkinNotebook1");
    bsSkinNotebook1->setGeometry(3, 3, 263, kClientHeight - 6);
    bsSkinNotebook1->setIconSize(QSize(16, 16));
    bsSkinNotebook1->setUsesScrollButtons(false); // the four pages share the width
    bsSkinNotebook1->setElideMode(Qt::ElideNone);
    bsPngImageList1 = Pictures::NotebookIcons();

    auto* page0 = Named(new QWidget, "bsSkinPage1");
    auto* treeBox = new QVBoxLayout(page0);
    treeBox->setContentsMargins(0, 0, 0, 0);
    bsSkinTreeView1 = Named(new QTreeWidget(page0), "bsSkinTreeView1");
    bsSkinTreeView1->setHeaderHidden(true);
    bsSkinTreeView1->setColumnCount(1);
    bsSkinTreeView1->setIndentation(19);
    bsSkinTreeView1->setRootIsDecorated(true);
    bsSkinTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bsSkinTreeView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    bsSkinTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    bsSkinTreeView1->setAllColumnsShowFocus(true);
    bsSkinTreeView1->setIconSize(QSize(16, 16));
    bsSkinTreeView1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    bsSkinTreeView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    treeBox->addWidget(bsSkinTreeView1);
    ImageList3 = Pictures::CategoryIcons();

    auto* page1 = Named(new QWidget, "bsSkinPage2");
    ViewWithBar(page1, web2, "web2", ScrollBar2, "ScrollBar2");
    auto* page2 = Named(new QWidget, "bsSkinPage3");
    ViewWithBar(page2, web3, "web3", ScrollBar3, "ScrollBar3");
    auto* page3 = Named(new QWidget, "bsSkinPage4");
    ViewWithBar(page3, web4, "web4", ScrollBar4, "ScrollBar4");

    bsSkinNotebook1->addTab(page0, QIcon(bsPngImageList1[0]), QStringLiteral("商品类目"));
    bsSkinNotebook1->addTab(page1, QIcon(bsPngImageList1[1]), QStringLiteral("淘宝卖家"));
    bsSkinNotebook1->addTab(page2, QIcon(bsPngImageList1[2]), QStringLiteral("淘宝频道"));
    bsSkinNotebook1->addTab(page3, QIcon(bsPngImageList1[3]), QStringLiteral("热门活动"));
    bsSkinNotebook1->setCurrentIndex(0);
}

void TForm1::BuildFilterBar() {
    bsSkinPanel1 = Panel(Panel1, "bsSkinPanel1", QRect(0, 0, Panel1->width(), 59));
    QWidget* bar = bsSkinPanel1;

    bsSkinStdLabel1 = Label(bar, "bsSkinStdLabel1", QStringLiteral("关键字："), QPoint(21, 10));
    bsSkinComboBox1 = DropDownList(bar, "bsSkinComboBox1", QRect(68, 6, 133, 20));
    bsSkinComboBox1->setEditable(true);
    bsSkinComboBox1->setInsertPolicy(QComboBox::NoInsert); // the history is kept by the search
    bsSkinComboBox1->setCurrentText(QString());

    ImageList1 = Pictures::SortLabels();
    bsSkinComboBoxEx3 = DropDownList(bar, "bsSkinComboBoxEx3", QRect(204, 6, 133, 20));
    bsSkinComboBoxEx3->setIconSize(QSize(103, 14));
    for (int i = 0; i < ImageList1.size(); ++i)
        bsSkinComboBoxEx3->addItem(QIcon(ImageList1[i]), QString(i + 1, QLatin1Char(' ')));

    bsSkinStdLabel2 = Label(bar, "bsSkinStdLabel2", QStringLiteral("价格："), QPoint(345, 10));
    for (auto [spin, name, x, value] : {std::tuple{&bsSkinSpinEdit1, "bsSkinSpinEdit1", 380, 0},
                                        std::tuple{&bsSkinSpinEdit2, "bsSkinSpinEdit2", 464, 999999999}}) {
        QSpinBox* s = Named(new QSpinBox(bar), name);
        s->setGeometry(x, 6, 81, 20);
        s->setRange(0, 999999999);
        s->setSingleStep(1);
        s->findChild<QLineEdit*>()->setMaxLength(9);
        s->setValue(value);
        *spin = s;
    }

    bsSkinCheckRadioBox1 = Named(new QCheckBox(QStringLiteral("消保"), bar), "bsSkinCheckRadioBox1");
    bsSkinCheckRadioBox1->setGeometry(550, 9, 52, 16);
    bsSkinCheckRadioBox1->setChecked(false);

    bsSkinLinkImage1 = Named(new TPictureButton(bar), "bsSkinLinkImage1");
    bsSkinLinkImage1->setGeometry(608, 12, 57, 31);
    bsSkinLinkImage1->SetPicture(Pictures::SearchButton());

    bsSkinStdLabel3 = Label(bar, "bsSkinStdLabel3", QStringLiteral("信用区间："), QPoint(9, 36));
    ImageList2 = Pictures::CreditRanks();
    for (auto [box, name, x] : {std::tuple{&bsSkinComboBoxEx1, "bsSkinComboBoxEx1", 68},
                                std::tuple{&bsSkinComboBoxEx2, "bsSkinComboBoxEx2", 204}}) {
        QComboBox* b = DropDownList(bar, name, QRect(x, 31, 133, 20));
        b->setIconSize(QSize(88, 22));
        for (const QPixmap& rank : ImageList2)
            b->addItem(QIcon(rank), QString());
        *box = b;
    }

    bsSkinStdLabel4 = Label(bar, "bsSkinStdLabel4", QStringLiteral("所在："), QPoint(345, 35));
    bsSkinComboBox3 = DropDownList(bar, "bsSkinComboBox3", QRect(380, 31, 81, 20));
    for (std::string_view area : AreaCaptions)
        bsSkinComboBox3->addItem(QString::fromUtf8(area.data(), static_cast<qsizetype>(area.size())));
    bsSkinComboBox3->setCurrentIndex(0);
    bsSkinComboBox3->setMaxVisibleItems(20);

    bsSkinComboBox4 = DropDownList(bar, "bsSkinComboBox4", QRect(464, 31, 81, 20));
    bsSkinComboBox4->addItems({QStringLiteral("大图显示"), QStringLiteral("列表显示")});
    bsSkinComboBox4->setCurrentIndex(0);

    Image1 = Named(new TPictureButton(bar), "Image1");
    Image1->setGeometry(550, 28, 25, 25);
    Image1->SetPicture(Pictures::Calculator());
    Image2 = Named(new TPictureButton(bar), "Image2");
    Image2->setGeometry(577, 28, 25, 25);
    Image2->SetPicture(Pictures::Browser());
    Image2->setToolTip(QStringLiteral("打开浏览器"));
    connect(Image1, &TPictureButton::clicked, this, &TForm1::Image1Click);
    connect(Image2, &TPictureButton::clicked, this, &TForm1::Image2Click);
}

void TForm1::BuildWorkArea() {
    BuildFilterBar();
    const int w = Panel1->width(), h = Panel1->height();
    constexpr int footer = 21, gap = 2, strip = 24;
    const int tabsTop = 59, tabsHeight = h - 59 - gap - footer;

    bsSkinTabControl1 = Named(new QTabBar(Panel1), "bsSkinTabControl1");
    bsSkinTabControl1->setGeometry(0, tabsTop, w, strip);
    bsSkinTabControl1->setTabsClosable(true);
    bsSkinTabControl1->setMovable(false);
    bsSkinTabControl1->setExpanding(false);
    bsSkinTabControl1->setUsesScrollButtons(true);
    bsSkinTabControl1->setDrawBase(false);
    bsSkinTabControl1->setAttribute(Qt::WA_Hover); // hot tracking
    bsSkinTabControl1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bsSkinTabControl1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { bsSkinPopupMenu3->popup(bsSkinTabControl1->mapToGlobal(at)); });

    bsSkinTabControl1Page =
        Panel(Panel1, "bsSkinTabControl1Page", QRect(0, tabsTop + strip, w, tabsHeight - strip));
    ViewWithBar(bsSkinTabControl1Page, web, "web", ScrollBar, "ScrollBar");

    Panel8 = Panel(Panel1, "Panel8", QRect(0, h - footer - gap, w, gap));
    Panel7 = Panel(Panel1, "Panel7", QRect(0, h - footer, w, footer));
    Label1 = Label(Panel7, "Label1", QStringLiteral("网址："), QPoint(3, 4));
    bsSkinLinkLabel1 = Named(new QLabel(QStringLiteral("淘宝官网"), Panel7), "bsSkinLinkLabel1");
    bsSkinLinkLabel1->setGeometry(41, 4, 130, 17);
    bsSkinLinkLabel1->setCursor(Qt::PointingHandCursor);
    bsSkinLinkLabel1->installEventFilter(this);

    // Docked right, from left to right: first, previous, page list, next, last.
    constexpr int bw = 40, listW = 36;
    int x = w - (4 * bw + listW);
    IndexBut = Button(Panel7, "IndexBut", QStringLiteral("首页"), QRect(x, 0, bw, footer), false);
    BackBut = Button(Panel7, "BackBut", QStringLiteral("上页"), QRect(x += bw, 0, bw, footer), false);
    ComboBoxPage = DropDownList(Panel7, "ComboBoxPage", QRect(x += bw, 0, listW, footer));
    ComboBoxPage->setEnabled(false);
    NextBut = Button(Panel7, "NextBut", QStringLiteral("下页"), QRect(x += listW, 0, bw, footer), false);
    TailBut = Button(Panel7, "TailBut", QStringLiteral("尾页"), QRect(x += bw, 0, bw, footer), false);
}

void TForm1::BuildShopArea() {
    const int w = Panel9->width(), h = Panel9->height();
    constexpr int footer = 21, gap = 5;
    Panel10 = Panel(Panel9, "Panel10", QRect(0, h - footer, w, footer));
    Panel11 = Panel(Panel9, "Panel11", QRect(0, h - footer - gap, w, gap));
    auto* shop = Panel(Panel9, "ShopPage", QRect(0, 0, w, h - footer - gap));
    ViewWithBar(shop, webShop, "webShop", MyScrollBar1, "MyScrollBar1");

    // Docked right, from left to right.
    constexpr int modeW = 73, bw = 40, listW = 36;
    int x = w - (modeW + 4 * bw + listW);
    ComboBox2 = DropDownList(Panel10, "ComboBox2", QRect(x, 0, modeW, footer));
    ComboBox2->addItems({QStringLiteral("列表显示"), QStringLiteral("大图显示")});
    ComboBox2->setCurrentIndex(0);
    bsSkinButtonLabel4 = Button(Panel10, "bsSkinButtonLabel4", QStringLiteral("首页"),
                                QRect(x += modeW, 0, bw, footer), false);
    bsSkinButtonLabel1 =
        Button(Panel10, "bsSkinButtonLabel1", QStringLiteral("上页"), QRect(x += bw, 0, bw, footer), false);
    ComboBox1 = DropDownList(Panel10, "ComboBox1", QRect(x += bw, 0, listW, footer));
    bsSkinButtonLabel2 = Button(Panel10, "bsSkinButtonLabel2", QStringLiteral("下页"),
                                QRect(x += listW, 0, bw, footer), false);
    bsSkinButtonLabel3 =
        Button(Panel10, "bsSkinButtonLabel3", QStringLiteral("尾页"), QRect(x += bw, 0, bw, footer), false);
}

// ---- start-up ----

void TForm1::FormCreate() {
    // 1-3: software information; the fallback server for the rest of the run
    // when the primary does not answer.
    SOFT_INFO info;
    if (!ok1->GetSoftInfo(ServerUrl + OkPath, PublisherId, info)) {
        ServerUrl = FallbackServerUrl;
        info = SOFT_INFO{};
        ok1->GetSoftInfo(ServerUrl + OkPath, PublisherId, info);
    }
    // 4: no self-update is started by this program.
    setWindowTitle(QStringLiteral("Brindlemart"));
    HookScrollBars();    // 5
    LoadCategoryRoot();  // 6
    SetDefaultFilters(); // 7
    CenterWindow();      // 8
    PrepareViews();      // 9
}

void TForm1::HookScrollBars() {
    ScrollBar->BindWeb();
    MyScrollBar1->BindWeb();
    ScrollBar2->BindWeb();
}

void TForm1::SetDefaultFilters() {
    bsSkinComboBoxEx1->setCurrentIndex(4);
    bsSkinComboBoxEx2->setCurrentIndex(19);
    bsSkinComboBoxEx3->setCurrentIndex(0);
}

void TForm1::CenterWindow() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : QSize(0, 0);
    const QRect outer = frameGeometry();
    // Integer division truncates toward zero, as the placement rule wants.
    const int left = (area.width() - outer.width()) / 2 - 10;
    const int top = (area.height() - outer.height()) / 2 - 15;
    move(left, top);
}

QString TForm1::EmptyPage() {
    return QStringLiteral(
        "<body leftMargin=0  topMargin=0 scroll=\"no\" style=\";width:100%; border-width=0;\"></body>");
}

void TForm1::PrepareViews() {
    const std::string empty = EmptyPage().toStdString();
    for (TWebBrowser* view : {web, web2, webShop}) {
        view->Navigate(QStringLiteral("about:blank"));
        WriteHtml(view, empty);
    }
    webCount->Navigate(QString::fromStdString(ServerUrl + CountPath));
}

// ---- picture buttons and the footer link ----

void TForm1::Image1Click() {
    TPlatform::Instance().StartCalculator();
}

void TForm1::Image2Click() {
    TPlatform::Instance().StartWebBrowser();
}

void TForm1::bsSkinLinkLabel1Click() {
    TPlatform::Instance().ShellOpen(QStringLiteral(VELMORA_HOME_URL));
}

void TForm1::ScrollBar1MouseEnter(TMyScrollBar* bar) {
    if (bar) bar->BarMouseEnter();
}

// ---- window chrome and messages ----

void TForm1::WMUpdateDone() {
    QCoreApplication::quit();
}

void TForm1::WMUpdateFailed() {
    setWindowTitle(QStringLiteral("Velmora"));
}

void TForm1::WMSysMenuPopup() {
    bsSkinPopupMenu2->popup(QCursor::pos());
}

void TForm1::N2Click() {
    if (isMinimized()) showNormal();
    TPlatform::Instance().BringToFront(this);
    bsBusinessSkinForm1Restore();
}

void TForm1::N3Click() {
    showMinimized();
    bsBusinessSkinForm1Minimize();
}

void TForm1::N4Click() {
    QCoreApplication::quit();
}

void TForm1::bsBusinessSkinForm1Minimize() {
    N2->setEnabled(true);
    N3->setEnabled(false);
}

void TForm1::bsBusinessSkinForm1Restore() {
    N2->setEnabled(false);
    N3->setEnabled(true);
}

bool TForm1::event(QEvent* e) {
    switch (static_cast<int>(e->type())) {
    case WM_SEARCH_DONE:
        WMSearchDone();
        return true;
    case WM_SEARCH_FAILED:
        WMSearchFailed();
        return true;
    case WM_UPDATE_DONE:
        WMUpdateDone();
        return true;
    case WM_UPDATE_FAILED:
        WMUpdateFailed();
        return true;
    case WM_SYSMENU_POPUP:
        WMSysMenuPopup();
        return true;
    default:
        return QWidget::event(e);
    }
}

void TForm1::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange) return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(e);
    if (isMinimized())
        bsBusinessSkinForm1Minimize();
    else if (change->oldState() & Qt::WindowMinimized)
        bsBusinessSkinForm1Restore();
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    bsBusinessSkinForm1Restore();
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == bsSkinLinkLabel1 && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        bsSkinLinkLabel1Click();
        return true;
    }
    return ApplicationEvents1Message(watched, e);
}

// The process-wide filter: key strokes and the right button never reach web,
// web2, web3 and web4; the wheel drives the bar of the view it is turned over.
bool TForm1::ApplicationEvents1Message(QObject* target, QEvent* event) {
    const QEvent::Type type = event->type();
    bool key = false, wheel = false;
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        key = true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        key = static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        break;
    case QEvent::ContextMenu:
        key = true;
        break;
    case QEvent::Wheel:
        wheel = true;
        break;
    default:
        break;
    }
    if (!key && !wheel) return false;
    if (!target->isWidgetType()) return false;
    const auto* widget = static_cast<QWidget*>(target);
    auto inside = [widget](const TWebBrowser* view) {
        return view && widget != view && view->isAncestorOf(widget);
    };

    if (key) {
        for (const TWebBrowser* view : {web, web2, web3, web4}) {
            if (inside(view)) {
                // An accepted shortcut override keeps the window's shortcuts
                // (Enter) from acting on a key the view never gets.
                if (type == QEvent::ShortcutOverride) event->accept();
                return true;
            }
        }
        return false;
    }

    // The same wheel event travels up to the parents when a child ignores it.
    const auto* turn = static_cast<QWheelEvent*>(event);
    if (turn->angleDelta().y() == 0 && turn->angleDelta().x() != 0) return false; // sideways, not the wheel
    if (event == m_lastWheel && turn->timestamp() == m_lastWheelTime) return false;
    const std::pair<TWebBrowser*, TMyScrollBar*> pairs[] = {{web, ScrollBar},
                                                            {webShop, MyScrollBar1},
                                                            {web2, ScrollBar2},
                                                            {web3, ScrollBar3},
                                                            {web4, ScrollBar4}};
    for (const auto& [view, bar] : pairs) {
        if (inside(view)) {
            m_lastWheel = event;
            m_lastWheelTime = turn->timestamp();
            if (turn->angleDelta().y() > 0)
                bar->ScrollUp();
            else
                bar->ScrollDown();
            return false;
        }
    }
    return false;
}
