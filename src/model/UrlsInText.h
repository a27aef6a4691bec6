#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The addresses typed into Add File(s), one a line: each line trimmed, blank lines dropped,
// CR LF or LF alike.
std::vector<std::string> UrlLines(std::string_view text);

// The http, https and ftp addresses in pasted or dropped text, in order: every word that
// starts with one of those schemes (in any case), with the quotes, brackets and sentence
// marks around it taken off. Other words are not addresses and are left out.
std::vector<std::string> UrlsInText(std::string_view text);

}  // namespace tarnwick
