#include "engine/search/SearchWorker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "engine/job/EntryReporter.h"
#include "engine/net/HttpSession.h"
#include "engine/net/TransferErrorText.h"
#include "engine/search/ResultLink.h"
#include "engine/search/SearchEngineCatalog.h"
#include "model/ListChanges.h"
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

// One result page, its body up to the cap; nothing when it did not arrive, with why in failure.
std::optional<ResultPage> FetchPage(WorkerContext& context, HttpSession& session,
                                    const SearchEngineQuery& engine, const std::string& url,
                                    Outcome& failure) {
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
        failure = Outcome{result.failure, TransferErrorText(result.errorText)};
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
          reporter_(state_, ListCategory::SearchProjects, context.entry) {}

    Outcome Run() {
        const bool ranThrough = RunPasses();
        RemoveRunningJob(state_, state_.RunningSearchJobs, context_.entry, context_.gate);
        if (!ranThrough) {
            return IsCancelled(context_) ? Outcome{OutcomeKind::Interrupted, {}}
                                         : Outcome{OutcomeKind::Cancelled, "Deleted"};
        }
        return Ending();
    }

private:
    // False when the run ended early: the project is gone or the job was cancelled.
    bool RunPasses() {
        if (!reporter_.Report({.status = "Running search project..."})) {
            return false;
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
        if (!failure_) {
            return reporter_.Report(
                {.panelAction = "Search ended", .panelStatus = "Search completed succesfully"});
        }
        return reporter_.IsListed();
    }

    // Done when every engine answered with links, partly done when some did, else the first
    // failure's kind; a project that asks no engine at all asks for nothing that can be done.
    Outcome Ending() const {
        if (passesRun_ == 0) {
            return {OutcomeKind::BadRequest, "No search engine to ask"};
        }
        if (!failure_) {
            return Outcome::Done("Search ended");
        }
        if (failures_ == passesRun_) {
            return *failure_;
        }
        return {OutcomeKind::PartlyDone, failure_->text + " (" + std::to_string(failures_) +
                                             " of " + std::to_string(passesRun_) +
                                             " engines failed)"};
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
        } else {
            pass.unanswered = {OutcomeKind::BadRequest, name + " is not in searchengines.conf"};
        }
        if (IsCancelled(context_) || !AppendResults(pass.newLinks)) {
            return false;
        }
        // The first engine's outcome stays in the row; later ones show in the status panel.
        const bool inRow = passesRun_++ == 0;
        const bool found = pass.answered && pass.matched > 0;
        std::string row = "Search Completed Successfully";
        std::string panel;
        if (found) {
            linksFound_ += static_cast<int>(pass.newLinks.size());
            panel = LinksFoundText(linksFound_);
        } else {
            row = panel = "Error retrieving links from " + name;
            NoteFailure(pass, panel);
        }
        EntryNews news{.panelStatus = panel};
        if (inRow) {
            news.status = row;
        }
        return reporter_.Report(news);
    }

    // Appends the pass's links to the search results, as found by this project; false when
    // the project is gone.
    bool AppendResults(std::vector<std::string>& links) {
        std::vector<EntryView> added;
        {
            std::lock_guard lock(state_.mutex);
            if (state_.SearchProjects.Find(context_.entry) == nullptr) {
                return false;
            }
            for (std::string& link : links) {
                const EntryId id =
                    state_.SearchResults.Append(FileEntry{std::move(link), project_.name});
                added.push_back(
                    ViewOf(ListCategory::SearchResults, id, *state_.SearchResults.Find(id)));
            }
        }
        for (const EntryView& view : added) {
            state_.ui.EntryAdded(view);
        }
        return true;
    }

    // An engine that answered but matched nothing gave no results the project can use.
    void NoteFailure(const EnginePass& pass, const std::string& text) {
        ++failures_;
        if (failure_) {
            return;
        }
        const Outcome why = pass.answered
                                ? Outcome{OutcomeKind::ServerRefused, "its answer held no links"}
                                : pass.unanswered;
        failure_ = Outcome{why.kind, why.text.empty() ? text : text + ": " + why.text};
    }

    WorkerContext& context_;
    SharedState& state_;
    SearchProject project_;
    EntryReporter reporter_;
    std::unordered_set<std::string> seen_;
    int passesRun_ = 0;
    int failures_ = 0;
    int linksFound_ = 0;
    std::optional<Outcome> failure_;  // the first engine's that failed
};

}  // namespace

EnginePass QuerySearchEngine(WorkerContext& context, const SearchEngineQuery& engine,
                             std::string_view searchString, std::unordered_set<std::string>& seen) {
    EnginePass pass;
    if (searchString.empty()) {
        pass.unanswered = {OutcomeKind::BadRequest, "the search text is empty"};
        return pass;
    }
    HttpSession session(context.gate, context.caBundlePath);
    for (int page = 0; page < engine.pages; ++page) {
        if (page > 0 && !WaitPolitely(context, engine.waitMs)) {
            break;
        }
        const std::optional<ResultPage> fetched = FetchPage(
            context, session, engine, engine.PageUrl(searchString, page), pass.unanswered);
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

Outcome RunSearchProject(WorkerContext& context, SearchProject project) {
    return SearchRun(context, std::move(project)).Run();
}

}  // namespace tarnwick
