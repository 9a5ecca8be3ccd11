// The one fetch skeleton shared by the four catalogue request components. A
// component supplies a description of its records (field tables, parameter and
// signing orders, marker and list element, row limits) and inherits Fetch and
// the steps CheckCond, Prepare, BuildUrl, Request, ParseRows and ClearRows.
#pragma once

#include "service/Http.h"
#include "service/Request.h"
#include "service/Xml.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// When a condition goes into the query string.
enum class SendRule {
    NonEmpty,          // only with a value
    Always,            // also when empty
    UnlessWordKeyword, // always, except when the value is exactly "keyword"
};

template <class Cond> struct CondParam {
    std::string Cond::*member;
    const char* key;
    SendRule send;
    bool escaped; // the whole value through PercentEncode
};

// Where ParseRows takes a row field from.
enum class FieldSource {
    ItemChild,     // the item's child element named by the field
    RootTotal,     // the root's "total_results"
    LocationChild, // the child, named by the field, of the item's "location"
    NotRead,       // requested in the fields list, never read
};

template <class Info> struct NameField {
    std::string Info::*member;
    const char* defaultName; // nullptr: no element name of its own
    FieldSource source;
    bool cleared; // emptied by ClearRows
};

// Traits (supplied by each component):
//   Cond, Info, Capacity, ClearCount
//   Fields      - NameField<Info> per names-record field, in record order
//   ListOrder   - members whose element names form the fields list, in list order
//   QueryParams - CondParam<Cond> between the fields list and the stamp
//   TailParams  - CondParam<Cond> after the pid
//   SignOrder   - members concatenated into the inner string
//   FreeText    - members converted to UTF-8 by Prepare
//   Marker, ListElement
//   CheckOwn(const Cond&) - the component's own requirement
template <class D> class TFetcher {
public:
    using Traits = D;
    using Cond = typename Traits::Cond;
    using Info = typename Traits::Info;
    using Rows = std::array<Info, Traits::Capacity>;

    TFetcher() : FHttp(HttpClient::DefaultReadTimeoutMs) {}

    // Conditions and names in; on true, rows refers to this component's rows,
    // valid until the next Fetch. On false rows is left untouched. Never throws.
    bool Fetch(Cond cond, Info names, const Rows*& rows) noexcept {
        try {
            FNames = std::move(names);
            FCond = std::move(cond);
            if (!CheckCond()) return false;
            Prepare();
            if (!Request()) return false;
            rows = &FRows;
            return true;
        } catch (...) {
            return false;
        }
    }

    // Reads an answer body as Fetch would after the transfer (used where the
    // bytes are already at hand, and to time parsing alone).
    bool ParseAnswer(Info names, std::string_view body, const Rows*& rows) noexcept {
        try {
            FNames = std::move(names);
            PrepareNames(FNames);
            if (!ParseBody(body)) return false;
            rows = &FRows;
            return true;
        } catch (...) {
            return false;
        }
    }

    void SetReadTimeoutMs(long ms) { FHttp.SetReadTimeoutMs(ms); }
    long ReadTimeoutMs() const { return FHttp.ReadTimeoutMs(); }
    void SetConnectTimeoutMs(long ms) { FHttp.SetConnectTimeoutMs(ms); }
    void SetMaxBodyBytes(size_t bytes) { FHttp.SetMaxBodyBytes(bytes); }

    // ---- Request building, shared with the proxy ----

    // Fills every empty names field that has a default element name.
    static void PrepareNames(Info& names) {
        for (const auto& f : Traits::Fields)
            if (f.defaultName && (names.*f.member).empty()) names.*f.member = f.defaultName;
    }

    // Free-text values become UTF-8. Text is held as UTF-8 throughout, so the
    // values are already in their final form.
    static void PrepareCond(Cond&) {}

    // The concatenation of the signed condition values, in signing order.
    static std::string InnerString(const Cond& cond) {
        std::string inner;
        for (auto m : Traits::SignOrder)
            inner += cond.*m;
        return inner;
    }

    // The query string up to (not including) "&sign=".
    static std::string QueryString(const Cond& cond, const Info& names, std::string_view stamp) {
        std::string q = "fields=";
        bool first = true;
        for (auto m : Traits::ListOrder) {
            if (!first) q += ',';
            first = false;
            q += QueryValue(names.*m);
        }
        AppendParams(q, cond, Traits::QueryParams);
        q += "&stamp=";
        q += stamp;
        q += "&pid=";
        q += QueryValue(cond.pid);
        AppendParams(q, cond, Traits::TailParams);
        return q;
    }

    // The request URL: url?query&sign=signature.
    static std::string BuildUrl(const Cond& cond, const Info& names, int32_t stamp) {
        const std::string s = std::to_string(stamp);
        return cond.url + "?" + QueryString(cond, names, s) +
               "&sign=" + MakeSign(cond.pid, s, InnerString(cond));
    }

protected:
    bool CheckCond() const { return !FCond.pid.empty() && !FCond.url.empty() && Traits::CheckOwn(FCond); }

    void Prepare() {
        PrepareNames(FNames);
        PrepareCond(FCond);
    }

    bool Request() {
        FXmlDoc.Clear();
        const std::string url = BuildUrl(FCond, FNames, GetStamp());
        HttpResponse r = FHttp.Get(url);
        if (!r.ok) return false;
        return ParseBody(r.body);
    }

    bool ParseBody(std::string_view body) {
        if (!FXmlDoc.Parse(body)) return false;
        if (!ChildElement(FXmlDoc.Root(), Traits::Marker)) return false;
        ParseRows();
        return true;
    }

    void ClearRows() {
        for (size_t i = 0; i < Traits::ClearCount; ++i)
            for (const auto& f : Traits::Fields)
                if (f.cleared) (FRows[i].*f.member).clear();
    }

    // Throws XmlTextError when a field element is not a single text node; rows
    // written before that stay written.
    void ParseRows() {
        const xmlNode* root = FXmlDoc.Root();
        const xmlNode* list = ChildElement(root, Traits::ListElement);
        ClearRows();
        if (!list) return;
        // Every field's element name is resolved once per answer, not once per item.
        std::array<XmlName, Traits::Fields.size()> names;
        for (size_t k = 0; k < names.size(); ++k)
            names[k] = XmlName(FXmlDoc, FNames.*Traits::Fields[k].member);
        const XmlName locationName(FXmlDoc, "location");
        std::string total;
        bool totalRead = false;
        size_t i = 0;
        for (xmlNode* item = ElementAtOrAfter(list->children); item && i < Traits::Capacity;
             item = ElementAtOrAfter(item->next), ++i) {
            Info& row = FRows[i];
            const xmlNode* location = nullptr;
            bool locationFound = false;
            for (size_t k = 0; k < names.size(); ++k) {
                const auto& f = Traits::Fields[k];
                switch (f.source) {
                case FieldSource::ItemChild:
                    ElementTextInto(ChildElement(item, names[k]), row.*f.member);
                    break;
                case FieldSource::RootTotal:
                    if (!totalRead) {
                        ElementTextInto(ChildElement(root, "total_results"), total);
                        totalRead = true;
                    }
                    row.*f.member = total;
                    break;
                case FieldSource::LocationChild:
                    if (!locationFound) {
                        location = ChildElement(item, locationName);
                        locationFound = true;
                    }
                    ElementTextInto(ChildElement(location, names[k]), row.*f.member);
                    break;
                case FieldSource::NotRead:
                    break;
                }
            }
        }
    }

    HttpClient FHttp;
    XmlDocument FXmlDoc;
    Info FNames;
    Cond FCond;
    Rows FRows;

private:
    template <size_t N>
    static void AppendParams(std::string& q, const Cond& cond, const std::array<CondParam<Cond>, N>& params) {
        for (const auto& p : params) {
            const std::string& v = cond.*p.member;
            const bool send = p.send == SendRule::Always || (p.send == SendRule::NonEmpty && !v.empty()) ||
                              (p.send == SendRule::UnlessWordKeyword && v != "keyword");
            if (!send) continue;
            q += '&';
            q += p.key;
            q += '=';
            q += p.escaped ? PercentEncode(v) : QueryValue(v);
        }
    }
};
