// The identity of a search: which filter-bar conditions make two searches the
// same search.
#pragma once

#include <string>
#include <string_view>

// Lowercase hexadecimal MD5 of the nine filter values joined without
// separators ("%s%s%s%s%d%d%d%d%d"), taken over the text's GBK bytes (GB18030
// for characters GBK lacks). Text arguments are UTF-8.
std::string TabKey(std::string_view keyword, std::string_view category, std::string_view startPrice,
                   std::string_view endPrice, int sortIndex, int startCreditIndex, int endCreditIndex,
                   int areaIndex, bool guarantee);

// UTF-8 text as GBK bytes; a character GBK lacks is written in GB18030, and a
// byte that is not UTF-8 becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);
