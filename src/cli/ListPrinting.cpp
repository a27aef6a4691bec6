#include "cli/ListPrinting.h"

#include <cstdio>

#include "cli/CommandTable.h"
#include "model/JsonText.h"
#include "model/ListChanges.h"

namespace tarnwick {

std::string ListingText(SharedState& state, const std::vector<ListCategory>& lists, bool json) {
    std::string out;
    bool first = true;
    if (json) {
        out += "[";
    }
    for (ListCategory category : lists) {
        for (const EntryView& entry : ViewsOf(state, category)) {
            if (!json) {
                out.append(entry.key).append("\t").append(entry.status).append("\n");
                continue;
            }
            out += first ? "\n" : ",\n";
            first = false;
            out += R"({"list":")";
            out += ListName(category);
            out += R"(","entry":)";
            AppendJsonString(out, entry.key);
            out += R"(,"status":)";
            AppendJsonString(out, entry.status);
            out += "}";
        }
    }
    if (json) {
        out += first ? "]\n" : "\n]\n";
    }
    return out;
}

}  // namespace tarnwick
