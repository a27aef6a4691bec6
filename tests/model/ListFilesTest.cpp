#include <sys/stat.h>

#include <gtest/gtest.h>

#include "model/ListFiles.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::ReadFileBytes;
using testing::RecordingUi;
using testing::TempFolder;
using testing::WriteFileBytes;

WebProject MySite() {
    WebProject p;
    p.name = "My site";
    p.startUrl = "http://www.example.com/";
    p.getZip = 1;
    p.getPdf = 1;
    p.runWhenRequested = 1;
    p.stopMinute = 30;
    p.stopHour = 18;
    p.maxDomainCount = 2;
    p.otherTypes = ".tar";
    p.userName = "me";
    p.password = "secret";
    p.status = "Downloading...";
    return p;
}

SearchProject Weather() {
    SearchProject p;
    p.name = "Weather";
    p.searchString = "rain & snow?";
    p.useAltavista = 1;
    p.useYahoo = 1;
    p.startMinute = 5;
    p.startHour = 8;
    p.stopWhenRequested = 1;
    p.status = "Running search project...";
    return p;
}

class ListFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ui.AttachTo(state.ui); }

    // Loads the folder into a fresh state, as a restart does.
    void Restart(SharedState& fresh) { LoadAllLists(fresh, folder.Path()); }

    TempFolder folder;
    SharedState state;
    RecordingUi ui;
};

TEST_F(ListFilesTest, WebRecordIsWrittenByteForByte) {
    state.RequestedWebSites.Append(MySite());
    SaveAllLists(state, folder.Path());
    EXPECT_EQ(ReadFileBytes(folder.Path() / "reqwebs.data"),
              "My site\r\nhttp://www.example.com/\r\n0\r\n1 0 0 0 0 1 0\r\n1 0 0\r\n0 30 18\r\n"
              "2 0 0\r\n*\r\n");
    state.SearchProjects.Append(Weather());
    state.SearchResults.Append(FileEntry{"http://a/", "Weather"});
    SaveAllLists(state, folder.Path());
    EXPECT_EQ(ReadFileBytes(folder.Path() / "reqsearch.data"),
              "Weather\r\nrain & snow?\r\n1 0 1 0 0 0 0\r\n0 5 8\r\n1 0 0\r\n*\r\n");
    EXPECT_EQ(ReadFileBytes(folder.Path() / "searchres.data"), "http://a/\r\n");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(ListFilesTest, RestartRestoresFieldsAndSetsFixedStatuses) {
    state.RequestedFiles.Append(FileEntry{"http://h/a.zip", "Downloading...1.50k read"});
    state.DownloadedFiles.Append(FileEntry{"http://h/b.zip", "Success"});
    state.SearchResults.Append(FileEntry{"http://h/c.htm", "Weather"});
    state.RequestedWebSites.Append(MySite());
    WebProject done = MySite();
    done.name = "name with  two  spaces";
    done.exitDomain = 1;
    done.startHour = -3;
    state.DownloadedSites.Append(done);
    state.SearchProjects.Append(Weather());
    SaveAllLists(state, folder.Path());

    SharedState fresh;
    Restart(fresh);
    EXPECT_EQ(fresh.RequestedFiles.GetAt(0)->status, "Ready for download");
    EXPECT_EQ(fresh.DownloadedFiles.GetAt(0)->status, "Success");
    EXPECT_EQ(fresh.SearchResults.GetAt(0)->status, "New Project");
    EXPECT_EQ(fresh.SearchResults.GetAt(0)->url, "http://h/c.htm");

    const WebProject& web = *fresh.RequestedWebSites.GetAt(0);
    EXPECT_EQ(web.name, "My site");
    EXPECT_EQ(web.startUrl, "http://www.example.com/");
    EXPECT_EQ(web.getZip + web.getPdf, 2);
    EXPECT_EQ(web.getGif + web.getJpg + web.getExe + web.getMp3 + web.getHtm, 0);
    EXPECT_EQ(web.runWhenRequested, 1);
    EXPECT_EQ(web.stopMinute, 30);
    EXPECT_EQ(web.stopHour, 18);
    EXPECT_EQ(web.maxDomainCount, 2);
    EXPECT_EQ(web.otherTypes, "");
    EXPECT_EQ(web.userName, "");
    EXPECT_EQ(web.password, "");
    EXPECT_EQ(web.status, "Ready for download");

    const WebProject& downloaded = *fresh.DownloadedSites.GetAt(0);
    EXPECT_EQ(downloaded.name, "name with  two  spaces");
    EXPECT_EQ(downloaded.exitDomain, 1);
    EXPECT_EQ(downloaded.startHour, -3);
    EXPECT_EQ(downloaded.status, "Success");

    const SearchProject& search = *fresh.SearchProjects.GetAt(0);
    EXPECT_EQ(search.searchString, "rain & snow?");
    EXPECT_EQ(search.useAltavista + search.useYahoo, 2);
    EXPECT_EQ(search.startHour, 8);
    EXPECT_EQ(search.startMinute, 5);
    EXPECT_EQ(search.stopWhenRequested, 1);
    EXPECT_EQ(search.status, "Ready for download");

    for (int modified : {fresh.RequestedFiles.IsModified(), fresh.RequestedWebSites.IsModified(),
                         fresh.DownloadedFiles.IsModified(), fresh.DownloadedSites.IsModified(),
                         fresh.SearchProjects.IsModified(), fresh.SearchResults.IsModified()}) {
        EXPECT_EQ(modified, 0);
    }
}

TEST_F(ListFilesTest, TextsAtTheirFullWidthComeBackWhole) {
    WebProject web = MySite();
    web.name = std::string(79, 'w');
    web.startUrl = "http://h/" + std::string(246, 'p');
    SearchProject search = Weather();
    search.name = std::string(79, 'n');
    search.searchString = std::string(255, 's');
    state.RequestedWebSites.Append(web);
    state.RequestedWebSites.Append(MySite());
    state.SearchProjects.Append(search);
    state.SearchProjects.Append(Weather());
    state.RequestedFiles.AppendUrl("http://h/" + std::string(245, 'f'));
    SaveAllLists(state, folder.Path());

    SharedState fresh;
    Restart(fresh);
    ASSERT_EQ(fresh.RequestedWebSites.GetCount(), 2);
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(0)->name, web.name);
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(0)->startUrl, web.startUrl);
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(1)->name, "My site");
    ASSERT_EQ(fresh.SearchProjects.GetCount(), 2);
    EXPECT_EQ(fresh.SearchProjects.GetAt(0)->name, search.name);
    EXPECT_EQ(fresh.SearchProjects.GetAt(0)->searchString, search.searchString);
    EXPECT_EQ(fresh.SearchProjects.GetAt(1)->name, "Weather");
    EXPECT_EQ(fresh.RequestedFiles.GetAt(0)->url.size(), 254u);
}

