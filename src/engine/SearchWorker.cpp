#include "engine/SearchWorker.h"

#include <cstdio>
#include <mutex>
#include <optional>
#include <utility>

#include "engine/LineSplitter.h"
#include "engine/LinkExtractor.h"
#include "engine/ProjectReporter.h"
#include "engine/net/HttpSession.h"

namespace tarnwick {

namespace {

bool PassGate(const WorkerContext& context) {
    return !context.gate || context.gate->WaitWhilePaused();
}

bool IsCancelled(const WorkerContext& context) {
    return context.gate && context.gate->IsCancelled();
}

// The first link of a line, if it leads away from the engine.
bool AcceptedLink(const SearchEngineQuery& engine, std::string_view line, std::string& link) {
    if (!LinkExtractor::ExtractHref(line, link) || LinkExtractor::LinkContains(engine.name, link)) {
        return false;
    }
    // A link too wide for a result entry would be stored cut, pointing somewhere else.
    if (link.size() >= kUrlWidth) {
        return false;
    }
    return LinkExtractor::LinkContains("http://", link) ||
           LinkExtractor::LinkContains("https://", link);
}

std::string LinksFoundText(int count) {
    char text[64];
    std::snprintf(text, sizeof text, "%d links found", count);
    return text;
}

// One run of a search project over the engines it selects, in their fixed order.
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
        const bool ranThrough = (project_.useAltavista == 0 || Pass(kAltavistaQuery)) &&
                                (project_.useYahoo == 0 || Pass(kYahooQuery));
        StopBusyAnimation(state_);
        if (!ranThrough) {
            return false;
        }
        const std::optional<ProjectRow> atEnd = reporter_.FindRow();
        if (!atEnd) {
            return false;
        }
        if (!errorOccurred_ && atEnd->selected) {
            state_.ui.SetLastActionText("Search ended");
            state_.ui.SetStatusText("Search completed succesfully");
        }
        return true;
    }

    bool Pass(const SearchEngineQuery& engine) {
        if (!reporter_.EchoLastAction(std::string("Retrieving links from ") + engine.name +
                                      "...")) {
            return false;
        }
        std::vector<std::string> links;
        const int count = QuerySearchEngine(context_, engine, project_.searchString, links);
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
            for (std::string& link : links) {
                state_.SearchResults.Append(FileEntry{std::move(link), project_.name});
            }
        }
        if (count > 0) {
            linksFound_ += count;
            if (engine.reportsInRowStatus && found->shown) {
                state_.ui.SetRowStatus(found->row, "Search Completed Successfully");
            }
            if (found->selected) {
                state_.ui.SetStatusText(LinksFoundText(linksFound_));
            }
            return true;
        }
        errorOccurred_ = true;
        const std::string error = std::string("Error retrieving links from ") + engine.name;
        if (engine.reportsInRowStatus && found->shown) {
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
    int linksFound_ = 0;
    bool errorOccurred_ = false;
};

}  // namespace

int QuerySearchEngine(WorkerContext& context, const SearchEngineQuery& engine,
                      std::string_view searchString, std::vector<std::string>& results) {
    results.clear();
    if (searchString.empty()) {
        return kEmptySearchString;
    }
    std::string text(searchString);
    for (char& c : text) {
        if (c == ' ') {
            c = '+';
        }
    }
    HttpRequest request;
    request.url = engine.Url(text);
    request.followRedirects = true;

    std::vector<std::string> accepted;
    int linesRead = 0;
    bool readEnough = false;
    const LineSplitter::LineSink scanLine = [&](std::string& line, bool) {
        if (!PassGate(context)) {
            return false;
        }
        std::string link;
        if (AcceptedLink(engine, line, link)) {
            accepted.push_back(std::move(link));
        }
        readEnough = ++linesRead >= engine.lineCapacity || accepted.size() >= kMaxSearchResultLinks;
        return !readEnough;
    };
    LineSplitter lines;
    HttpSession session(context.gate, context.caBundlePath);
    const TransferResult result =
        session.Get(request, [&](std::string_view data) { return lines.Feed(data, scanLine); });
    if (!readEnough) {
        if (!result.ok) {
            return kSearchFailed;
        }
        lines.Finish(scanLine);
    }
    if (IsCancelled(context)) {
        return kSearchFailed;
    }
    results = std::move(accepted);
    return static_cast<int>(results.size());
}

int RunSearchProject(WorkerContext& context, SearchProject project) {
    return SearchRun(context, std::move(project)).Run();
}

}  // namespace tarnwick
