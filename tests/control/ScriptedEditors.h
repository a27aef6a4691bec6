#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "control/EntryEditors.h"

namespace tarnwick::testing {

// Answers the entry dialogs from a script: each dialog takes the next answer of its kind,
// and every dialog opened is recorded with what it was filled with.
class ScriptedEditors : public EntryEditors {
public:
    struct Opened {
        std::string kind;  // "file", "web", "search" or "start"
        std::string caption;
        WebProject web;        // as the sheet was filled
        SearchProject search;  // as the dialog was filled
        WebProjectOptions webOptions;
    };

    // nullopt-like: an empty function means Cancel.
    std::deque<std::function<bool(std::string&)>> fileAnswers;
    std::deque<std::function<bool(WebProject&)>> webAnswers;
    std::deque<std::function<bool(SearchProject&)>> searchAnswers;
    std::deque<int> startAnswers;
    FileRequestOptions fileOptions;  // what every Add File(s) answers besides its address
    // What an OK on the web project sheet does to the options it was filled with.
    std::function<void(WebProjectOptions&)> editWebOptions;
    std::vector<Opened> opened;

    bool AskFileUrl(std::string& url, FileRequestOptions& options) override {
        opened.push_back({"file", "", {}, {}, {}});
        options = fileOptions;
        return Answer(fileAnswers, url);
    }
    bool EditWebProject(WebProject& project, WebProjectOptions& options,
                        const std::string& caption) override {
        opened.push_back({"web", caption, project, {}, options});
        const bool ok = Answer(webAnswers, project);
        if (ok && editWebOptions) {
            editWebOptions(options);
        }
        return ok;
    }
    bool EditSearchProject(SearchProject& project) override {
        opened.push_back({"search", "", {}, project, {}});
        return Answer(searchAnswers, project);
    }
    int AskStartChoice() override {
        opened.push_back({"start", "", {}, {}, {}});
        if (startAnswers.empty()) {
            return 0;
        }
        const int choice = startAnswers.front();
        startAnswers.pop_front();
        return choice;
    }

private:
    template <typename Answers, typename Value>
    static bool Answer(Answers& answers, Value& value) {
        if (answers.empty()) {
            return false;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer && answer(value);
    }
};

}  // namespace tarnwick::testing
