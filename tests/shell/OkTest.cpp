// The software-information query: answer parsing and the request itself.
#include <gtest/gtest.h>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "update/ok.h"

namespace {

struct ParseCase {
    const char* name;
    std::string answer;
    SOFT_INFO expected; // Extra1, Extra2, UpdateUrl, UpdateName, Extra3, Version
};

std::vector<ParseCase> ParseCases() {
    return {
        {"LinesTwoToSevenByPosition", "head\na=1\nb=2\nc=3\nd=4\ne=5\nf=6\n", {"2", "6", "5", "3", "1", "4"}},
        {"BlankLinesBetween",
         "\r\n\r\nhead\r\n\r\na=1\n\nb=2\r\rc=3\nd=4\n\n\ne=5\nf=6",
         {"2", "6", "5", "3", "1", "4"}},
        {"KeysAreNotLookedAt",
         "x\nVersion=1\nfoo=2\n=3\nUpdateUrl=4\nq=5\nr=6",
         {"2", "6", "5", "3", "1", "4"}},
        {"TwoEqualsAndNone", "h\nk=a=b\nplain\nc\nd\ne\nf", {"plain", "f", "e", "c", "a=b", "d"}},
        {"LinesAfterSeventhIgnored", "h\n1\n2\n3\n4\n5\n6\n7\n8", {"2", "6", "5", "3", "1", "4"}},
        {"FewerLinesLeaveFieldsEmpty", "h\nk=1\nk=2", {"2", "", "", "", "1", ""}},
        {"EmptyAnswer", "", {}},
        {"QuotedRunKeepsLineBreaks",
         "h\nk=\"a\nb\"\nk='c\r\nd'x\n3",
         {"'c\r\nd'x", "", "", "3", "\"a\nb\"", ""}},
        {"UnclosedQuoteRunsToTheEnd", "h\nk=1\nk='2\n3\n4", {"'2\n3\n4", "", "", "", "1", ""}},
        {"ChineseValues", "h\nk=软件\nk=v2.0", {"v2.0", "", "", "", "软件", ""}},
    };
}

// A loopback port with nothing listening on it.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool SameInfo(const SOFT_INFO& a, const SOFT_INFO& b) {
    return a.Extra1 == b.Extra1 && a.Extra2 == b.Extra2 && a.UpdateUrl == b.UpdateUrl &&
           a.UpdateName == b.UpdateName && a.Extra3 == b.Extra3 && a.Version == b.Version;
}

std::string Show(const SOFT_INFO& i) {
    return "Extra1=" + i.Extra1 + " Extra2=" + i.Extra2 + " UpdateUrl=" + i.UpdateUrl +
           " UpdateName=" + i.UpdateName + " Extra3=" + i.Extra3 + " Version=" + i.Version;
}

} // namespace

TEST(SoftInfoParse, TableOfAnswers) {
    for (const ParseCase& c : ParseCases()) {
        SOFT_INFO info;
        info.Version = "stale"; // parsing starts from an empty record
        TOK::ParseSoftInfo(c.answer, info);
        EXPECT_TRUE(SameInfo(info, c.expected)) << c.name << ": " << Show(info);
    }
}

// A loopback server whose answer each test sets.
class SoftInfoServer : public ::testing::Test {
protected:
    void SetUp() override {
        server.Get("/aobao/III/ok.php", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                targets.push_back(req.target);
            }
            res.status = status;
            res.set_content(body, "text/plain");
        });
        port = server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(port, 0);
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    void TearDown() override {
        server.stop();
        thread.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port) + "/aobao/III/ok.php"; }

    httplib::Server server;
    std::thread thread;
    int port = 0;
    int status = 200;
    std::string body;
    std::mutex mutex;
    std::vector<std::string> targets;
};

TEST_F(SoftInfoServer, AnswerFillsTheRecordAndTheUrlIsPidOnly) {
    body = "[soft]\nextra3=a\nextra1=b\nname=Velmora2\nversion=v2.0\nurl=http://x/y.zip\nextra2=c\n";
    TOK ok;
    SOFT_INFO info;
    ASSERT_TRUE(ok.GetSoftInfo(Url(), "mm_24680135_0_0", info));
    EXPECT_EQ(info.Version, "v2.0");
    EXPECT_EQ(info.UpdateName, "Velmora2");
    EXPECT_EQ(info.UpdateUrl, "http://x/y.zip");
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0], "/aobao/III/ok.php?pid=mm_24680135_0_0");
}

TEST_F(SoftInfoServer, FailuresAndSpecialAnswers) {
    struct Case {
        const char* name;
        int status;
        std::string body;
        std::string text; // QueryText
        bool result;      // GetSoftInfo
    } cases[] = {
        {"ServerError", 500, "h\nk=1", "error", false},
        {"NotFound", 404, "", "error", false},
        {"AnswerIsError", 200, "error", "error", false},
        {"ErrorWithLineBreakIsText", 200, "error\n", "error\n", true},
        {"EmptyBodyIsSuccess", 200, "", "", true},
        {"InvalidUtf8IsEmptyText", 200, std::string("h\nk=\xff\xfe", 7), "", true},
        {"OverlongUtf8IsEmptyText", 200, std::string("h\nk=\xc0\xaf", 7), "", true},
    };
    TOK ok;
    for (const Case& c : cases) {
        status = c.status;
        body = c.body;
        EXPECT_EQ(ok.QueryText(Url(), "p"), c.text) << c.name;
        SOFT_INFO info;
        info.Version = "stale";
        EXPECT_EQ(ok.GetSoftInfo(Url(), "p", info), c.result) << c.name;
        EXPECT_EQ(info.Version, "") << c.name;
    }
}

TEST_F(SoftInfoServer, EmptyPidMakesNoRequest) {
    TOK ok;
    SOFT_INFO info;
    EXPECT_FALSE(ok.GetSoftInfo(Url(), "", info));
    EXPECT_TRUE(targets.empty());
}

TEST(SoftInfoQuery, UnreachableServerIsError) {
    // Bind a port, then close it so nothing listens there.
    const int port = ClosedPort();
    TOK ok;
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/aobao/III/ok.php";
    EXPECT_EQ(ok.QueryText(url, "p"), "error");
    SOFT_INFO info;
    EXPECT_FALSE(ok.GetSoftInfo(url, "p", info));
}
