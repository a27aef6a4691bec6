#include "model/ListFiles.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/ListFileFormat.h"
#include "model/SearchProjectEngines.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

// Room for a record's other lines and line ends beside its key (a web record's are longest).
constexpr std::size_t kRecordOverhead = 64;

constexpr const char* kFilesMessage = "Error saving the 'Requested Files' list!";
constexpr const char* kWebSitesMessage = "Error saving the 'Requested Web Sites' list!";
constexpr const char* kSearchMessage = "Error saving the 'Requested Search Projects' list!";

// The bytes of a list file, read whole into memory of its own. The memory is mapped with all
// its pages at once: touching a large buffer page by page costs more than reading into it.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() {
        if (bytes_ != nullptr) {
            ::munmap(bytes_, size_);
        }
    }

    // False when the file is missing, not a regular file or cannot be read.
    bool Read(ConfinedFolder& folder, const std::string& name) {
        const int fd = folder.OpenFileToRead(name);
        if (fd < 0) {
            return false;
        }
        const bool read = ReadFrom(fd);
        ::close(fd);
        return read;
    }

    std::string_view View() const { return {static_cast<const char*>(bytes_), length_}; }

private:
    bool ReadFrom(int fd) {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            return false;
        }
        if (info.st_size == 0) {
            return true;
        }
        size_ = static_cast<std::size_t>(info.st_size);
        void* bytes = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (bytes == MAP_FAILED) {
            return false;
        }
        bytes_ = bytes;
        // A file that grows meanwhile is read as far as its size when opened.
        while (length_ < size_) {
            const ssize_t got = ::read(fd, static_cast<char*>(bytes_) + length_, size_ - length_);
            if (got < 0) {
                return false;
            }
            if (got == 0) {
                break;
            }
            length_ += static_cast<std::size_t>(got);
        }
        return true;
    }

    void* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t length_ = 0;
};

// Reading happens at start-up, before any worker exists, so parsing straight into the list
// under the lock costs nobody a wait and saves a second copy of a large list.
template <typename List, typename Parse>
void LoadList(SharedState& state, List& list, ConfinedFolder& folder, const std::string& name,
              Parse parse) {
    FileBytes file;
    if (!file.Read(folder, name)) {
        return;
    }
    const std::string_view data = file.View();
    using Record = std::remove_cvref_t<decltype(*list.GetAt(0))>;
    const auto lines = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    std::lock_guard lock(state.mutex);
    list.Reserve(static_cast<std::size_t>(list.GetCount()) + lines + 1);
    parse(data, [&list](Record&& record) { list.Append(std::move(record)); });
    list.SetModified(0);
}

// True when the list was modified and its file has been written.
template <typename List, typename Render>
bool SaveList(SharedState& state, List& list, ListCategory category, ConfinedFolder& folder,
              const std::string& name, const char* message, SaveSteps& steps, Render render) {
    std::string data;
    bool empty = false;
    std::uint64_t snapshot = 0;
    {
        std::lock_guard lock(state.mutex);
        if (list.IsModified() == 0) {
            return false;
        }
        snapshot = list.ChangeCount();
        empty = list.GetCount() == 0;
        // One allocation for the whole file: growing a large text step by step costs more.
        std::size_t size = 0;
        for (const auto& record : list.Entries()) {
            size += KeyOf(record).size() + kRecordOverhead;
        }
        data.reserve(size);
        for (const auto& record : list.Entries()) {
            render(record, data);
        }
    }
    bool saved = true;
    if (empty) {
        folder.Remove(name);
    } else {
        saved = folder.ReplaceFile(name, data, steps);
    }
    bool& failureShown = state.saveFailureShown[static_cast<std::size_t>(category) - 1];
    if (saved) {
        failureShown = false;
        std::lock_guard lock(state.mutex);
        list.ClearModifiedIfUnchangedSince(snapshot);
    } else if (!failureShown) {
        failureShown = true;
        state.ui.ShowMessage(message);
    }
    return saved;
}

std::vector<const SearchProject*> SearchProjectsOf(const SharedState& state) {
    std::vector<const SearchProject*> projects;
    for (const SearchProject& project : state.SearchProjects.Entries()) {
        projects.push_back(&project);
    }
    return projects;
}

// The engines beyond the flags go with reqsearch.data; when they cannot be written the list
// stays modified, so the next save tries both again.
void SaveSearchEngineChoices(SharedState& state, ConfinedFolder& folder, SaveSteps& steps) {
    std::string text;
    {
        std::lock_guard lock(state.mutex);
        text = RenderSearchProjectEngines(SearchProjectsOf(state));
    }
    if (SaveSearchProjectEngines(folder, text, steps)) {
        return;
    }
    {
        std::lock_guard lock(state.mutex);
        state.SearchProjects.SetModified(1);
    }
    state.ui.ShowMessage(kSearchMessage);
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
    ConfinedFolder working(folder);
    LoadList(state, state.RequestedFiles, working, "reqfiles.data", files("Ready for download"));
    LoadList(state, state.RequestedWebSites, working, "reqwebs.data", webs("Ready for download"));
    LoadList(state, state.DownloadedFiles, working, "dnldfiles.data", files("Success"));
    LoadList(state, state.DownloadedSites, working, "dnldwebs.data", webs("Success"));
    LoadList(state, state.SearchProjects, working, "reqsearch.data",
             [](std::string_view data, const auto& add) { ParseSearchRecords(data, add); });
    LoadList(state, state.SearchResults, working, "searchres.data", files("New Project"));
    std::lock_guard lock(state.mutex);
    std::vector<SearchProject*> projects;
    for (int index = 0; index < state.SearchProjects.GetCount(); ++index) {
        projects.push_back(state.SearchProjects.GetAt(index));
    }
    AttachSearchProjectEngines(working, projects);
}

void SaveAllLists(SharedState& state, const std::filesystem::path& folder) {
    SaveAllLists(state, folder, SaveSteps::System());
}

void SaveAllLists(SharedState& state, const std::filesystem::path& folder, SaveSteps& steps) {
    std::lock_guard saving(state.saveMutex);
    // The working folder is the user's choice and may be a link; the lists go straight into it.
    ConfinedFolder working(folder);
    SaveList(state, state.RequestedFiles, ListCategory::RequestedFiles, working, "reqfiles.data",
             kFilesMessage, steps, RenderFileRecord);
    SaveList(state, state.RequestedWebSites, ListCategory::RequestedWebSites, working,
             "reqwebs.data", kWebSitesMessage, steps, RenderWebRecord);
    if (SaveList(state, state.SearchProjects, ListCategory::SearchProjects, working,
                 "reqsearch.data", kSearchMessage, steps, RenderSearchRecord)) {
        SaveSearchEngineChoices(state, working, steps);
    }
    SaveList(state, state.DownloadedFiles, ListCategory::DownloadedFiles, working, "dnldfiles.data",
             kFilesMessage, steps, RenderFileRecord);
    SaveList(state, state.DownloadedSites, ListCategory::DownloadedSites, working, "dnldwebs.data",
             kWebSitesMessage, steps, RenderWebRecord);
    SaveList(state, state.SearchResults, ListCategory::SearchResults, working, "searchres.data",
             kFilesMessage, steps, RenderFileRecord);
}

}  // namespace tarnwick
