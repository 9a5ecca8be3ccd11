// Making values from the network safe to place into the pages the program
// generates. Used by every generated page (result pages, seller list, shop).
#pragma once

#include <string>
#include <string_view>

// The text with & < > " ' written as character references, so it can stand in
// element content and inside a double-quoted attribute value.
std::string HtmlEscape(std::string_view text);

// The address escaped for a double-quoted attribute when it is an http or https
// URL (scheme in any letter case); an empty text for anything else
// (javascript:, data:, relative or empty addresses, control characters).
std::string SafeUrl(std::string_view url);

// Markup from the service (item titles carry highlight markup such as
// <span class=H>...</span>) reduced to harmless inline formatting: the tags
// span, b, strong, em, i and font stay, with at most a class attribute; every
// other tag, comment and attribute is dropped, script and style elements with
// their content. Stray < and & are escaped, unmatched closing tags dropped and
// tags left open are closed at the end, so the value cannot break the page
// around it.
std::string SanitizeMarkup(std::string_view markup);

// Address of the credit-rank picture of a seller credit score given as text
// ("1" to "20"): the compiled-in credit icon base, "/newrank/" and the icon file.
// Empty for any other score, so the page shows no picture rather than a broken
// address.
std::string CreditIconUrl(std::string_view score);
