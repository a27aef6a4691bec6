// What a portable crawl does with every link of every page, twice (once as the page arrives,
// once when the copy is rewritten): find the links, resolve each against the page's address
// and take its text. The page holds the kinds of links the crawl bench's site has, and some
// with a query, a fragment or another host.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/mirror/HtmlLinks.h"
#include "engine/net/Url.h"

namespace {

using namespace tarnwick;

constexpr const char* kPageAddress = "http://127.0.0.1:8080/d3/s4/p5.htm";
constexpr int kLinksPerPage = 1000;

std::string PageWithManyLinks() {
    const std::vector<std::string> kinds = {
        "p{}.htm",     "../s{}/p7.htm", "../../d{}/s2/p9.htm",     "/d7/s{}/p2.htm",   "i{}.gif",
        "p{}.htm?x=1", "p{}.htm#part",  "http://other.example/{}", "./sub/../p{}.htm", "?page={}",
    };
    std::string page = "<html><body>\n";
    for (int i = 0; i < kLinksPerPage; ++i) {
        std::string link = kinds[static_cast<std::size_t>(i) % kinds.size()];
        link.replace(link.find("{}"), 2, std::to_string(i));
        page += (link.ends_with(".gif") ? "<img src=\"" : "<a href=\"") + link + "\">\n";
    }
    return page + "</body></html>\n";
}

std::vector<std::string> LinksOfPage(const std::string& page) {
    std::vector<std::string> links;
    for (const HtmlLinkSlot& slot : FindHtmlLinks(page).slots) {
        for (const LinkSpan& span : LinksOf(slot)) {
            links.push_back(slot.value.substr(span.begin, span.end - span.begin));
        }
    }
    return links;
}

void BM_FindLinksOfPage(benchmark::State& run) {
    const std::string page = PageWithManyLinks();
    for (auto _ : run) {
        benchmark::DoNotOptimize(LinksOfPage(page));
    }
    run.SetItemsProcessed(run.iterations() * kLinksPerPage);
}
BENCHMARK(BM_FindLinksOfPage)->Unit(benchmark::kMicrosecond);

void BM_ResolveLinksOfPage(benchmark::State& run) {
    const std::vector<std::string> links = LinksOfPage(PageWithManyLinks());
    for (auto _ : run) {
        const Url base = *Url::Parse(kPageAddress);
        for (const std::string& link : links) {
            if (const auto resolved = base.Resolve(link)) {
                benchmark::DoNotOptimize(resolved->Text());
            }
        }
    }
    run.SetItemsProcessed(run.iterations() * static_cast<long long>(links.size()));
}
BENCHMARK(BM_ResolveLinksOfPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
