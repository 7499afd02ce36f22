#include <gtest/gtest.h>

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

class FakeHttp : public IHttpClient {
public:
    std::uint64_t Get(const HttpRequest& request) override {
        requests.push_back(request);
        return requests.size();
    }
    std::vector<HttpRequest> requests;
};

constexpr const char* kLatest = "You already have the latest version.";

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest() {
        texts.Set("Main", "47", "New version available!");
        texts.Set("Main", "48", "Would you like to download it?");
        texts.Set("Main", "49", kLatest);
        texts.Set("About", "2", "Version:");
    }
    static HttpAnswer Answer(std::uint64_t id, const std::string& body, int status = 200) {
        return {id, true, status, body};
    }
    static std::string Offer(const std::string& version) {
        return "New version available!\r\nVersion: " + version +
               "\r\n\r\nWould you like to download it?";
    }

    FakeHttp http;
    FakeTexts texts;
    ScriptedPrompt prompt;
    FakeShell shell;
    FakeSystem system;
    UpdateCheck check{http, texts, prompt, shell, system,
                      {"updates.example.test", 8080, "http://home.example.test/"}};
};

TEST_F(UpdateCheckTest, ReadsOnlyTheFirstAndLastCharacterAgainstVersion2Point0) {
    struct Case {
        std::string body;
        int status;
        std::string shown;  // empty: nothing shown
        int style;
    };
    const std::vector<Case> cases = {
        {"2.1", 200, Offer("2.1"), MsgStyle::Question},
        {"9", 200, Offer("9"), MsgStyle::Question},
        {"3.0", 200, kLatest, MsgStyle::Information},
        {"2.0", 200, kLatest, MsgStyle::Information},
        {"1.9", 200, kLatest, MsgStyle::Information},
        {"10.5", 200, kLatest, MsgStyle::Information},
        {"2.1\r\n", 200, kLatest, MsgStyle::Information},
        {"v2.1", 200, kLatest, MsgStyle::Information},
        {"", 200, kLatest, MsgStyle::Information},
        {"2.1", 404, "", 0},
        {"2.1", 500, "", 0},
        {"2.1", 0, "", 0},  // failed request
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("body \"" + c.body + "\", status " + std::to_string(c.status));
        prompt.calls.clear();
        check.Start();
        EXPECT_TRUE(check.Running());
        check.OnAnswer({http.requests.size(), c.status != 0, c.status, c.body});
        EXPECT_FALSE(check.Running());
        if (c.shown.empty()) {
            EXPECT_TRUE(prompt.calls.empty());
            continue;
        }
        ASSERT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(prompt.calls[0].text, c.shown);
        EXPECT_EQ(prompt.calls[0].caption, "Varnek RuvazUv Avuzuza");
        EXPECT_EQ(prompt.calls[0].style, c.style);
    }
    EXPECT_TRUE(shell.opened.empty());
    // Every click asks the configured server for the same file.
    for (const HttpRequest& request : http.requests) {
        EXPECT_EQ(request.host, "updates.example.test");
        EXPECT_EQ(request.port, 8080);
        EXPECT_EQ(request.path, "/dovoviza_free.txt");
        EXPECT_EQ(request.timeoutMs, 1000);
    }
}

TEST_F(UpdateCheckTest, YesOpensTheHomePageFromTheProgramFolderAndNoOpensNothing) {
    prompt.Answer(kAnswerNo);
    check.Start();
    check.OnAnswer(Answer(1, "2.1"));
    EXPECT_TRUE(shell.opened.empty());

    prompt.Answer(kAnswerYes);
    check.Start();
    check.OnAnswer(Answer(2, "2.1"));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].target, "http://home.example.test/");
    EXPECT_EQ(shell.opened[0].parameters, "");
    EXPECT_EQ(shell.opened[0].workingFolder, system.programFolder);
}

TEST_F(UpdateCheckTest, OnlyTheLatestRequestIsAnsweredAndOnlyOnce) {
    check.Start();
    check.Start();
    check.OnAnswer(Answer(1, "2.1"));  // the dropped request, arriving first
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_TRUE(check.Running());
    check.OnAnswer(Answer(2, "2.0"));
    check.OnAnswer(Answer(2, "2.0"));
    check.OnAnswer(Answer(1, "2.1"));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, kLatest);
    EXPECT_FALSE(check.Running());
}

}  // namespace
