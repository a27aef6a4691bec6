#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/CommandLine.h"
#include "cli/ExitCodes.h"
#include "cli/TerminalProgress.h"
#include "model/SearchEngineChoice.h"

namespace tarnwick {
namespace {

ParsedCommandLine Parse(std::vector<std::string> arguments) {
    return ParseCommandLine(arguments);
}

TEST(CommandLine, MistakesAreUsageErrorsThatSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{}, "no verb"},
        {{"fetch", "http://h/"}, "unknown verb fetch"},
        {{"--bogus", "add", "u"}, "unknown option --bogus"},
        {{"add"}, "at least one URL"},
        {{"get", "--json", "u"}, "unknown option --json for get"},
        {{"mirror", "http://h/"}, "--name NAME"},
        {{"mirror", "http://h/", "--name"}, "--name needs"},
        {{"mirror", "http://h/", "--name", "n", "--types", "htm,doc"}, "--types"},
        {{"mirror", "http://h/", "--name", "n", "--max-domain-count", "-1"}, "--max-domain-count"},
        {{"mirror", "http://h/", "--name", "n", "--depth", "x"}, "--depth needs a number"},
        {{"search", "q", "--name", "n", "--engine", ""}, "--engine needs"},
        {{"run", "--schedule", "x"}, "takes no names"},
        {{"list", "everything"}, "unknown list everything"},
        {{"--dir"}, "--dir needs"},
        {{"--max-concurrent", "0", "get", "u"}, "--max-concurrent needs"},
        {{"get", "u", "--limit-rate=fast"}, "--limit-rate needs"},
        {{"get", "--checksum", "sha256=abc", "u"}, "--checksum takes"},
        {{"get", "--checksum", "md5=" + std::string(32, '0'), "u", "v"}, "belongs to one URL"},
        {{"mirror", "u", "--name", "n", "--checksum", "md5=0"}, "unknown option --checksum"},
        {{"mirror", "u", "--name", "n", "--connections", "17"}, "--connections needs a number"},
        // An empty folder would quietly mean the current one.
        {{"--dir=", "list"}, "--dir needs a folder"},
        {{"list", "--json=yes"}, "unknown option --json=yes for list"},
        {{"--", "list"}, "unknown option --"},
        {{"-", "list"}, "unknown verb -"},
    };
    for (const auto& [arguments, expected] : cases) {
        const ParsedCommandLine parsed = Parse(arguments);
        EXPECT_FALSE(parsed.command.has_value()) << expected;
        EXPECT_TRUE(parsed.usageError) << expected;
        EXPECT_NE(parsed.text.find(expected), std::string::npos) << parsed.text;
    }
    const ParsedCommandLine help = Parse({"mirror", "--help"});
    EXPECT_FALSE(help.usageError);
    EXPECT_NE(help.text.find("Usage: tarnwick-cli mirror"), std::string::npos);
    EXPECT_NE(Parse({"--help"}).text.find("Exit codes"), std::string::npos);
}

