#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/IniLines.h"

namespace tarnwick {
namespace {

// Each line visited as "number:[section]", "number:name=value" or "number:bare name".
std::vector<std::string> Visited(std::string_view text, const IniSyntax& syntax = {}) {
    std::vector<std::string> lines;
    ForEachIniLine(
        text,
        [&lines](const IniLine& line) {
            std::string shown = std::to_string(line.number) + ":";
            if (line.isSection) {
                shown += "[" + std::string(line.name) + "]";
            } else if (line.isBare) {
                shown += "bare " + std::string(line.name);
            } else {
                shown += std::string(line.name) + "=" + std::string(line.value);
            }
            lines.push_back(shown);
        },
        syntax);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(IniLines, AFileEditedByHandReadsAsFarAsItMakesSense) {
    struct Case {
        std::string text;
        Lines visited;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a=1", {"1:a=1"}},  // no final line end
        {"a=1\r\nb=2\r\n", {"1:a=1", "2:b=2"}},
        {"\n\r\n  \t\n# note=1\n; note=2\n  # indented=3\nk=v", {"7:k=v"}},
        {"  key \t=  value with  blanks \t\r\n", {"1:key=value with  blanks"}},
        {"url=http://h/?a=1&b==2\n", {"1:url=http://h/?a=1&b==2"}},
        {"[s]\n[ spaced ]\n[]\n[x\nno separator\n=empty key\nk=\n",
         {"1:[s]", "2:[ spaced ]", "6:=empty key", "7:k="}},
        {"[a=b]\n", {"1:[a=b]"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Visited(c.text), c.visited) << c.text;
    }
}

// The files the program writes for itself are read as written, so that damage shows.
TEST(IniLines, VerbatimLinesKeepTheirBlanksAndShowDamage) {
    const IniSyntax equals{.separator = '=', .verbatim = true};
    const IniSyntax space{.separator = ' ', .verbatim = true};
    struct Case {
        std::string text;
        IniSyntax syntax;
        Lines visited;
    };
    const std::vector<Case> cases = {
        {"", equals, {}},
        {"a=1\r\nb= 2 \r\nc=3", equals, {"1:a=1", "2:b= 2 ", "3:c=3"}},
        {"# note\n\r\n\nk=v=w\n", equals, {"4:k=v=w"}},
        {" k =v\n", equals, {"1: k =v"}},
        {"; not a comment\n[not a section]\ngarbage\n",
         equals,
         {"1:bare ; not a comment", "2:bare [not a section]", "3:bare garbage"}},
        {"a=1\r\r\n", equals, {"1:a=1\r"}},
        {"url http://h/a b\nend\nlink  x\n",
         space,
         {"1:url=http://h/a b", "2:bare end", "3:link= x"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Visited(c.text, c.syntax), c.visited) << c.text;
    }
}

}  // namespace
}  // namespace tarnwick
