// Binding of the browsing panels' controls, the left notebook's page changes
// and the pages the service publishes.
#include <QBoxLayout>
#include <QLabel>

#include "browse/BrowseCommon.h"
#include "service/Request.h"
#include "shell/MyScrollBar.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"

namespace {

// The publisher's own site and its electricity-bill page, shown at the left of
// the shop footer.
constexpr const char* PublisherSiteUrl = VELMORA_PUBLISHER_SITE_URL;
constexpr const char* PublisherBillUrl = VELMORA_PUBLISHER_BILL_URL;
constexpr const char* PublisherContact = "客服邮箱：service@velmora.example";

QLabel* LinkLabel(const QString& text, const char* url, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(QString::fromUtf8(url).toHtmlEscaped(), text));
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString& link) { OpenOutside(link.toStdString()); });
    return label;
}

} // namespace

void TForm1::ConnectBrowseHandlers() {
    // Category tree
    bsSkinTreeView1->setItemDelegate(
        new TCategoryDelegate([this] { return m_activeFontColor; }, bsSkinTreeView1));
    connect(bsSkinTreeView1, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { bsSkinTreeView1Expanding(node); });
    connect(bsSkinTreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node, QTreeWidgetItem*) { bsSkinTreeView1Change(node); });

    // Left notebook and the published pages
    connect(bsSkinNotebook1, &QTabWidget::currentChanged, this,
            [this](int index) { bsSkinNotebook1PageChanged(index); });
    connect(web3, &TWebBrowser::DocumentComplete, this, [this](const QString&) { web3DocumentComplete(); });
    connect(web4, &TWebBrowser::DocumentComplete, this, [this](const QString&) { web4DocumentComplete(); });

    // Seller list and shop
    connect(web2, &TWebBrowser::BeforeNavigate2, this,
            [this](const QString& url, bool* cancel) { web2BeforeNavigate2(url, cancel); });
    connect(webShop, &TWebBrowser::BeforeNavigate2, this,
            [this](const QString& url, bool* cancel) { webShopBeforeNavigate2(url, cancel); });
    connect(bsSkinButtonLabel4, &QPushButton::clicked, this, [this] { bsSkinButtonLabel4Click(); });
    connect(bsSkinButtonLabel1, &QPushButton::clicked, this, [this] { bsSkinButtonLabel1Click(); });
    connect(bsSkinButtonLabel2, &QPushButton::clicked, this, [this] { bsSkinButtonLabel2Click(); });
    connect(bsSkinButtonLabel3, &QPushButton::clicked, this, [this] { bsSkinButtonLabel3Click(); });
    // A page chosen by the user, also the one already shown; refilling the list does not count.
    connect(ComboBox1, &QComboBox::activated, this, [this](int index) { ComboBox1Change(index); });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this](int) { ComboBox2Change(); });

    // Left side of the shop footer
    ShopSiteLabel = new QLabel(QStringLiteral("网址："), Panel10);
    ShopSiteLink = LinkLabel(QStringLiteral("Velmora 导购"), PublisherSiteUrl, Panel10);
    ShopContactLabel = new QLabel(QString::fromUtf8(PublisherContact), Panel10);
    ShopBillLink = LinkLabel(QStringLiteral("查询电费"), PublisherBillUrl, Panel10);
    if (auto* box = qobject_cast<QBoxLayout*>(Panel10->layout())) {
        int at = 0;
        for (QWidget* w : {static_cast<QWidget*>(ShopSiteLabel), static_cast<QWidget*>(ShopSiteLink),
                           static_cast<QWidget*>(ShopContactLabel), static_cast<QWidget*>(ShopBillLink)})
            box->insertWidget(at++, w);
        box->insertStretch(at, 1);
    } else {
        // Laid out from the left edge, each after the one before it.
        int x = 3;
        for (QWidget* w : {static_cast<QWidget*>(ShopSiteLabel), static_cast<QWidget*>(ShopSiteLink),
                           static_cast<QWidget*>(ShopContactLabel), static_cast<QWidget*>(ShopBillLink)}) {
            w->adjustSize();
            w->move(x, (Panel10->height() - w->height()) / 2);
            x += w->width() + (w == ShopSiteLabel ? 0 : 10);
        }
    }
}

void TForm1::bsSkinNotebook1PageChanged(int index) {
    switch (index) {
    case 0:
        HideShop();
        break;
    case 2:
        if (web3->LocationURL().isEmpty()) web3->Navigate(QString::fromStdString(ServerUrl + PindaoPath));
        break;
    case 3:
        if (web4->LocationURL().isEmpty()) web4->Navigate(QString::fromStdString(ServerUrl + HuodongPath));
        break;
    default:
        break;
    }
}

void TForm1::web3DocumentComplete() {
    ScrollBar3->UpdateRange();
}

void TForm1::web4DocumentComplete() {
    ScrollBar4->UpdateRange();
}
