#include "proxy/Tables.h"

#include "service/Data.h"
#include "service/Request.h"

namespace proxy::tables {

namespace {
template <std::size_t N> std::vector<std::string> Copy(const std::array<std::string_view, N>& table) {
    return std::vector<std::string>(table.begin(), table.end());
}
} // namespace

const std::vector<std::string>& SortKeys() {
    static const auto t = Copy(::SortKeys);
    return t;
}
const std::vector<std::string>& CreditNames() {
    static const auto t = Copy(::CreditNames);
    return t;
}
const std::vector<std::string>& CreditIcons() {
    static const auto t = Copy(::CreditIcons);
    return t;
}
const std::vector<std::string>& TopCategoryNames() {
    static const auto t = Copy(::TopCategoryNames);
    return t;
}
const std::vector<std::string>& Areas() {
    static const auto t = Copy(::Areas);
    return t;
}
std::string PublisherId() {
    return ::PublisherId;
}

} // namespace proxy::tables