TEST_F(ListFilesTest, AwkwardTextsCannotShiftTheRecordsThatFollow) {
    WebProject spaced = MySite();
    spaced.name = "";
    spaced.startUrl = "http://h/my page.htm\tx";
    WebProject blankStart = MySite();
    blankStart.name = "  leading blanks";
    blankStart.startUrl = "";
    SearchProject broken = Weather();
    broken.name = "two\nlines";
    broken.searchString = "";
    state.RequestedWebSites.Append(spaced);
    state.RequestedWebSites.Append(blankStart);
    state.RequestedWebSites.Append(MySite());
    state.SearchProjects.Append(broken);
    state.SearchProjects.Append(Weather());
    state.RequestedFiles.AppendUrl("http://h/a b.zip");
    state.RequestedFiles.AppendUrl("http://h/c.zip");
    SaveAllLists(state, folder.Path());

    SharedState fresh;
    Restart(fresh);
    ASSERT_EQ(fresh.RequestedWebSites.GetCount(), 3);
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(0)->name, "");
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(0)->startUrl, "http://h/my%20page.htm%09x");
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(1)->name, "  leading blanks");
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(1)->startUrl, "");
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(1)->stopHour, 18);
    EXPECT_EQ(fresh.RequestedWebSites.GetAt(2)->name, "My site");
    ASSERT_EQ(fresh.SearchProjects.GetCount(), 2);
    EXPECT_EQ(fresh.SearchProjects.GetAt(0)->name, "two lines");
    EXPECT_EQ(fresh.SearchProjects.GetAt(0)->searchString, "");
    EXPECT_EQ(fresh.SearchProjects.GetAt(1)->name, "Weather");
    ASSERT_EQ(fresh.RequestedFiles.GetCount(), 2);
    EXPECT_EQ(fresh.RequestedFiles.GetAt(0)->url, "http://h/a%20b.zip");
}

