#pragma once
// Message boxes answered from a script: queued answers are given in turn, then
// OK. Every box shown is recorded.

#include <deque>
#include <string>
#include <vector>

#include "platform/Prompt.h"

namespace dovoviza::test {

struct PromptCall {
    std::string text, caption;
    int style = 0;
};

class ScriptedPrompt : public IPrompt {
public:
    int Show(const std::string& text, const std::string& caption, int style) override {
        calls.push_back(PromptCall{text, caption, style});
        if (answers.empty()) return kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void Answer(int answer) { answers.push_back(answer); }

    std::deque<int> answers;
    std::vector<PromptCall> calls;
};

}  // namespace dovoviza::test
