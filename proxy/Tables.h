// The client's reference tables, as the proxy uses them. They come from the
// service library; this header only gives them one shape inside the proxy.
#pragma once

#include <string>
#include <vector>

namespace proxy::tables {

const std::vector<std::string>& SortKeys();         // 5 sort keys
const std::vector<std::string>& CreditNames();      // 20 credit levels, "1heart" ... "5goldencrown"
const std::vector<std::string>& CreditIcons();      // 20 icon file names, "b_red_1.gif" ...
const std::vector<std::string>& TopCategoryNames(); // 65 top-level category names
const std::vector<std::string>& Areas();            // 64 region values (some empty)
std::string PublisherId();

} // namespace proxy::tables
