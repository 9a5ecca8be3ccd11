// Result pages in the view and the pager below it.
#include "shell/Unit1.h"

#include "search/ResultPages.h"
#include "shell/MyScrollBar.h"
#include "shell/WebBrowser.h"

void TForm1::RenderResults() {
    if (bsSkinComboBox4->currentIndex() == 1)
        RenderListPage();
    else
        RenderPicturePage();
}

namespace {
void ShowPage(TWebBrowser* web, TMyScrollBar* bar, const std::string& page) {
    WriteHtml(web, page);
    bar->setValue(0); // the view starts at the top
}
} // namespace

void TForm1::RenderListPage() {
    if (const TAB* tab = CurrentTab()) ShowPage(web, ScrollBar, BuildListPage(*tab));
}

void TForm1::RenderPicturePage() {
    if (const TAB* tab = CurrentTab()) ShowPage(web, ScrollBar, BuildPicturePage(*tab));
}

void TForm1::bsSkinComboBox4Change() {
    TAB* tab = CurrentTab();
    if (!tab) return; // the next tab takes the mode from the list
    tab->DisplayMode = bsSkinComboBox4->currentIndex();
    if (tab->DisplayMode == 1)
        RenderListPage();
    else
        RenderPicturePage();
    web->FocusView();
}

void TForm1::UpdatePager() {
    const TAB* tab = CurrentTab();
    const int count = tab ? tab->PageCount : 0;
    const int page = tab ? tab->PageNo : 0;
    bool backward = false, forward = false;
    // While a request runs (a tab shown meanwhile) the pager stays off: only
    // one request may use the search component.
    if (count > 1 && !m_requestRunning) {
        backward = forward = true;
        if (page == 1)
            backward = false;
        else if (page == count)
            forward = false;
    }
    IndexBut->setEnabled(backward);
    BackBut->setEnabled(backward);
    NextBut->setEnabled(forward);
    TailBut->setEnabled(forward);
    QSignalBlocker block(ComboBoxPage);
    ComboBoxPage->clear();
    for (int i = 1; i <= count; ++i)
        ComboBoxPage->addItem(QString::number(i));
    ComboBoxPage->setCurrentIndex(page >= 1 && page <= count ? page - 1 : -1);
}

void TForm1::GoToPage() {
    m_pageChange = true;
    EnableFilterBar(false);
    CreateSearchWorker();
}

void TForm1::IndexButClick() {
    m_page = 1;
    GoToPage();
}

void TForm1::BackButClick() {
    m_page = m_page - 1;
    GoToPage();
}

void TForm1::NextButClick() {
    m_page = m_page + 1;
    GoToPage();
}

void TForm1::TailButClick() {
    m_page = ComboBoxPage->count();
    GoToPage();
}

void TForm1::ComboBoxPageChange(int index) {
    if (index + 1 == m_page) return;
    m_page = index + 1;
    GoToPage();
}
