#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/crawl/LineSplitter.h"

namespace tarnwick {
namespace {

using Piece = std::pair<std::string, bool>;

// Feeds the text in chunks of the given size and collects what the splitter hands on.
std::vector<Piece> Split(const std::string& text, std::size_t chunk, std::size_t cap = 64) {
    LineSplitter splitter(cap);
    std::vector<Piece> pieces;
    const LineSplitter::LineSink collect = [&pieces](std::string& line, bool complete) {
        pieces.emplace_back(line, complete);
        return true;
    };
    for (std::size_t at = 0; at < text.size(); at += chunk) {
        EXPECT_TRUE(splitter.Feed(std::string_view(text).substr(at, chunk), collect));
    }
    EXPECT_TRUE(splitter.Finish(collect));
    return pieces;
}

TEST(LineSplitter, CutsLinesAndDropsCarriageReturns) {
    const std::string text = "one\r\n\r\n\ttwo\rx\nlast";
    const std::vector<Piece> expected = {
        {"one", true}, {"", true}, {"\ttwox", true}, {"last", true}};
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, text.size()}) {
        EXPECT_EQ(Split(text, chunk), expected) << "chunk " << chunk;
    }
    EXPECT_EQ(Split("a\n", 1), (std::vector<Piece>{{"a", true}}));
    EXPECT_TRUE(Split("", 1).empty());
}

TEST(LineSplitter, HandsOnOverlongLinesInPiecesOfTheCap) {
    const std::vector<Piece> expected = {
        {"abcd", false}, {"efgh", false}, {"ij", true}, {"wxyz", true}};
    EXPECT_EQ(Split("abcdefghij\nwxyz\n", 1, 4), expected);
    EXPECT_EQ(Split("abcdefghij\nwxyz\n", 7, 4), expected);
    // A piece is handed on as unfinished only once more of its line has come.
    EXPECT_EQ(Split("abcdefgh", 2, 4), (std::vector<Piece>{{"abcd", false}, {"efgh", true}}));
    EXPECT_EQ(Split("abcd\r\n", 1, 4), (std::vector<Piece>{{"abcd", true}}));
    EXPECT_EQ(LineSplitter::kMaxLineBytes, std::size_t{1} << 20);
}

TEST(LineSplitter, StopsWhenTheSinkSaysSo) {
    LineSplitter splitter;
    int seen = 0;
    const LineSplitter::LineSink stopAtSecond = [&seen](std::string&, bool) { return ++seen < 2; };
    EXPECT_FALSE(splitter.Feed("a\nb\nc\n", stopAtSecond));
    EXPECT_EQ(seen, 2);
}

}  // namespace
}  // namespace tarnwick
