#include "control/SearchEngines.h"

#include "engine/search/SearchEngineCatalog.h"
#include "model/SearchEngineChoice.h"

namespace tarnwick {

SearchEngineChoices SearchEnginesOf(const std::filesystem::path& folder) {
    const SearchEngineCatalog catalog = LoadSearchEngines(folder);
    SearchEngineChoices choices;
    for (const SearchEngineQuery& engine : catalog.engines) {
        choices.names.push_back(engine.name);
    }
    choices.problems = catalog.problems;
    return choices;
}

std::string UnknownEngineOf(const std::filesystem::path& folder,
                            const std::vector<SearchProject>& projects) {
    const SearchEngineCatalog catalog = LoadSearchEngines(folder);
    for (const SearchProject& project : projects) {
        for (const std::string& name : ChosenEngineNames(project)) {
            if (catalog.Find(name) == nullptr) {
                return name;
            }
        }
    }
    return {};
}

}  // namespace tarnwick
