// The search workspace in the real window, offscreen, against a local search
// service: first search, equal searches, normalisation, failure, tabs, pages
// in the view and the pager.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "search/TabKey.h"
#include "service/Request.h"
#include "shell/MyScrollBar.h"
#include "shell/PictureButton.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"
#include "tests/search/SearchServer.h"
#include "tests/support/QtTestUtil.h"

namespace {

using Params = std::multimap<std::string, std::string>;

std::string Param(const Params& p, const std::string& key) {
    auto it = p.find(key);
    return it == p.end() ? "<absent>" : it->second;
}

class SearchWidget : public ::testing::Test {
protected:
    void SetUp() override {
        ServerUrl = server.Base();
        FallbackServerUrl = server.Base();
        form = std::make_unique<TForm1>();
        ASSERT_TRUE(WaitForSearches(1));
    }
    void TearDown() override {
        server.Release();
        form.reset();
    }

    // Waits until the window has handled the answer of every search so far.
    bool WaitIdle() {
        return WaitUntil([&] { return g_searchIdle && form->bsSkinLinkImage1->isEnabled(); });
    }
    bool WaitForSearches(size_t n) {
        return WaitUntil([&] { return server.SearchCount() >= n; }) && WaitIdle();
    }
    Params LastSearch() { return server.Searches().back(); }

    // Types a keyword and clicks the search picture.
    void Search(const QString& keyword) {
        form->bsSkinComboBox1->setEditText(keyword);
        QTest::mouseClick(form->bsSkinLinkImage1, Qt::LeftButton);
    }
    QStringList Captions() {
        QStringList c;
        for (int i = 0; i < form->bsSkinTabControl1->count(); ++i)
            c << form->bsSkinTabControl1->tabText(i);
        return c;
    }
    bool InSync() { return form->m_tabs.size() == static_cast<size_t>(form->bsSkinTabControl1->count()); }

    // Waits until a script over the result page gives the expected number.
    bool WaitForScript(const QString& script, int expected) {
        return WaitUntil([&] { return RunJs(form->web, script).toInt() == expected; });
    }

