#include "engine/search/SearchWorker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "engine/job/ProjectReporter.h"
#include "engine/net/HttpSession.h"
#include "engine/search/ResultLink.h"
#include "engine/search/SearchEngineCatalog.h"
#include "model/SearchEngineChoice.h"

namespace tarnwick {

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(50);

bool IsCancelled(const WorkerContext& context) {
    return context.gate && context.gate->IsCancelled();
}

// Waits the engine's pause between two requests; false when the job was cancelled meanwhile.
bool WaitPolitely(const WorkerContext& context, int waitMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < until) {
        if (context.gate && !context.gate->WaitWhilePaused()) {
            return false;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kWaitSlice, until - std::chrono::steady_clock::now()));
    }
    return !IsCancelled(context);
}

struct ResultPage {
    std::string url;  // where it came from, redirects followed: its relative links start there
    std::string body;
};

// One result page, its body up to the cap; nothing when it did not arrive.
std::optional<ResultPage> FetchPage(WorkerContext& context, HttpSession& session,
                                    const SearchEngineQuery& engine, const std::string& url) {
    HttpRequest request;
    request.url = url;
    request.followRedirects = true;
    request.failOnHttpError = true;
    request.timeoutMs = engine.timeoutMs;
    std::string page;
    bool capped = false;
    const TransferResult result = session.Get(request, [&](std::string_view data) {
        page.append(data.substr(0, kMaxResultPageBytes - page.size()));
        capped = page.size() >= kMaxResultPageBytes;
        return !capped;
    });
    if ((!result.ok && !capped) || IsCancelled(context)) {
        return std::nullopt;
    }
    const std::string arrivedFrom = session.EffectiveUrl();
    return ResultPage{arrivedFrom.empty() ? url : arrivedFrom, std::move(page)};
}

std::string LinksFoundText(int count) {
    char text[64];
    std::snprintf(text, sizeof text, "%d links found", count);
    return text;
}

// One run of a search project over the engines it chooses, in the file's order.
class SearchRun {
public:
    SearchRun(WorkerContext& context, SearchProject project)
        : context_(context),
          state_(context.state),
          project_(std::move(project)),
          reporter_(state_, &SharedState::SearchProjects, ListCategory::SearchProjects,
                    project_.name) {}

    int Run() {
        const bool complete = RunPasses();
        RemoveRunningJob(state_, state_.RunningSearchJobs, project_.name, context_.gate);
        return complete ? 1 : 0;
    }

private:
    // False when the run ended early: the project is gone or the job was cancelled.
    bool RunPasses() {
        const std::optional<ProjectRow> found = reporter_.FindRow();
        if (!found) {
            return false;
        }
        if (found->shown) {
            state_.ui.SetRowStatus(found->row, "Running search project...");
        }
        StartBusyAnimation(state_);
        const SearchEngineCatalog catalog = LoadSearchEngines(context_.workingDirectory);
        ReportProblemsOnce(catalog.problems);
        RememberEarlierResults();
        bool ranThrough = true;
        for (const auto& [name, engine] : ChosenEngines(catalog)) {
            if (!Pass(name, engine)) {
                ranThrough = false;
                break;
            }
        }
        StopBusyAnimation(state_);
        if (!ranThrough) {
            return false;
        }
        const std::optional<ProjectRow> atEnd = reporter_.FindRow();
        if (!atEnd) {
            return false;
        }
        {
            std::lock_guard lock(state_.mutex);
            if (errorOccurred_ && !anyAnswered_) {
                state_.searchesUnanswered.insert(project_.name);
            } else {
                state_.searchesUnanswered.erase(project_.name);
            }
        }
        if (!errorOccurred_ && atEnd->selected) {
            state_.ui.SetLastActionText("Search ended");
            state_.ui.SetStatusText("Search completed succesfully");
        }
        return true;
    }

    // Each bad entry of the file is shown once while the program runs, not on every run.
    void ReportProblemsOnce(const std::vector<std::string>& problems) {
        for (const std::string& problem : problems) {
            bool first = false;
            {
                std::lock_guard lock(state_.mutex);
                first = state_.engineProblemsShown.insert(problem).second;
            }
            if (first) {
                state_.ui.ShowMessage(problem);
            }
        }
    }

    // Links this project found on earlier runs are not kept a second time.
    void RememberEarlierResults() {
        std::lock_guard lock(state_.mutex);
        for (const FileEntry& entry : state_.SearchResults.Entries()) {
            if (EqualsIgnoreCase(entry.status, project_.name)) {
                seen_.insert(entry.url);
            }
        }
    }

