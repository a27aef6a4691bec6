#include <gtest/gtest.h>

#include "session/HandOverName.h"
#include "session/HandOverWire.h"
#include "session/WorkOrderText.h"

namespace tarnwick {
namespace {

WorkOrder AwkwardOrder() {
    WorkOrder order;
    order.start = true;
    order.fileUrls = {"http://h/a b.zip", "ftp://h/dir/f.bin", "http://h/ümlaut?q=1&r=2"};
    WebProject web = BlankWebProject();
    web.name = "site with spaces";
    web.startUrl = "http://h/start.htm";
    web.getHtm = web.getGif = 1;
    web.otherTypes = ".css .js";
    web.maxDomainCount = 3;
    web.userName = "user";
    web.password = "p w";
    order.webProjects = {web};
    SearchProject search;
    search.name = "news";
    search.searchString = "two words";
    search.useYahoo = 1;
    search.otherEngines = {"Mojeek", "Two Words"};
    SearchProject plain = search;
    plain.name = "plain";
    plain.otherEngines.clear();
    order.searchProjects = {search, plain};
    order.runNames = {"first", "second one"};
    order.webOptions.maxDepth = 4;
    order.webOptions.requisites = false;
    order.webOptions.ignoreRobots = false;  // set, to "obey": not the same as unset
    order.webOptions.connections = 2;
    order.fileOptions = {"sha256=" + std::string(64, 'f'), 2048};
    return order;
}

TEST(WorkOrderText, EveryPartOfAnOrderArrivesAsSent) {
    const WorkOrder sent = AwkwardOrder();
    const std::optional<WorkOrder> got = DecodeWorkOrder(EncodeWorkOrder(sent));
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(got->start);
    EXPECT_FALSE(got->runAll);
    EXPECT_EQ(got->fileUrls, (std::vector<std::string>{"http://h/a%20b.zip", "ftp://h/dir/f.bin",
                                                       "http://h/ümlaut?q=1&r=2"}));
    ASSERT_EQ(got->webProjects.size(), 1u);
    const WebProject& web = got->webProjects[0];
    EXPECT_EQ(web.name, "site with spaces");
    EXPECT_EQ(web.startUrl, "http://h/start.htm");
    EXPECT_EQ(web.getHtm + web.getGif + web.getJpg, 2);
    EXPECT_EQ(web.otherTypes, ".css .js");
    EXPECT_EQ(web.maxDomainCount, 3);
    EXPECT_EQ(web.password, "p w");
    ASSERT_EQ(got->searchProjects.size(), 2u);
    EXPECT_EQ(got->searchProjects[0].searchString, "two words");
    EXPECT_EQ(got->searchProjects[0].useYahoo, 1);
    EXPECT_EQ(got->searchProjects[0].otherEngines, sent.searchProjects[0].otherEngines);
    EXPECT_TRUE(got->searchProjects[1].otherEngines.empty());
    EXPECT_EQ(got->runNames, sent.runNames);
    EXPECT_EQ(got->webOptions, sent.webOptions);
    EXPECT_EQ(got->fileOptions, sent.fileOptions);

    const std::optional<WorkOrder> empty = DecodeWorkOrder(EncodeWorkOrder(WorkOrder{}));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->fileUrls.empty() && empty->webProjects.empty() && empty->runNames.empty());
    EXPECT_FALSE(empty->webOptions.Any());
    EXPECT_EQ(empty->fileOptions, FileRequestOptions{});
}

TEST(WorkOrderText, TornOrForeignTextIsRefused) {
    const std::string whole = EncodeWorkOrder(AwkwardOrder());
    for (std::size_t cut : {std::size_t{0}, std::size_t{5}, whole.size() / 2, whole.size() - 1}) {
        EXPECT_FALSE(DecodeWorkOrder(whole.substr(0, cut)).has_value()) << cut;
    }
    EXPECT_FALSE(DecodeWorkOrder(whole + "x").has_value());
    EXPECT_FALSE(DecodeWorkOrder("tarnwick-order 1\n" + whole.substr(17)).has_value());
    std::string huge = whole;
    huge.replace(huge.find("files "), 7, "files 99999999999999999999");
    EXPECT_FALSE(DecodeWorkOrder(huge).has_value());
}

TEST(HandOverWire, AMessageIsWholeOnlyOnceAllOfItArrived) {
    const std::string framed = FramedMessage("hello\nworld");
    EXPECT_FALSE(WholeMessage(framed.substr(0, 2)).has_value());
    EXPECT_FALSE(WholeMessage(framed.substr(0, framed.size() - 1)).has_value());
    EXPECT_EQ(WholeMessage(framed).value_or(""), "hello\nworld");
    EXPECT_FALSE(WholeMessage("-1\nx").has_value());
    EXPECT_FALSE(WholeMessage("99999999999999\n").has_value());
}

TEST(HandOverWire, AnAnswerKeepsItsVerdictAndTextAndAnythingElseIsARefusal) {
    using enum HandOverAnswer::Verdict;
    for (const auto verdict : {CarriedOut, BadRequest, Refused}) {
        const HandOverAnswer back = DecodeAnswer(EncodeAnswer({verdict, "took: 2 entries"}));
        EXPECT_EQ(back.verdict, verdict);
        EXPECT_EQ(back.text, "took: 2 entries");
    }
    const HandOverAnswer garbled = DecodeAnswer("ok-ish");
    EXPECT_EQ(garbled.verdict, Refused);
    EXPECT_EQ(garbled.text, "ok-ish");
}

TEST(HandOverName, OneNamePerFolderWhateverTheSpelling) {
    EXPECT_EQ(HandOverName("/tmp"), HandOverName("/tmp/"));
    EXPECT_EQ(HandOverName("/tmp"), HandOverName("/tmp/../tmp"));
    EXPECT_NE(HandOverName("/tmp"), HandOverName("/var"));
    // A socket path holds at most 107 bytes.
    EXPECT_LT(HandOverName("/a/very/long/folder/name/that/goes/on/and/on").size(), 100u);
}

}  // namespace
}  // namespace tarnwick