    SearchServer server;
    std::unique_ptr<TForm1> form;
};

TEST_F(SearchWidget, FirstSearchAsksForTheStartupDefaults) {
    ASSERT_EQ(server.SearchCount(), 1u);
    const Params p = LastSearch();
    EXPECT_EQ(Param(p, "cid"), "0");
    EXPECT_EQ(Param(p, "page_no"), "1");
    EXPECT_EQ(Param(p, "keyword"), "");
    EXPECT_EQ(Param(p, "start_price"), "0");
    EXPECT_EQ(Param(p, "end_price"), "999999999");
    EXPECT_EQ(Param(p, "start_credit"), "5heart");
    EXPECT_EQ(Param(p, "end_credit"), "5goldencrown");
    EXPECT_EQ(Param(p, "sort"), "commissionVolume_desc");
    EXPECT_EQ(Param(p, "area"), "<absent>");
    EXPECT_EQ(Param(p, "guarantee"), "<absent>");
    EXPECT_EQ(Captions(), QStringList{"所有类目"});
    EXPECT_EQ(form->windowTitle(), "Velmora");
    EXPECT_EQ(form->m_tabs[0]->PageCount, 2); // 100 results
    EXPECT_EQ(form->m_tabs[0]->Key, TabKey("", "所有类目", "0", "999999999", 0, 4, 19, 0, false));
}

TEST_F(SearchWidget, EqualSearchShowsTheTabAndFetchesNothing) {
    Search("abc");
    ASSERT_TRUE(WaitForSearches(2));
    EXPECT_EQ(Captions(), (QStringList{"所有类目", "abc"}));
    EXPECT_EQ(form->bsSkinComboBox1->count(), 1);

    form->bsSkinTabControl1->setCurrentIndex(0); // the user picks the first tab
    EXPECT_EQ(form->bsSkinComboBox1->currentText(), "");
    form->bsSkinComboBox4->setCurrentIndex(1); // display mode is not part of the key
    Search("abc");
    Settle(200);
    EXPECT_EQ(server.SearchCount(), 2u);
    EXPECT_EQ(form->bsSkinTabControl1->currentIndex(), 1);
    EXPECT_EQ(form->bsSkinComboBox4->currentIndex(), 0); // the tab's own mode
    EXPECT_EQ(form->bsSkinComboBox1->count(), 1);

    // The key parts join without separators: end credit 1 + region 10 is end
    // credit 11 + region 0.
    form->bsSkinComboBoxEx1->setCurrentIndex(0);
    form->bsSkinComboBoxEx2->setCurrentIndex(1);
    form->bsSkinComboBox3->setCurrentIndex(10);
    Search("k");
    ASSERT_TRUE(WaitForSearches(3));
    form->bsSkinComboBoxEx2->setCurrentIndex(11);
    form->bsSkinComboBox3->setCurrentIndex(0);
    Search("k");
    Settle(200);
    EXPECT_EQ(server.SearchCount(), 3u);
    EXPECT_EQ(form->bsSkinTabControl1->currentIndex(), 2);
    EXPECT_TRUE(InSync());
}

TEST_F(SearchWidget, NormalisesTheFilterBar) {
    form->bsSkinSpinEdit1->setValue(500);
    form->bsSkinSpinEdit2->setValue(100);
    form->bsSkinComboBoxEx1->setCurrentIndex(14);
    form->bsSkinComboBoxEx2->setCurrentIndex(0);
    form->bsSkinComboBox3->setCurrentIndex(3);
    form->bsSkinCheckRadioBox1->setChecked(true);
    Search("  abc ");
    ASSERT_TRUE(WaitForSearches(2));
    const Params p = LastSearch();
    EXPECT_EQ(Param(p, "keyword"), "abc");
    EXPECT_EQ(Param(p, "start_price"), "100");
    EXPECT_EQ(Param(p, "end_price"), "500");
    EXPECT_EQ(Param(p, "start_credit"), "1heart");
    EXPECT_EQ(Param(p, "end_credit"), "5crown");
    EXPECT_EQ(Param(p, "area"), "香港,澳门,台湾");
    EXPECT_EQ(Param(p, "guarantee"), "true");
    EXPECT_EQ(form->bsSkinComboBox1->currentText(), "abc");
    EXPECT_EQ(form->bsSkinComboBox1->itemText(0), "abc");
    EXPECT_EQ(form->bsSkinSpinEdit1->value(), 100);
    EXPECT_EQ(form->bsSkinComboBoxEx2->currentIndex(), 14);
    EXPECT_EQ(form->m_tabs[1]->Key, TabKey("abc", "所有类目", "100", "500", 0, 0, 14, 3, true));
}

TEST_F(SearchWidget, EnterSearchesWhileButton1IsShown) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form->isActiveWindow(); }, 5000));
    form->bsSkinComboBox1->setFocus();
    form->bsSkinComboBox1->setEditText("enter");
    QTest::keyClick(form->bsSkinComboBox1, Qt::Key_Return);
    ASSERT_TRUE(WaitForSearches(2));
    EXPECT_EQ(Param(LastSearch(), "keyword"), "enter");
    form->Button1->hide(); // the seller shop is shown
    form->bsSkinComboBox1->setEditText("shop");
    QTest::keyClick(form->bsSkinComboBox1, Qt::Key_Return);
    Settle(150);
    EXPECT_EQ(server.SearchCount(), 2u);
}

TEST_F(SearchWidget, BusyStateAndFailureBox) {
    server.Hold();
    Search("abc");
    ASSERT_TRUE(WaitUntil([&] { return server.SearchCount() == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == "正在搜索商品，请稍后......"; }));
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->bsSkinComboBox1, form->bsSkinComboBox3, form->bsSkinSpinEdit1, form->bsSkinSpinEdit2,
             form->bsSkinLinkImage1, form->bsSkinComboBoxEx1, form->bsSkinComboBoxEx2,
             form->bsSkinComboBoxEx3, form->bsSkinCheckRadioBox1, form->ComboBoxPage, form->bsSkinComboBox4,
             form->IndexBut, form->BackBut, form->NextBut, form->TailBut})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(form->bsSkinTabControl1->isEnabled());
    // Enter and the search picture do nothing while a search runs.
    form->bsSkinComboBox1->setEditText("other");
    form->StartSearch();
    form->Button1Click();
    Settle(100);
    EXPECT_EQ(server.SearchCount(), 2u);
    // Nor once the worker has ended but its message is not handled yet.
    g_searchIdle = true;
    form->Button1Click();
    g_searchIdle = false;
    Settle(100);
    EXPECT_EQ(server.SearchCount(), 2u);

    QString text, title;
    int buttons = -1;
    bool modal = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        text = box->text();
        title = box->windowTitle();
        buttons = box->buttons().size();
        modal = box->isModal();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(20);
    server.Fail(true);
    server.Release();
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty() && g_searchIdle; }));
    EXPECT_EQ(text, "很抱歉，没有搜索到相关数据  ╮(╯▽╰)╭");
    EXPECT_EQ(title, "惜哉...");
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(modal);
    EXPECT_EQ(icon, QMessageBox::Question);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(form->windowTitle(), "Brindlemart");
    EXPECT_EQ(Captions(), QStringList{"所有类目"});
    EXPECT_TRUE(form->bsSkinComboBox1->isEnabled());
}

