// velmora-proxy as a program: started as a child process through the test
// helper, as the program's own tests will use it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <httplib.h>

#include "service/Request.h"
#include "service/Taobao_Itemcats.h"
#include "tests/support/ProxyProcess.h"

TEST(ProxyProcess, ServesPrimaryAndFallbackAndEndsCleanlyOnSigterm) {
    ProxyProcess primary;
    ProxyProcess fallback({"--seed", "1", "--gbk"});
    ASSERT_NE(primary.port(), fallback.port());
    for (const ProxyProcess* p : {&primary, &fallback}) {
        TTaobao_Itemcats cats;
        Tb_Itemcats_Cond cond{};
        cond.pid = PublisherId;
        cond.url = p->baseUrl() + TbItemcatsPath;
        cond.parent_cid = "0";
        const ATb_Itemcats_Info* rows = nullptr;
        ASSERT_TRUE(cats.Fetch(cond, {}, rows)) << p->baseUrl();
        EXPECT_EQ((*rows)[1].name, "书籍/杂志/报纸");
    }
    const int status = primary.stop();
    EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal instead of exiting";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(primary.running());
    EXPECT_TRUE(fallback.running());
}

TEST(ProxyProcess, FlagsReachTheProgram) {
    ProxyProcess p({"--version", "v9.9", "--fail-path", "/aobao/III/count.html"});
    httplib::Client client("127.0.0.1", p.port());
    auto ok = client.Get("/aobao/III/ok.php?pid=x");
    ASSERT_TRUE(ok);
    EXPECT_NE(ok->body.find("\r\nVersion=v9.9\r\n"), std::string::npos);
    EXPECT_EQ(client.Get("/aobao/III/count.html")->status, 500);
}

TEST(ProxyProcess, ABadCommandLineOrABusyPortIsReported) {
    EXPECT_THROW(ProxyProcess({"--bogus"}, 0, 5000), std::runtime_error);
    ProxyProcess first;
    EXPECT_THROW(ProxyProcess({}, first.port(), 5000), std::runtime_error);
}