TEST_F(ListFilesTest, ReaderAcceptsLfMissingFinalLineEndAndWordsPerLine) {
    WriteFileBytes(folder.Path() / "reqfiles.data",
                   "http://a/1\nhttp://a/2 http://a/3\r\n\n  http://a/4");
    WriteFileBytes(folder.Path() / "reqwebs.data",
                   "One\nhttp://one/\n1\n0 0 0 0 0 0 0\n1 0 0\n1 0 0\n"
                   "0 0 1\n*\nTwo\r\nhttp://two/\r\n0\r\n"
                   "1 1 1 1 1 1 1\r\n0 7 9\r\n1 0 0\r\n3 0 0\r\n*");
    WriteFileBytes(folder.Path() / "reqsearch.data",
                   "S\nwords here\n1 0 0 0 0 0 0\n1 0 0\n1 0 0\n*\n\n\n");
    Restart(state);
    ASSERT_EQ(state.RequestedFiles.GetCount(), 4);
    EXPECT_EQ(state.RequestedFiles.GetAt(2)->url, "http://a/3");
    EXPECT_EQ(state.RequestedFiles.GetAt(3)->url, "http://a/4");
    ASSERT_EQ(state.RequestedWebSites.GetCount(), 2);
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->exitDomain, 1);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->name, "Two");
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->startMinute, 7);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->startHour, 9);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->maxDomainCount, 3);
    ASSERT_EQ(state.SearchProjects.GetCount(), 1);
    EXPECT_EQ(state.SearchProjects.GetAt(0)->searchString, "words here");
}

TEST_F(ListFilesTest, JunkIsReadAsFarAsItMatchesAndTheRestStillLoads) {
    WriteFileBytes(folder.Path() / "reqwebs.data",
                   std::string(5000, 'N') +
                       "\nhttp://c/\n0\n0 0 0 0 0 0 0\n1 0 0\n1 0 0\n0 0 1\n*\n"
                       "Broken\nhttp://b/\n1 2 x\n");
    WriteFileBytes(folder.Path() / "dnldfiles.data",
                   std::string("\x01\x02\xff\n", 4) + std::string(100000, 'u') + "\nhttp://ok/\n");
    WriteFileBytes(folder.Path() / "reqsearch.data", std::string("only a name", 11));
    Restart(state);
    ASSERT_EQ(state.RequestedWebSites.GetCount(), 3);
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->name, std::string(79, 'N'));
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->startUrl, "http://c/");
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->exitDomain, 1);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->name, "Broken");
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->getZip, 2);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->getGif, 0);
    ASSERT_EQ(state.DownloadedFiles.GetCount(), 3);
    EXPECT_EQ(state.DownloadedFiles.GetAt(1)->url.size(), 254u);
    EXPECT_EQ(state.DownloadedFiles.GetAt(2)->url, "http://ok/");
    ASSERT_EQ(state.SearchProjects.GetCount(), 1);
    EXPECT_EQ(state.SearchProjects.GetAt(0)->name, "only a name");
}

TEST_F(ListFilesTest, OnlyModifiedListsAreWrittenAndEmptyOnesDeleted) {
    SaveAllLists(state, folder.Path());
    EXPECT_TRUE(folder.Tree().empty());  // nothing changed, nothing created

    state.RequestedFiles.AppendUrl("http://h/x");
    state.RequestedFiles.RemoveAt(0);
    SaveAllLists(state, folder.Path());
    EXPECT_TRUE(folder.Tree().empty());  // empty but modified: no file, no message

    WriteFileBytes(folder.Path() / "dnldfiles.data", "http://kept/\n");
    WriteFileBytes(folder.Path() / "reqfiles.data", "http://old/\n");
    SharedState fresh;
    Restart(fresh);
    fresh.RequestedFiles.RemoveAt(0);
    fresh.RequestedFiles.AppendUrl("http://new/");
    SaveAllLists(fresh, folder.Path());
    EXPECT_EQ(ReadFileBytes(folder.Path() / "reqfiles.data"), "http://new/\r\n");
    EXPECT_EQ(ReadFileBytes(folder.Path() / "dnldfiles.data"), "http://kept/\n");  // untouched

    fresh.RequestedFiles.RemoveAt(0);
    SaveAllLists(fresh, folder.Path());
    EXPECT_EQ(folder.Tree(), std::vector<std::string>{"dnldfiles.data"});
    EXPECT_EQ(fresh.RequestedFiles.IsModified(), 0);
}