TEST_F(SearchWidget, TabsCaptionsAndCloseRules) {
    QTabBar* strip = form->bsSkinTabControl1;
    // The only tab never closes: close button, menu, double click.
    emit strip->tabCloseRequested(0);
    form->bsSkinTabControl1ContextPopup(strip->tabRect(0).center());
    form->MenuItem1Click();
    QTest::mouseDClick(strip, Qt::LeftButton, {}, strip->tabRect(0).center());
    EXPECT_EQ(strip->count(), 1);

    // Same keyword, other category: two tabs with the same caption.
    Search("abc");
    ASSERT_TRUE(WaitForSearches(2));
    QTreeWidgetItem* women = form->bsSkinTreeView1->topLevelItem(1);
    ASSERT_NE(women, nullptr);
    form->bsSkinTreeView1->setCurrentItem(women); // starts a search
    ASSERT_TRUE(WaitForSearches(3));
    EXPECT_EQ(Param(LastSearch(), "cid"), "16");
    EXPECT_EQ(Captions(), (QStringList{"所有类目", "abc", "abc"}));
    EXPECT_EQ(strip->currentIndex(), 2);

    // Menu over the empty part of the strip: both items do nothing.
    form->bsSkinTabControl1ContextPopup(QPoint(strip->width() - 2, 2));
    EXPECT_EQ(form->m_popupTab, -1);
    form->N6Click();
    form->MenuItem1Click();
    EXPECT_EQ(strip->count(), 3);

    // Closing the first of three while the third is current shows the second,
    // which becomes the first.
    TAB* second = form->m_tabs[1].get();
    emit strip->tabCloseRequested(0);
    EXPECT_EQ(Captions(), (QStringList{"abc", "abc"}));
    EXPECT_EQ(strip->currentIndex(), 0);
    EXPECT_EQ(form->m_tabs[0].get(), second);
    EXPECT_EQ(form->bsSkinTreeView1->currentItem(), form->bsSkinTreeView1->topLevelItem(0));

    // "激活" on a tab, then a double click closes it.
    form->bsSkinTabControl1ContextPopup(strip->tabRect(1).center());
    form->N6Click();
    EXPECT_EQ(strip->currentIndex(), 1);
    EXPECT_EQ(form->bsSkinTreeView1->currentItem(), women);
    QTest::mouseDClick(strip, Qt::LeftButton, {}, strip->tabRect(1).center());
    EXPECT_EQ(strip->count(), 1);
    EXPECT_EQ(form->m_tabs[0].get(), second);
    EXPECT_TRUE(InSync());
    EXPECT_EQ(server.SearchCount(), 3u);

    // An ampersand in the keyword is shown, not taken as a tab shortcut.
    Search("M&M");
    ASSERT_TRUE(WaitForSearches(4));
    EXPECT_EQ(form->m_tabs[1]->Keyword, "M&M");
    EXPECT_TRUE(QKeySequence::mnemonic(strip->tabText(1)).isEmpty());
    EXPECT_EQ(strip->tabText(1).replace("&&", "&"), "M&M");
    EXPECT_EQ(form->ComboBoxPage->maxVisibleItems(), 12);
}

TEST_F(SearchWidget, PagesInTheViewAreInertAndFollowTheDisplayMode) {
    server.SetResults(45, 2);
    server.SetFirstTitle("<img src=x onerror=\"document.title='pwned'\">好<span class=H>物</span>"
                         "<script>document.title='pwned2'</script>");
    Search("inject");
    ASSERT_TRUE(WaitForSearches(2));
    ASSERT_TRUE(WaitForScript("document.querySelectorAll('div.li').length", 2));
    Settle(300); // an image error handler would have run by now
    const QString state =
        RunJs(form->web, "document.title + '|' + document.querySelectorAll('span.H').length + "
                         "'|' + document.querySelectorAll('img[onerror]').length + '|' + "
                         "document.querySelectorAll('div.li').length")
            .toString();
    EXPECT_EQ(state, "|1|0|2");
    EXPECT_EQ(form->m_tabs[1]->PageCount, 1); // 45 results

    // The list mode for this tab only.
    form->bsSkinComboBox4->setCurrentIndex(1);
    emit form->bsSkinComboBox4->activated(1);
    ASSERT_TRUE(WaitForScript("document.querySelectorAll('div.div_credit').length", 2));
    EXPECT_EQ(form->m_tabs[1]->DisplayMode, 1);
    EXPECT_EQ(form->m_tabs[0]->DisplayMode, 0);
    form->bsSkinTabControl1->setCurrentIndex(0);
    EXPECT_EQ(form->bsSkinComboBox4->currentIndex(), 0);
    EXPECT_EQ(server.SearchCount(), 2u);
}

