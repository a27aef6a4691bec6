#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/Records.h"

namespace tarnwick {

// The record formats of the six list files. Readers accept CR LF and LF, a last record
// without a line end, and junk: a malformed record is read as far as it matches, texts are
// cut at their field's width, and the rest of the file still loads.
void ParseFileRecords(std::string_view data, std::string_view status,
                      const std::function<void(FileEntry&&)>& add);
void ParseWebRecords(std::string_view data, std::string_view status,
                     const std::function<void(WebProject&&)>& add);
void ParseSearchRecords(std::string_view data, const std::function<void(SearchProject&&)>& add);

// Writers append records with CR LF line ends. White space inside an address is written
// percent-encoded (it names the same resource) so that the address reads back as one word;
// a line break inside a name or search string is written as a blank.
void RenderFileRecord(const FileEntry& entry, std::string& out);
void RenderWebRecord(const WebProject& project, std::string& out);
void RenderSearchRecord(const SearchProject& project, std::string& out);

}  // namespace tarnwick
