// The window's pictures, drawn once at start-up: sort labels, credit ranks,
// category and notebook icons, the search button and the two tool icons.
#pragma once

#include <QList>
#include <QPixmap>

namespace Pictures {
QList<QPixmap> SortLabels();    // 5 pictures, 103 x 14
QList<QPixmap> CreditRanks();   // 20 pictures, 88 x 22: hearts, diamonds, crowns, golden crowns
QList<QPixmap> CategoryIcons(); // 66 pictures, 16 x 16: the general one, then one per top category
QList<QPixmap> NotebookIcons(); // 4 pictures, 16 x 16
QPixmap SearchButton();         // 57 x 31
QPixmap Calculator();           // 25 x 25
QPixmap Browser();              // 25 x 25
QPixmap WindowIcon();           // 16 x 16
} // namespace Pictures
