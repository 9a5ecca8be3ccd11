// Fixed reference tables: sort keys, regions, credit levels and icons, and the
// names of the platform's top-level categories.
#pragma once

#include <array>
#include <string_view>

// Sort selector position -> value of the search's "sort".
extern const std::array<std::string_view, 5> SortKeys;
// Region selector position -> value of the search's "area" (empty: no area).
extern const std::array<std::string_view, 64> Areas;
// The region selector's 63 captions.
extern const std::array<std::string_view, 63> AreaCaptions;
// Credit selector position -> value of "start_credit" / "end_credit".
extern const std::array<std::string_view, 20> CreditNames;
// Credit level - 1 -> file name of the credit icon.
extern const std::array<std::string_view, 20> CreditIcons;
// Names of the top-level categories; position k selects tree icon k + 1.
extern const std::array<std::string_view, 65> TopCategoryNames;

// The icon file of a seller credit score given as text ("1" to "20"); empty for
// any other text.
std::string_view CreditIconForScore(std::string_view score);

// Tree icon of a top-level category: its position in TopCategoryNames plus one,
// or 0 when the name is not in the table.
int TopCategoryIcon(std::string_view name);