    // The engines of the file the project chooses, in the file's order, then the names it
    // chooses that the file lacks (each a failing pass). The seven flags of engines the file
    // lacks ask nothing, as they always have.
    std::vector<std::pair<std::string, const SearchEngineQuery*>> ChosenEngines(
        const SearchEngineCatalog& catalog) const {
        std::vector<std::pair<std::string, const SearchEngineQuery*>> chosen;
        const bool every = NamesNoEngine(project_);
        for (const SearchEngineQuery& engine : catalog.engines) {
            if (every || ChoosesEngine(project_, engine.name)) {
                chosen.emplace_back(engine.name, &engine);
            }
        }
        for (const std::string& name : project_.otherEngines) {
            if (catalog.Find(name) == nullptr) {
                chosen.emplace_back(name, nullptr);
            }
        }
        return chosen;
    }

    bool Pass(const std::string& name, const SearchEngineQuery* engine) {
        if (!reporter_.EchoLastAction("Retrieving links from " + name + "...")) {
            return false;
        }
        EnginePass pass;
        if (engine != nullptr) {
            pass = QuerySearchEngine(context_, *engine, project_.searchString, seen_);
        }
        if (IsCancelled(context_)) {
            return false;
        }
        std::optional<ProjectRow> found;
        {
            std::lock_guard lock(state_.mutex);
            found = reporter_.FindRowLocked();
            if (!found) {
                return false;
            }
            for (std::string& link : pass.newLinks) {
                state_.SearchResults.Append(FileEntry{std::move(link), project_.name});
            }
        }
        // The first engine's outcome stays in the row; later ones show in the status panel.
        const bool inRow = passesRun_++ == 0 && found->shown;
        anyAnswered_ = anyAnswered_ || pass.answered;
        if (pass.answered && pass.matched > 0) {
            linksFound_ += static_cast<int>(pass.newLinks.size());
            if (inRow) {
                state_.ui.SetRowStatus(found->row, "Search Completed Successfully");
            }
            if (found->selected) {
                state_.ui.SetStatusText(LinksFoundText(linksFound_));
            }
            return true;
        }
        errorOccurred_ = true;
        const std::string error = "Error retrieving links from " + name;
        if (inRow) {
            state_.ui.SetRowStatus(found->row, error);
        }
        if (found->selected) {
            state_.ui.SetStatusText(error);
        }
        return true;
    }

    WorkerContext& context_;
    SharedState& state_;
    SearchProject project_;
    ProjectReporter<SearchProjectList> reporter_;
    std::unordered_set<std::string> seen_;
    int passesRun_ = 0;
    int linksFound_ = 0;
    bool errorOccurred_ = false;
    bool anyAnswered_ = false;
};

}  // namespace

EnginePass QuerySearchEngine(WorkerContext& context, const SearchEngineQuery& engine,
                             std::string_view searchString, std::unordered_set<std::string>& seen) {
    EnginePass pass;
    if (searchString.empty()) {
        return pass;
    }
    HttpSession session(context.gate, context.caBundlePath);
    for (int page = 0; page < engine.pages; ++page) {
        if (page > 0 && !WaitPolitely(context, engine.waitMs)) {
            break;
        }
        const std::optional<ResultPage> fetched =
            FetchPage(context, session, engine, engine.PageUrl(searchString, page));
        if (!fetched) {
            break;
        }
        pass.answered = true;
        const std::size_t before = pass.newLinks.size();
        engine.results.ForEachLink(fetched->body, [&](std::string_view found) {
            ++pass.matched;
            const std::string decoded =
                engine.linksEncoded ? PercentDecoded(HtmlDecoded(found)) : HtmlDecoded(found);
            std::optional<std::string> link = AbsoluteResultLink(fetched->url, decoded);
            // A link too wide for a result entry would be stored cut, pointing elsewhere.
            if (link && link->size() < kUrlWidth && seen.insert(*link).second) {
                pass.newLinks.push_back(std::move(*link));
            }
            return pass.newLinks.size() < kMaxSearchResultLinks;
        });
        if (pass.newLinks.size() == before || pass.newLinks.size() >= kMaxSearchResultLinks) {
            break;
        }
    }
    return pass;
}

int RunSearchProject(WorkerContext& context, SearchProject project) {
    return SearchRun(context, std::move(project)).Run();
}

}  // namespace tarnwick
