#include "model/ListFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "model/ListFileFormat.h"

namespace tarnwick {

namespace {

constexpr const char* kFilesMessage = "Error saving the 'Requested Files' list!";
constexpr const char* kWebSitesMessage = "Error saving the 'Requested Web Sites' list!";
constexpr const char* kSearchMessage = "Error saving the 'Requested Search Projects' list!";

bool ReadWholeFile(const std::filesystem::path& path, std::string& data) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    data.clear();
    data.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        data.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return got == 0;
}

// Reading happens at start-up, before any worker exists, so parsing straight into the list
// under the lock costs nobody a wait and saves a second copy of a large list.
template <typename List, typename Parse>
void LoadList(SharedState& state, List& list, const std::filesystem::path& path, Parse parse) {
    std::string data;
    if (!ReadWholeFile(path, data)) {
        return;
    }
    using Record = std::remove_cvref_t<decltype(*list.GetAt(0))>;
    const auto lines = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    std::lock_guard lock(state.mutex);
    list.Reserve(static_cast<std::size_t>(list.GetCount()) + lines + 1);
    parse(data, [&list](Record&& record) { list.Append(std::move(record)); });
    list.SetModified(0);
}

template <typename List, typename Render>
void SaveList(SharedState& state, List& list, const std::filesystem::path& path,
              const char* message, SaveSteps& steps, Render render) {
    std::string data;
    bool empty = false;
    std::uint64_t snapshot = 0;
    {
        std::lock_guard lock(state.mutex);
        if (list.IsModified() == 0) {
            return;
        }
        snapshot = list.ChangeCount();
        empty = list.GetCount() == 0;
        for (const auto& record : list.Entries()) {
            render(record, data);
        }
    }
    bool saved = true;
    if (empty) {
        std::error_code ignored;  // a file that is already gone is fine
        std::filesystem::remove(path, ignored);
    } else {
        saved = WriteFileAtomically(path, data, steps);
    }
    if (saved) {
        std::lock_guard lock(state.mutex);
        list.ClearModifiedIfUnchangedSince(snapshot);
    } else {
        state.ui.ShowMessage(message);
    }
}

}  // namespace

void LoadAllLists(SharedState& state, const std::filesystem::path& folder) {
    auto files = [](const char* status) {
        return [status](std::string_view data, const auto& add) {
            ParseFileRecords(data, status, add);
        };
    };
    auto webs = [](const char* status) {
        return [status](std::string_view data, const auto& add) {
            ParseWebRecords(data, status, add);
        };
    };
    LoadList(state, state.RequestedFiles, folder / "reqfiles.data", files("Ready for download"));
    LoadList(state, state.RequestedWebSites, folder / "reqwebs.data", webs("Ready for download"));
    LoadList(state, state.DownloadedFiles, folder / "dnldfiles.data", files("Success"));
    LoadList(state, state.DownloadedSites, folder / "dnldwebs.data", webs("Success"));
    LoadList(state, state.SearchProjects, folder / "reqsearch.data",
             [](std::string_view data, const auto& add) { ParseSearchRecords(data, add); });
    LoadList(state, state.SearchResults, folder / "searchres.data", files("New Project"));
}

void SaveAllLists(SharedState& state, const std::filesystem::path& folder) {
    SaveSteps steps;
    SaveAllLists(state, folder, steps);
}

void SaveAllLists(SharedState& state, const std::filesystem::path& folder, SaveSteps& steps) {
    std::lock_guard saving(state.saveMutex);
    SaveList(state, state.RequestedFiles, folder / "reqfiles.data", kFilesMessage, steps,
             RenderFileRecord);
    SaveList(state, state.RequestedWebSites, folder / "reqwebs.data", kWebSitesMessage, steps,
             RenderWebRecord);
    SaveList(state, state.SearchProjects, folder / "reqsearch.data", kSearchMessage, steps,
             RenderSearchRecord);
    SaveList(state, state.DownloadedFiles, folder / "dnldfiles.data", kFilesMessage, steps,
             RenderFileRecord);
    SaveList(state, state.DownloadedSites, folder / "dnldwebs.data", kWebSitesMessage, steps,
             RenderWebRecord);
    SaveList(state, state.SearchResults, folder / "searchres.data", kFilesMessage, steps,
             RenderFileRecord);
}

}  // namespace tarnwick
