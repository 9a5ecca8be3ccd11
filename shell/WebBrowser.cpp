#include "shell/WebBrowser.h"

#include <QVBoxLayout>
#include <QVariant>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "shell/Platform.h"

namespace {

// Same-document fragment links never reach the navigation hook; the page
// script turns a click on one into a navigation to this scheme instead.
constexpr char kFragmentScheme[] = "velmora-nav";

// Catches left clicks on links that only change the fragment of the current
// document, and on about: links (Chromium follows neither through the
// navigation hook), and hands them to the hook.
const char* const kFragmentRouter = R"JS(
(function () {
  document.addEventListener('click', function (e) {
    if (e.button !== 0 || e.defaultPrevented) return;
    var n = e.target;
    while (n && !(n.nodeType === 1 && (n.localName === 'a' || n.localName === 'area') && n.hasAttribute('href')))
      n = n.parentNode;
    if (!n) return;
    var t = (n.getAttribute('target') || '').toLowerCase();
    if (t && t !== '_self' && t !== '_top' && t !== '_parent') return;
    var href = n.href;
    var cut = href.indexOf('#');
    var fragment = cut >= 0 && href.substring(0, cut) === location.href.split('#')[0];
    if (!fragment && href.toLowerCase().indexOf('about:') !== 0) return;
    e.preventDefault();
    location.href = 'velmora-nav:' + encodeURIComponent(href);
  }, false);
})();
)JS";

// Pages whose body says scroll="no" show no scroll bar of their own; they are
// scrolled from outside only. They are our generated pages, whose style sheets
// were written for the old IE engine: its picture-centering trick (absolute
// paragraph at 50%, picture pulled back by -50%) pushes pictures into the
// bottom-left corner in Chromium; IE put a block after a full-width float
// below it where Chromium lets its text overlap the next float; and IE's
// quirks mode counted padding and borders inside a width. The rules below give
// the same look without touching the page text.
const char* const kScrollNoStyle = R"JS(
(function () {
  var b = document.body;
  if (!b || (b.getAttribute('scroll') || '').toLowerCase() !== 'no') return;
  var s = document.createElement('style');
  s.textContent = 'html,body{overflow:hidden !important}*{box-sizing:border-box}' +
    '.div_pic p{position:static !important;margin:0 !important}' +
    '.div_pic img{position:static !important;max-width:100%;max-height:100%;vertical-align:middle}' +
    'body>.li>.div_title{clear:both}.li>.div_credit{float:left}';
  (document.head || document.documentElement).appendChild(s);
})();
)JS";

// The sentinel scheme never loads anything: the hook cancels every navigation
// to it, and a request that still arrives is refused.
class FragmentSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};

void InstallFragmentHandler(QWebEngineProfile* profile) {
    if (profile->urlSchemeHandler(kFragmentScheme)) return;
    profile->installUrlSchemeHandler(kFragmentScheme, new FragmentSchemeHandler(profile));
}

QWebEngineScript MakeScript(const char* name, const char* source, QWebEngineScript::InjectionPoint at) {
    QWebEngineScript script;
    script.setName(QString::fromLatin1(name));
    script.setSourceCode(QString::fromUtf8(source));
    script.setInjectionPoint(at);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

QByteArray Utf8ToGb18030(const QByteArray& utf8) {
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    QByteArray out;
    std::vector<char> buffer(4096);
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = static_cast<size_t>(utf8.size());
    while (inLeft > 0) {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer.data(), static_cast<qsizetype>(buffer.size() - dstLeft));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Cannot happen for valid UTF-8 (GB18030 covers all of Unicode);
            // skip the byte rather than lose the rest of the page.
            ++in;
            --inLeft;
            out.append('?');
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

// The page of one view: every navigation passes the view's hook first, and
// new windows leave the program.
class TWebPage : public QWebEnginePage {
public:
    TWebPage(TWebBrowser* owner) : QWebEnginePage(owner), m_owner(owner) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (url.scheme() == QLatin1String(kFragmentScheme)) {
            if (!isMainFrame) return false;
            const QUrl target(QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
            if (m_owner->BeforeNavigate(target)) m_owner->Follow(target);
            return false;
        }
        if (!isMainFrame || type == NavigationTypeRedirect) return true;
        if (!m_owner->m_approved.isEmpty() && url == m_owner->m_approved) {
            m_owner->m_approved.clear(); // already allowed by the hook
            return true;
        }
        if (m_owner->m_pendingWrites > 0 && url.scheme() == QLatin1String("data")) {
            // A document this view writes itself is not a navigation.
            --m_owner->m_pendingWrites;
            return true;
        }
        return m_owner->BeforeNavigate(url);
    }

private:
    TWebBrowser* m_owner;
};

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    m_page = new TWebPage(this);
    InstallFragmentHandler(m_page->profile());
    m_view->setPage(m_page);
    m_view->setAcceptDrops(false); // a dropped file would open it in the view
    layout->addWidget(m_view);

    QWebEngineSettings* settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);

    m_page->scripts().insert(
        MakeScript("velmora-fragment-router", kFragmentRouter, QWebEngineScript::DocumentCreation));
    m_page->scripts().insert(
        MakeScript("velmora-scroll-no", kScrollNoStyle, QWebEngineScript::DocumentReady));

    connect(m_page, &QWebEnginePage::newWindowRequested, this, [](QWebEngineNewWindowRequest& request) {
        // A written page's own links (a position handed back to the program,
        // opened in a new window by a middle click) mean nothing outside it.
        const QUrl url = request.requestedUrl();
        if (url.host() == DocumentBase().host() && url.scheme() == DocumentBase().scheme()) return;
        TPlatform::Instance().ShellOpen(url.toString());
    });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) {
        if (!url.isEmpty()) m_location = url.toString();
    });
    connect(m_page, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool) {
        emit ProgressChange(-1, 100); // the load is over
        emit DocumentComplete(m_page->url().toString());
    });
}

