// Help > Check for updates: what is asked, how the answer is read against version 2.0, what is shown.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "about/UpdateCheck.h"
#include "support/FakeShell.h"
#include "support/FakeSystem.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

struct FakeHttp : IHttpClient {
    std::uint64_t Get(const HttpRequest& r) override { requests.push_back(r); return requests.size(); }
    std::vector<HttpRequest> requests;
};

struct UpdateCheckTest : ::testing::Test {
    UpdateCheckTest() {
        texts.texts = {{{"Main", "47"}, "New!"}, {{"Main", "48"}, "Download?"}, {{"Main", "49"}, "Latest."},
                       {{"About", "2"}, "Version:"}};
    }
    FakeHttp http;
    FakeTexts texts;
    ScriptedPrompt prompt;
    FakeShell shell;
    FakeSystem system;
    UpdateCheck check{http, texts, prompt, shell, system, {"updates.example.test", 8080, "http://home.example.test/"}};
};

TEST_F(UpdateCheckTest, OnlyTheFirstAndLastCharacterCountAndFailuresEndTheCheckSilently) {
    struct Case { std::string body; int status; bool newer; int answer = kAnswerOk; };
    const Case cases[] = {
        {"2.1", 200, true, kAnswerYes}, {"9", 200, true, kAnswerNo}, {"3.0", 200, false}, {"2.0", 200, false},
        {"1.9", 200, false}, {"10.5", 200, false}, {"2.1\r\n", 200, false}, {"v2.1", 200, false}, {"", 200, false},
        {"2.1", 404, false}, {"2.1", 500, false}, {"2.1", 0, false}};  // status 0: the request failed
    for (const Case& c : cases) {
        SCOPED_TRACE("body \"" + c.body + "\", status " + std::to_string(c.status));
        prompt.calls.clear();
        prompt.answers = {c.answer};
        check.Start();
        check.OnAnswer({http.requests.size(), c.status != 0, c.status, c.body});
        ASSERT_EQ(prompt.calls.size(), c.status == 200 ? 1u : 0u);
        if (prompt.calls.empty()) continue;
        EXPECT_EQ(prompt.calls[0].text, c.newer ? "New!\r\nVersion: " + c.body + "\r\n\r\nDownload?" : "Latest.");
        EXPECT_EQ(prompt.calls[0].caption + " " + std::to_string(prompt.calls[0].style),
                  "Varnek RuvazUv Avuzuza " + std::to_string(c.newer ? MsgStyle::Question : MsgStyle::Information));
    }
    // Only Yes to an offer opened the home page, from the program's folder.
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].target + "|" + shell.opened[0].parameters + "|" + shell.opened[0].workingFolder,
              "http://home.example.test/||" + system.programFolder);
    const HttpRequest& r = http.requests.back();
    EXPECT_EQ(r.host + ":" + std::to_string(r.port) + r.path + " " + std::to_string(r.timeoutMs),
              "updates.example.test:8080/dovoviza_free.txt 1000");
}

TEST_F(UpdateCheckTest, OnlyTheLatestRequestIsAnsweredAndOnlyOnce) {
    check.Start();
    check.Start();
    check.OnAnswer({1, true, 200, "2.1"});  // the dropped request, arriving first
    EXPECT_TRUE(check.Running());
    for (const std::uint64_t id : {2, 2, 1}) check.OnAnswer({id, true, 200, "2.0"});
    EXPECT_EQ(prompt.calls.size(), 1u);
}

}  // namespace