TEST(CommandLine, VerbsBecomeOrders) {
    ParsedCommandLine parsed = Parse({"--dir", "/d", "-q", "get", "h/a.zip", "--", "-b.zip"});
    ASSERT_TRUE(parsed.command.has_value());
    EXPECT_EQ(parsed.command->folder, "/d");
    EXPECT_EQ(parsed.command->verbosity, Verbosity::Quiet);
    EXPECT_TRUE(parsed.command->order.start);
    EXPECT_EQ(parsed.command->order.fileUrls, (std::vector<std::string>{"h/a.zip", "-b.zip"}));

    // After "--" even "--help" is a URL.
    parsed = Parse({"get", "--", "--help", "-q"});
    ASSERT_TRUE(parsed.command.has_value());
    EXPECT_EQ(parsed.command->order.fileUrls, (std::vector<std::string>{"--help", "-q"}));
    EXPECT_EQ(parsed.command->verbosity, Verbosity::Normal);

    parsed = Parse({"add", "u"});
    EXPECT_FALSE(parsed.command->order.start);
    EXPECT_FALSE(parsed.command->maxConcurrent || parsed.command->limitBytesPerSecond);

    // Run options go before or after the verb.
    const std::string digest = "sha256=" + std::string(64, 'A');
    parsed =
        Parse({"--max-concurrent=2", "get", "--limit-rate", "2.5k", "--checksum", digest, "u"});
    ASSERT_TRUE(parsed.command.has_value());
    EXPECT_EQ(parsed.command->maxConcurrent, 2);
    EXPECT_EQ(parsed.command->limitBytesPerSecond, 2560u);
    EXPECT_EQ(parsed.command->order.fileOptions.checksum, digest);

    parsed =
        Parse({"mirror", "http://h/", "--name=docs", "--types", "htm,pdf", "--max-domain-count",
               "2", "--other-types", ".css", "--exit-domain", "--depth=2"});
    ASSERT_TRUE(parsed.command.has_value());
    ASSERT_EQ(parsed.command->order.webProjects.size(), 1u);
    const WebProject& web = parsed.command->order.webProjects[0];
    EXPECT_EQ(web.name, "docs");
    EXPECT_EQ(web.startUrl, "http://h/");
    EXPECT_EQ(web.getHtm + web.getPdf, 2);
    EXPECT_EQ(web.getGif + web.getJpg + web.getZip, 0);
    EXPECT_EQ(web.maxDomainCount, 2);
    EXPECT_EQ(web.otherTypes, ".css");
    EXPECT_EQ(web.exitDomain, 1);
    EXPECT_EQ(web.runWhenRequested, 1);
    EXPECT_EQ(parsed.command->order.webOptions.maxDepth, 2);

    // A new project keeps pages and the pictures they show unless told otherwise.
    parsed = Parse({"mirror", "http://h/", "--name", "n"});
    const WebProject& plain = parsed.command->order.webProjects[0];
    EXPECT_EQ(plain.getHtm + plain.getGif + plain.getJpg, 3);
    EXPECT_FALSE(parsed.command->order.webOptions.Any());  // the project's own choices
    parsed = Parse({"mirror", "http://h/", "--no-requisites", "--name", "n", "--ignore-robots",
                    "--no-ascend", "--delay=250", "--connections", "8"});
    WebProjectOptionChanges expected;
    expected.requisites = false;
    expected.ignoreRobots = expected.noAscend = true;
    expected.delayMs = 250;
    expected.connections = 8;
    EXPECT_EQ(parsed.command->order.webOptions, expected);
    parsed =
        Parse({"mirror", "http://h/", "--requisites", "--obey-robots", "--ascend", "--name=n"});
    EXPECT_EQ(parsed.command->order.webOptions.requisites, true);
    EXPECT_EQ(parsed.command->order.webOptions.ignoreRobots, false);
    EXPECT_EQ(parsed.command->order.webOptions.noAscend, false);
    for (const char* connections : {"0", "17", "four"}) {
        EXPECT_FALSE(
            Parse({"mirror", "http://h/", "--name", "n", "--connections", connections}).command);
    }

    parsed = Parse({"search", "two words", "--name", "s", "--engine", "Yahoo", "--engine=Mojeek",
                    "--engine", "mojeek"});
    const SearchProject& search = parsed.command->order.searchProjects[0];
    EXPECT_EQ(search.searchString, "two words");
    EXPECT_EQ(search.useYahoo, 1);
    EXPECT_EQ(search.useAltavista, 0);
    EXPECT_EQ(search.otherEngines, std::vector<std::string>{"Mojeek"});
    // None named: every engine of the folder's file is asked.
    EXPECT_TRUE(
        NamesNoEngine(Parse({"search", "q", "--name", "s"}).command->order.searchProjects[0]));

    parsed = Parse({"run"});
    EXPECT_TRUE(parsed.command->order.runAll);
    parsed = Parse({"run", "a", "b"});
    EXPECT_FALSE(parsed.command->order.runAll);
    EXPECT_EQ(parsed.command->order.runNames.size(), 2u);
    parsed = Parse({"run", "--schedule"});
    EXPECT_TRUE(parsed.command->schedule);
    EXPECT_FALSE(parsed.command->order.runAll);

    parsed = Parse({"list", "done", "results", "--json"});
    EXPECT_TRUE(parsed.command->json);
    EXPECT_EQ(parsed.command->listed, (std::vector<ListCategory>{ListCategory::DownloadedFiles,
                                                                 ListCategory::SearchResults}));
    EXPECT_EQ(Parse({"list"}).command->listed.size(), 6u);
}

TEST(ExitCodes, EachKindHasItsCodeAndMixedKindsGiveOne) {
    const Outcome done = Outcome::Done();
    const Outcome refused{OutcomeKind::ServerRefused, "404"};
    const Outcome disk{OutcomeKind::Disk, "full"};
    EXPECT_EQ(ExitCodeOf(std::vector<Outcome>{}), kExitSuccess);
    EXPECT_EQ(ExitCodeOf({done, done}), kExitSuccess);
    EXPECT_EQ(ExitCodeOf({done, refused, refused}), kExitServerRefused);
    EXPECT_EQ(ExitCodeOf({disk}), kExitDisk);
    EXPECT_EQ(ExitCodeOf({refused, done, disk}), kExitSomeFailed);
    EXPECT_EQ(ExitCodeOf(OutcomeKind::Network), kExitNetwork);
    EXPECT_EQ(ExitCodeOf(OutcomeKind::Mismatch), kExitMismatch);
    EXPECT_EQ(ExitCodeOf(OutcomeKind::PartlyDone), kExitPartlyDone);
    EXPECT_EQ(ExitCodeOf(OutcomeKind::BadRequest), kExitUsage);
}

// A crawl's live line is its own progress, whatever files it stores meanwhile; its end line
// counts the files, not the bytes it read. Endings of every kind have their own words.
TEST(TerminalProgress, ACrawlsLineShowsItsCountsAndItsEndTheFilesStored) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    {
        TerminalProgress terminal(Verbosity::Normal, out, out, true);
        const EntryView docs{ListCategory::RequestedWebSites, 4, "docs", "Downloading..."};
        terminal.CrawlBegan(4, "docs");
        TransferSnapshot crawl;
        crawl.done = 2048;
        crawl.crawl = CrawlCounts{3, 1, 7};
        terminal.EntryChanged({docs.list, docs.id, docs.key, std::nullopt, crawl, false});
        terminal.FileStored(4, "docs", "WebSites/docs/index.html");
        terminal.FileStored(4, "docs", "WebSites/docs/a.png");
        terminal.EntryEnded(docs, Outcome::Done());
        terminal.EntryEnded({ListCategory::RequestedWebSites, 5, "half", ""},
                            {OutcomeKind::PartlyDone, "Some errors occurred: x"});
        terminal.EntryEnded({ListCategory::RequestedFiles, 6, "http://h/f", ""},
                            {OutcomeKind::Network, "Couldn't connect"});
    }
    std::fclose(out);
    const std::string shown(text, size);
    std::free(text);
    EXPECT_EQ(shown,
              "docs  3 pages, 1 file, 7 queued, 2.0 KiB\n\x1b[1A\x1b[2Kdone docs (2 files)\n"
              "partly done half: Some errors occurred: x\nfailed http://h/f: Couldn't connect\n");
}

}  // namespace
}  // namespace tarnwick
