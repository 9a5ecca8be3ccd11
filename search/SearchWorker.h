// The search worker: makes one affiliate item search off the UI thread and
// reports its end by posting 1245 (found) or 1246 (failed) to the window.
#pragma once

#include "service/Taobaoke_Items.h"

#include <QThread>

class TForm1;

class TMyThread : public QThread {
    Q_OBJECT
public:
    // The conditions are taken by the UI thread from the filter bar and the
    // selected category when the worker is created; the worker never touches a
    // widget. Starts at once and releases itself when its run has ended.
    TMyThread(TForm1* form, Tbk_Items_Cond cond);

protected:
    void run() override;

private:
    TForm1* m_form;
    Tbk_Items_Cond m_cond;
};
