// TEMPORARY link placeholders so the window builds while the search workspace
// is written; the search workspace deletes this file when its real
// definitions exist.
#include "shell/Unit1.h"

void TForm1::ConnectSearchHandlers() {}
void TForm1::WMSearchDone() {}
void TForm1::WMSearchFailed() {}
void TForm1::Button1Click() {}
void TForm1::FreeTabs() {}
void TForm1::StartSearch() {}
void TForm1::ForgetNode(QTreeWidgetItem*) {}
