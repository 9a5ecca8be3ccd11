// The seller list and the seller shop view: a click in the list shows that
// seller's shop page by page; an item click opens its converted click link.
#include <QBoxLayout>
#include <QUrl>

#include "browse/BrowseCommon.h"
#include "browse/SellerPages.h"
#include "service/Request.h"
#include "shell/MyScrollBar.h"
#include "shell/Platform.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"

bool IsOutsideUrl(const std::string& url) {
    const QUrl u(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    return u.isValid() && (scheme == "http" || scheme == "https") && !u.host().isEmpty();
}

void OpenOutside(const std::string& url) {
    if (IsOutsideUrl(url)) TPlatform::Instance().ShellOpen(QString::fromStdString(url));
}

void TForm1::ClearSellers() {
    ::ClearSellers(m_sellers);
}

void TForm1::RenderSellerList() {
    std::span<const Tbk_Items_Info> items;
    const int current = bsSkinTabControl1->currentIndex();
    if (current >= 0 && current < static_cast<int>(m_tabs.size())) items = m_tabs[current]->Items;
    const QColor c = m_activeFontColor.toRgb();
    const std::string page = BuildSellerList(items, ColorToHtml(c.red(), c.green(), c.blue()), m_sellers);
    // The shop shown belonged to the list just replaced; its record is gone.
    if (Panel9->isVisible()) HideShop();
    m_seller = -1;
    WriteHtml(web2, page);
}

void TForm1::web2BeforeNavigate2(const QString& url, bool* cancel) {
    const LinkAction a = ReadLinkAction(url.toStdString());
    if (a.pass) return;
    *cancel = true;
    if (a.position < 0) return;
    // A shop on screen stays the one its pager and item links act on when the
    // new seller's shop cannot be shown.
    const int32_t shown = Panel9->isVisible() ? m_seller : -1;
    m_seller = a.position;
    if (!ShowShop(false) && shown >= 0) m_seller = shown;
}

bool TForm1::ShowShop(bool fromPager) {
    if (m_seller < 0 || m_seller >= SellerListSize) return false;
    SHOP_ITEM& s = m_sellers[m_seller];
    MyScrollBar1->ResetPos();
    if (s.Items[0].title.empty() || fromPager) {
        const ATb_Items_Info* rows = nullptr;
        bool ok = false;
        if (!s.Nick.empty()) {
            Tb_Items_Cond cond;
            cond.pid = PublisherId;
            cond.url = ServerUrl + TbItemsPath;
            cond.nicks = s.Nick;
            cond.page_no = std::to_string(s.PageNo);
            cond.order_by = "volume";
            Tb_Items_Info names;
            names.desc = "no";
            TBusyCursor busy;
            ok = Taobao_Items1->Fetch(cond, names, rows);
        }
        // A page the shop no longer has: the pager stays on the page shown
        // rather than on an empty one it could not leave.
        if (ok && fromPager && (*rows)[0].title.empty()) ok = false;
        if (!ok) {
            // The page still shown is measured again, so its bar comes back.
            if (fromPager || Panel9->isVisible()) MyScrollBar1->UpdateRange();
            if (!fromPager) OpenOutside(s.ShopUrl);
            return false;
        }
        CopyShopRows(*rows, s);
    }
    RenderShop();
    UpdateShopPager();
    Panel9->show();
    Button1->hide();
    return true;
}

void TForm1::RenderShop() {
    if (ComboBox2->currentIndex() == 0)
        RenderShopListPage();
    else
        RenderShopPicturePage();
}

void TForm1::RenderShopListPage() {
    if (m_seller < 0 || m_seller >= SellerListSize) return;
    WriteHtml(webShop, ShopListPageHtml(m_sellers[m_seller]));
    MyScrollBar1->setValue(0);
}

void TForm1::RenderShopPicturePage() {
    if (m_seller < 0 || m_seller >= SellerListSize) return;
    WriteHtml(webShop, ShopPicturePageHtml(m_sellers[m_seller]));
    MyScrollBar1->setValue(0);
}

void TForm1::UpdateShopPager() {
    if (m_seller < 0 || m_seller >= SellerListSize) return;
    const SHOP_ITEM& s = m_sellers[m_seller];
    const ShopPagerState state = ShopPagerFor(s.PageNo, s.PageCount);
    bsSkinButtonLabel4->setEnabled(state.first);
    bsSkinButtonLabel1->setEnabled(state.previous);
    bsSkinButtonLabel2->setEnabled(state.next);
    bsSkinButtonLabel3->setEnabled(state.last);
    ComboBox1->clear();
    for (int32_t p = 1; p <= s.PageCount; ++p)
        ComboBox1->addItem(QString::number(p));
    ComboBox1->setCurrentIndex(s.PageNo - 1);
}

void TForm1::GoToShopPage(int32_t pageNo) {
    if (m_seller < 0 || m_seller >= SellerListSize) return;
    SHOP_ITEM& s = m_sellers[m_seller];
    const int32_t before = s.PageNo;
    s.PageNo = pageNo;
    if (!ShowShop(true)) {
        s.PageNo = before;
        ComboBox1->setCurrentIndex(before - 1); // the list shows the page still on screen
    }
}

void TForm1::bsSkinButtonLabel4Click() {
    GoToShopPage(1);
}

void TForm1::bsSkinButtonLabel1Click() {
    if (m_seller >= 0 && m_seller < SellerListSize) GoToShopPage(m_sellers[m_seller].PageNo - 1);
}

void TForm1::bsSkinButtonLabel2Click() {
    if (m_seller >= 0 && m_seller < SellerListSize) GoToShopPage(m_sellers[m_seller].PageNo + 1);
}

void TForm1::bsSkinButtonLabel3Click() {
    if (m_seller >= 0 && m_seller < SellerListSize) GoToShopPage(m_sellers[m_seller].PageCount);
}

void TForm1::ComboBox1Change(int index) {
    if (index >= 0) GoToShopPage(index + 1);
}

void TForm1::ComboBox2Change() {
    RenderShop();
}

void TForm1::webShopBeforeNavigate2(const QString& url, bool* cancel) {
    const LinkAction a = ReadLinkAction(url.toStdString());
    if (a.pass) return;
    *cancel = true;
    if (a.position >= 0) OpenShopItem(a.position);
}

void TForm1::OpenShopItem(int k) {
    if (m_seller < 0 || m_seller >= SellerListSize || k < 0 || k >= ShopPageSize) return;
    SHOP_ITEM& s = m_sellers[m_seller];
    std::string link;
    if (!s.Items[0].click_url.empty()) {
        link = s.Items[k].click_url;
    } else {
        Tbk_Items_Convert_Cond cond;
        cond.pid = PublisherId;
        cond.url = ServerUrl + TbkItemsConvertPath;
        cond.num_iids = ShopIdList(s);
        const ATbk_Items_Convert_Info* rows = nullptr;
        bool ok = false;
        {
            TBusyCursor busy;
            ok = Taobaoke_Items_Convert1->Fetch(cond, Tbk_Items_Convert_Info{}, rows);
        }
        if (ok) {
            ApplyConvertedLinks(*rows, s);
            link = s.Items[k].click_url;
        }
    }
    if (link.empty()) link = s.ShopUrl;
    if (!IsOutsideUrl(link)) return;
    webShop->Open(QString::fromStdString(link));
}

void TForm1::HideShop() {
    Panel9->hide();
    Button1->show();
}
