// Result tabs: one TAB record per tab of the strip, in the same order.
#include "shell/Unit1.h"

TAB* TForm1::CurrentTab() const {
    const int i = bsSkinTabControl1->currentIndex();
    if (i < 0 || i >= static_cast<int>(m_tabs.size())) return nullptr;
    return m_tabs[i].get();
}

void TForm1::StoreSearchResult() {
    const std::string key = FilterTabKey();
    if (!m_tabs.empty() && m_pageChange) {
        if (TAB* tab = CurrentTab()) {
            tab->Key = key;
            tab->PageNo = m_requestPage;
            CopyResultsToTab();
            ShowTab(bsSkinTabControl1->currentIndex());
            return;
        }
    }
    auto tab = std::make_unique<TAB>();
    tab->PageNo = m_requestPage; // m_page, unless a tab was shown while the request ran
    tab->Key = key;
    tab->Node = bsSkinTreeView1->currentItem();
    tab->Keyword = bsSkinComboBox1->currentText().toStdString();
    tab->StartPrice = std::to_string(bsSkinSpinEdit1->value());
    tab->EndPrice = std::to_string(bsSkinSpinEdit2->value());
    tab->SortIndex = bsSkinComboBoxEx3->currentIndex();
    tab->StartCreditIndex = bsSkinComboBoxEx1->currentIndex();
    tab->EndCreditIndex = bsSkinComboBoxEx2->currentIndex();
    tab->DisplayMode = bsSkinComboBox4->currentIndex();
    tab->AreaIndex = bsSkinComboBox3->currentIndex();
    tab->Guarantee = bsSkinCheckRadioBox1->isChecked();
    QString caption = !tab->Keyword.empty() ? QString::fromStdString(tab->Keyword)
                      : tab->Node           ? tab->Node->text(0)
                                            : QString();
    caption.replace(u'&', QStringLiteral("&&")); // shown as typed, not as a mnemonic
    m_tabs.push_back(std::move(tab));
    const int last = static_cast<int>(m_tabs.size()) - 1;
    {
        QSignalBlocker block(bsSkinTabControl1);
        bsSkinTabControl1->addTab(caption);
        bsSkinTabControl1->setCurrentIndex(last);
    }
    CopyResultsToTab();
    ShowTab(last);
}

void TForm1::CopyResultsToTab() {
    if (TAB* tab = CurrentTab()) CopyRowsToTab(m_results, *tab);
}

void TForm1::ShowTab(int index) {
    if (index < 0 || index >= static_cast<int>(m_tabs.size())) return;
    const TAB& tab = *m_tabs[index];
    m_treeChangeEnabled = false;
    if (tab.Node) bsSkinTreeView1->setCurrentItem(tab.Node);
    bsSkinComboBox1->setEditText(QString::fromStdString(tab.Keyword));
    bsSkinSpinEdit1->setValue(QString::fromStdString(tab.StartPrice).toInt());
    bsSkinSpinEdit2->setValue(QString::fromStdString(tab.EndPrice).toInt());
    bsSkinComboBoxEx3->setCurrentIndex(tab.SortIndex);
    bsSkinComboBoxEx1->setCurrentIndex(tab.StartCreditIndex);
    bsSkinComboBoxEx2->setCurrentIndex(tab.EndCreditIndex);
    bsSkinComboBox4->setCurrentIndex(tab.DisplayMode);
    bsSkinComboBox3->setCurrentIndex(tab.AreaIndex);
    bsSkinCheckRadioBox1->setChecked(tab.Guarantee);
    {
        QSignalBlocker block(bsSkinTabControl1);
        bsSkinTabControl1->setCurrentIndex(index);
    }
    m_page = tab.PageNo;
    m_treeChangeEnabled = true;
    RenderResults();
    UpdatePager();
    RenderSellerList();
}

void TForm1::bsSkinTabControl1Change() {
    ShowTab(bsSkinTabControl1->currentIndex());
}

bool TForm1::bsSkinTabControl1Close(int index) {
    if (bsSkinTabControl1->count() < 2) return false;
    if (index < 0 || index >= static_cast<int>(m_tabs.size())) return false;
    ShowTab(index == 0 ? 1 : index - 1);
    m_tabs.erase(m_tabs.begin() + index);
    return true;
}

void TForm1::bsSkinTabControl1ContextPopup(const QPoint& pos) {
    m_popupTab = bsSkinTabControl1->tabAt(pos);
}

void TForm1::bsSkinTabControl1MouseDown(Qt::MouseButton button, bool doubleClick, const QPoint& pos) {
    if (!doubleClick || button != Qt::LeftButton) return;
    m_popupTab = bsSkinTabControl1->tabAt(pos);
    MenuItem1Click();
}

void TForm1::N6Click() {
    if (m_popupTab < 0 || m_popupTab >= bsSkinTabControl1->count()) return;
    ShowTab(m_popupTab);
}

void TForm1::MenuItem1Click() {
    if (m_popupTab < 0 || m_popupTab >= bsSkinTabControl1->count()) return;
    const int index = m_popupTab;
    if (!bsSkinTabControl1Close(index)) return;
    QSignalBlocker block(bsSkinTabControl1);
    bsSkinTabControl1->removeTab(index);
}
