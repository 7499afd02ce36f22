#include "ScriptedPrompt.h"

namespace dovoviza::test {

int ScriptedPrompt::Show(const std::string& text, const std::string& caption, int style) {
    calls.push_back(PromptCall{text, caption, style});
    if (answers.empty()) return kAnswerOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace dovoviza::test