// Refuses to create the engines file beside the lists, and nothing else.
class EnginesFileRefused : public SaveSteps {
public:
    std::FILE* Open(int folderFd, const std::string& name) override {
        return name.starts_with("searchprojects") ? nullptr : SaveSteps::Open(folderFd, name);
    }
};

TEST_F(ListFilesTest, OtherEnginesGoBesideTheSearchRecordsWhichKeepTheirFormat) {
    SearchProject plain = Weather();
    plain.name = "Plain";
    TempFolder plainFolder;
    SharedState plainState;
    plainState.SearchProjects.Append(Weather());
    plainState.SearchProjects.Append(plain);
    SaveAllLists(plainState, plainFolder.Path());

    SearchProject weather = Weather();
    weather.otherEngines = {"Mojeek", "Q&A [x]"};
    state.SearchProjects.Append(weather);
    state.SearchProjects.Append(plain);
    EnginesFileRefused refused;
    SaveAllLists(state, folder.Path(), refused);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"Error saving the 'Requested Search Projects' list!"});
    EXPECT_EQ(state.SearchProjects.IsModified(), 1);  // so the next save tries again

    SaveAllLists(state, folder.Path());
    EXPECT_EQ(ReadFileBytes(folder.Path() / "reqsearch.data"),
              ReadFileBytes(plainFolder.Path() / "reqsearch.data"));
    EXPECT_EQ(ReadFileBytes(folder.Path() / "searchprojects.ini"),
              "# Tarnwick search project engines, version 1\n\n[Weather]\nengine=Mojeek\n"
              "engine=Q&A [x]\n");

    SharedState fresh;
    Restart(fresh);
    ASSERT_EQ(fresh.SearchProjects.GetCount(), 2);
    EXPECT_EQ(fresh.SearchProjects.GetAt(0)->otherEngines, weather.otherEngines);
    EXPECT_TRUE(fresh.SearchProjects.GetAt(1)->otherEngines.empty());

    // Edited by hand or damaged, the file still gives what it can.
    WriteFileBytes(folder.Path() / "searchprojects.ini",
                   "junk\r\n[Plain]\r\nengine=\r\nfuture=1\r\nengine = Marginalia \r\n[Gone]\n"
                   "engine=Mojeek");
    SharedState edited;
    Restart(edited);
    EXPECT_TRUE(edited.SearchProjects.GetAt(0)->otherEngines.empty());
    EXPECT_EQ(edited.SearchProjects.GetAt(1)->otherEngines, std::vector<std::string>{"Marginalia"});

    edited.SearchProjects.GetAt(1)->otherEngines.clear();
    edited.SearchProjects.SetModified(1);
    SaveAllLists(edited, folder.Path());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "searchprojects.ini"));
}

TEST_F(ListFilesTest, MissingOrUnreadableFilesLeaveListsEmptyWithoutMessages) {
    Restart(state);
    // What stands under a list's name and is no file is not read: a fifo would wait forever
    // for a writer, and the program would never start.
    ASSERT_EQ(::mkfifo((folder.Path() / "reqfiles.data").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.Path() / "dnldfiles.data");
    ASSERT_EQ(::mkfifo((folder.Path() / "searchprojects.ini").c_str(), 0600), 0);
    WriteFileBytes(folder.Path() / "reqsearch.data", "Weather\r\n");
    Restart(state);
    EXPECT_EQ(state.RequestedFiles.GetCount() + state.RequestedWebSites.GetCount() +
                  state.DownloadedFiles.GetCount() + state.DownloadedSites.GetCount() +
                  state.SearchResults.GetCount(),
              0);
    ASSERT_EQ(state.SearchProjects.GetCount(), 1);
    EXPECT_TRUE(state.SearchProjects.GetAt(0)->otherEngines.empty());
    EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
}  // namespace tarnwick
