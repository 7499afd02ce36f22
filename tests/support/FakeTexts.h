#pragma once
// Language texts set by the test; a missing key reads as empty, as in a real file.

#include <map>
#include <string>
#include <utility>

#include "language/Texts.h"

namespace dovoviza::test {

class FakeTexts : public ITexts {
public:
    void Set(const std::string& section, const std::string& key, const std::string& text) {
        texts[{section, key}] = text;
    }
    std::string Text(const std::string& section, const std::string& key) override {
        const auto it = texts.find({section, key});
        return it == texts.end() ? std::string() : it->second;
    }

    std::map<std::pair<std::string, std::string>, std::string> texts;
};

}  // namespace dovoviza::test
