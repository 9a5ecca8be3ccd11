// The generated result pages of a tab, in its two display modes. Every value
// from the service is made safe on the way in (see HtmlSafe.h).
#pragma once

#include "search/Tab.h"

#include <string>

// Head texts of the two pages, exactly as the view expects them.
extern const char* const ListPageHead;
extern const char* const PicturePageHead;

// Whole pages (head, one block per item up to the first without a title,
// "</body>"), as UTF-8 text.
std::string BuildListPage(const TAB& tab);
std::string BuildPicturePage(const TAB& tab);

// The page of the display mode: the list for 1, big pictures otherwise.
std::string BuildResultPage(const TAB& tab, int displayMode);
