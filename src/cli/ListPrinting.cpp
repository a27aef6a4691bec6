#include "cli/ListPrinting.h"

#include <cstdio>

#include "cli/CommandTable.h"
#include "control/CategoryView.h"
#include "model/JsonText.h"

namespace tarnwick {

std::string ListingText(SharedState& state, const std::vector<ListCategory>& lists, bool json) {
    std::string out;
    bool first = true;
    if (json) {
        out += "[";
    }
    for (ListCategory category : lists) {
        for (const RowTexts& row : RowsOfCategory(state, category)) {
            if (!json) {
                out.append(row.first).append("\t").append(row.second).append("\n");
                continue;
            }
            out += first ? "\n" : ",\n";
            first = false;
            out += R"({"list":")";
            out += ListName(category);
            out += R"(","entry":)";
            AppendJsonString(out, row.first);
            out += R"(,"status":)";
            AppendJsonString(out, row.second);
            out += "}";
        }
    }
    if (json) {
        out += first ? "]\n" : "\n]\n";
    }
    return out;
}

}  // namespace tarnwick