TEST_F(SearchWidget, PagerStates) {
    struct Case {
        int count, page;
        bool back, forward;
        int entries, selected;
    };
    const Case cases[] = {
        {0, 1, false, false, 0, -1},   {1, 1, false, false, 1, 0}, {5, 1, false, true, 5, 0},
        {5, 5, true, false, 5, 4},     {5, 3, true, true, 5, 2},   {5, 6, true, true, 5, -1},
        {99, 99, true, false, 99, 98},
    };
    TAB& tab = *form->m_tabs[0];
    for (const Case& c : cases) {
        tab.PageCount = c.count;
        tab.PageNo = c.page;
        form->UpdatePager();
        const std::string at = std::to_string(c.page) + " of " + std::to_string(c.count);
        EXPECT_EQ(form->IndexBut->isEnabled(), c.back) << at;
        EXPECT_EQ(form->BackBut->isEnabled(), c.back) << at;
        EXPECT_EQ(form->NextBut->isEnabled(), c.forward) << at;
        EXPECT_EQ(form->TailBut->isEnabled(), c.forward) << at;
        EXPECT_EQ(form->ComboBoxPage->count(), c.entries) << at;
        EXPECT_EQ(form->ComboBoxPage->currentIndex(), c.selected) << at;
    }
}

TEST_F(SearchWidget, PagingMovesTheCurrentTab) {
    server.SetResults(10000, 40);
    Search("many");
    ASSERT_TRUE(WaitForSearches(2));
    TAB& tab = *form->m_tabs[1];
    EXPECT_EQ(tab.PageCount, 99);
    EXPECT_EQ(form->ComboBoxPage->count(), 99);

    QTest::mouseClick(form->TailBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(3));
    EXPECT_EQ(Param(LastSearch(), "page_no"), "99");
    EXPECT_EQ(tab.PageNo, 99);
    QTest::mouseClick(form->IndexBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(4));
    EXPECT_EQ(Param(LastSearch(), "page_no"), "1");

    // The answer now reports fewer pages than the page shown: page 6 of 5.
    server.SetResults(200, 40);
    form->ComboBoxPage->setCurrentIndex(5);
    emit form->ComboBoxPage->activated(5);
    ASSERT_TRUE(WaitForSearches(5));
    EXPECT_EQ(tab.PageNo, 6);
    EXPECT_EQ(tab.PageCount, 5);
    EXPECT_TRUE(form->IndexBut->isEnabled() && form->BackBut->isEnabled() && form->NextBut->isEnabled() &&
                form->TailBut->isEnabled());
    EXPECT_EQ(form->ComboBoxPage->currentIndex(), -1);
    QTest::mouseClick(form->NextBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(6));
    EXPECT_EQ(Param(LastSearch(), "page_no"), "7");
    QTest::mouseClick(form->TailBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(7));
    EXPECT_EQ(Param(LastSearch(), "page_no"), "5");
    QTest::mouseClick(form->BackBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(8));
    QTest::mouseClick(form->BackBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(9));
    EXPECT_EQ(tab.PageNo, 3);

    // A failed request for page 4 (下页 on page 3): choosing 4 starts nothing,
    // choosing 3 asks for page 3. The tab keeps its page.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    closer.start(20);
    server.Fail(true);
    QTest::mouseClick(form->NextBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(10));
    server.Fail(false);
    EXPECT_EQ(Param(LastSearch(), "page_no"), "4");
    EXPECT_EQ(tab.PageNo, 3);
    EXPECT_EQ(form->m_page, 4);
    EXPECT_TRUE(form->ComboBoxPage->isEnabled());
    EXPECT_FALSE(form->NextBut->isEnabled());
    EXPECT_EQ(form->ComboBoxPage->currentIndex(), 2);
    emit form->ComboBoxPage->activated(3);
    Settle(150);
    EXPECT_EQ(server.SearchCount(), 10u);
    emit form->ComboBoxPage->activated(2);
    ASSERT_TRUE(WaitForSearches(11));
    EXPECT_EQ(Param(LastSearch(), "page_no"), "3");

    // A page change keeps caption, display mode and stored filters; the key
    // follows the filter bar, so a later search with those conditions finds it.
    form->bsSkinComboBox1->setEditText("changed");
    QTest::mouseClick(form->NextBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(12));
    EXPECT_EQ(Captions().at(1), "many");
    EXPECT_EQ(tab.Keyword, "many");
    EXPECT_EQ(form->bsSkinComboBox1->currentText(), "many"); // restored by ShowTab
    EXPECT_EQ(tab.Key, TabKey("changed", "所有类目", "0", "999999999", 0, 4, 19, 0, false));
    Search("changed");
    Settle(150);
    EXPECT_EQ(server.SearchCount(), 12u);
    EXPECT_EQ(form->bsSkinTabControl1->currentIndex(), 1);
}