TWebBrowser::~TWebBrowser() {
    // The page must go before the view that shows it.
    m_view->setPage(nullptr);
    delete m_page;
    m_page = nullptr;
}

void TWebBrowser::RegisterSchemes() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    QWebEngineUrlScheme scheme(kFragmentScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl TWebBrowser::DocumentBase() {
    return QUrl(QStringLiteral("http://velmora.local/"));
}

void TWebBrowser::Navigate(const QString& url) {
    m_hasDocument = true;
    m_location = url;
    m_view->load(QUrl(url));
}

bool TWebBrowser::HasDocument() const {
    return m_hasDocument;
}

QString TWebBrowser::LocationURL() const {
    return m_hasDocument ? m_location : QString();
}

void TWebBrowser::BodyScrollHeight(std::function<void(std::optional<int>)> done) {
    if (!m_hasDocument) {
        done(std::nullopt);
        return;
    }
    m_page->runJavaScript(QStringLiteral("document.body ? document.body.scrollHeight : null"),
                          QWebEngineScript::ApplicationWorld, [done = std::move(done)](const QVariant& v) {
                              bool ok = false;
                              const int h = v.toInt(&ok);
                              if (v.isValid() && !v.isNull() && ok)
                                  done(h);
                              else
                                  done(std::nullopt);
                          });
}

void TWebBrowser::ScrollBy(int dx, int dy) {
    if (!m_hasDocument) return;
    m_page->runJavaScript(QStringLiteral("window.scrollBy(%1,%2)").arg(dx).arg(dy),
                          QWebEngineScript::ApplicationWorld);
}

void TWebBrowser::Open(const QString& url) {
    TPlatform::Instance().ShellOpen(url);
}

int TWebBrowser::ViewHeight() const {
    return m_view->height();
}

void TWebBrowser::FocusView() {
    m_view->setFocus(Qt::OtherFocusReason);
}

QWebEngineView* TWebBrowser::View() const {
    return m_view;
}

void TWebBrowser::LoadDocumentBytes(const QByteArray& bytes) {
    ++m_pendingWrites;
    m_page->setContent(bytes, QStringLiteral("text/html;charset=GB18030"), DocumentBase());
}

bool TWebBrowser::BeforeNavigate(const QUrl& url) {
    bool cancel = false;
    emit BeforeNavigate2(url.toString(), &cancel);
    return !cancel;
}

void TWebBrowser::Follow(const QUrl& target) {
    if (target.hasFragment() &&
        target.adjusted(QUrl::RemoveFragment) == m_page->url().adjusted(QUrl::RemoveFragment)) {
        FollowFragment(target);
        return;
    }
    m_approved = target;
    m_location = target.toString();
    m_page->load(target);
}

void TWebBrowser::FollowFragment(const QUrl& target) {
    const QString fragment = target.fragment(QUrl::FullyEncoded);
    m_page->runJavaScript(QStringLiteral("location.hash = decodeURIComponent('%1');")
                              .arg(QString::fromLatin1(QUrl::toPercentEncoding(fragment))),
                          QWebEngineScript::ApplicationWorld);
}

QByteArray EncodeDocument(const std::string& html) {
    std::string joined;
    joined.reserve(html.size() + html.size() / 32 + 2);
    size_t start = 0;
    const size_t n = html.size();
    while (start < n) {
        const size_t end = html.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            joined.append(html, start, std::string::npos);
            start = n;
        } else {
            joined.append(html, start, end - start);
            start = end + 1;
            if (html[end] == '\r' && start < n && html[start] == '\n') ++start;
        }
        joined.append("\r\n");
    }
    // Invalid UTF-8 becomes U+FFFD here, so the conversion below cannot fail.
    const QByteArray utf8 = QString::fromUtf8(joined.data(), static_cast<qsizetype>(joined.size())).toUtf8();
    return Utf8ToGb18030(utf8);
}

void WriteHtml(TWebBrowser* view, const std::string& html) {
    if (!view || !view->HasDocument()) return;
    view->LoadDocumentBytes(EncodeDocument(html));
}
