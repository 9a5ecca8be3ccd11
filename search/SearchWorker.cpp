#include "search/SearchWorker.h"

#include "shell/Unit1.h"

TMyThread::TMyThread(TForm1* form, Tbk_Items_Cond cond) : m_form(form), m_cond(std::move(cond)) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

void TMyThread::run() {
    m_form->RunSearch(std::move(m_cond));
    // Only now may another search start; the completion message is already posted.
    g_searchIdle = true;
}