// The tab strip stays usable while a request runs: showing another tab must
// neither offer the pager (a second request on the one search component) nor
// relabel the page being fetched.
TEST_F(SearchWidget, TabSwitchWhileARequestRuns) {
    auto pagerOff = [&] {
        return !form->IndexBut->isEnabled() && !form->BackBut->isEnabled() && !form->NextBut->isEnabled() &&
               !form->TailBut->isEnabled();
    };
    server.SetResults(200, 40); // 5 pages
    Search("abc");
    ASSERT_TRUE(WaitForSearches(2));
    QTest::mouseClick(form->NextBut, Qt::LeftButton);
    ASSERT_TRUE(WaitForSearches(3));
    ASSERT_EQ(form->m_tabs[1]->PageNo, 2);

    // Page 3 of "abc" is asked for; meanwhile the first tab (page 1 of 2) is shown.
    server.Hold();
    QTest::mouseClick(form->NextBut, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return server.SearchCount() == 4; }));
    form->bsSkinTabControl1->setCurrentIndex(0);
    EXPECT_EQ(form->ComboBoxPage->count(), 2);
    EXPECT_TRUE(pagerOff());
    server.Release();
    ASSERT_TRUE(WaitForSearches(4));
    EXPECT_EQ(Param(LastSearch(), "page_no"), "3");
    // The fetched page lands in the tab now current, as page 3.
    EXPECT_EQ(form->m_tabs[0]->PageNo, 3);
    EXPECT_EQ(form->m_tabs[0]->PageCount, 5);
    EXPECT_EQ(form->ComboBoxPage->currentIndex(), 2);
    EXPECT_TRUE(form->NextBut->isEnabled() && form->BackBut->isEnabled());

    // A new search (page 1) while the "abc" tab at page 2 is shown.
    server.Hold();
    Search("new");
    ASSERT_TRUE(WaitUntil([&] { return server.SearchCount() == 5; }));
    form->bsSkinTabControl1->setCurrentIndex(1);
    EXPECT_TRUE(pagerOff());
    server.Release();
    ASSERT_TRUE(WaitForSearches(5));
    ASSERT_EQ(form->m_tabs.size(), 3u);
    EXPECT_EQ(form->m_tabs[2]->PageNo, 1);
    EXPECT_EQ(form->m_tabs[1]->PageNo, 2);
    EXPECT_EQ(form->ComboBoxPage->currentIndex(), 0);
    EXPECT_EQ(server.SearchCount(), 5u);
    EXPECT_TRUE(InSync());
}

TEST_F(SearchWidget, EmptyOrOddAnswersAndForgottenNodes) {
    server.SetResults(0, 0, "lots");
    Search("none");
    ASSERT_TRUE(WaitForSearches(2));
    EXPECT_EQ(form->m_tabs[1]->PageCount, 0);
    EXPECT_EQ(form->m_tabs[1]->Items[0].title, "");
    EXPECT_EQ(form->ComboBoxPage->count(), 0);

    // A tab whose node goes away holds the node's parent instead.
    QTreeWidgetItem* root = form->bsSkinTreeView1->topLevelItem(0);
    auto* child = new QTreeWidgetItem(root);
    form->m_tabs[1]->Node = child;
    form->ForgetNode(child);
    delete child;
    EXPECT_EQ(form->m_tabs[1]->Node, root);
    form->bsSkinTabControl1->setCurrentIndex(0);
    form->bsSkinTabControl1->setCurrentIndex(1);
    EXPECT_EQ(form->bsSkinTreeView1->currentItem(), root);
}

} // namespace
