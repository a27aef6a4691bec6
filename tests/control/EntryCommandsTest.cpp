#include <gtest/gtest.h>

#include "control/EntryCommands.h"
#include "control/ScriptedEditors.h"
#include "model/WebProjectOptions.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;
using testing::ScriptedEditors;

class EntryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ui.AttachTo(state.ui); }

    void TypeUrl(const std::string& text) {
        editors.fileAnswers.push_back([text](std::string& url) {
            url = text;
            return true;
        });
    }

    // The sheet answered with OK after the user set the name (and any other changes).
    void ConfirmSheet(const std::string& name, std::function<void(WebProject&)> change = nullptr) {
        editors.webAnswers.push_back([name, change](WebProject& project) {
            project.name = name;
            if (change) {
                change(project);
            }
            return true;
        });
    }

    void ConfirmSearch(const std::string& name, const std::string& words) {
        editors.searchAnswers.push_back([name, words](SearchProject& project) {
            project.name = name;
            project.searchString = words;
            project.useAltavista = 1;
            return true;
        });
    }

    void Show(const char* item) { ui.Show(state, *CategoryFromTreeText(item)); }

    // The commands on the rows selected in the list shown.
    void Delete() { commands.OnDeleteEntry(ui.Shown(), ui.SelectedIds()); }
    void Properties(CommandSource source) {
        commands.OnProperties(ui.Shown(), ui.SelectedIds(), source);
    }
    void SendToFiles() { commands.OnSendToRequestedFiles(ui.Shown(), ui.SelectedIds()); }
    void SendToWebSites(CommandSource source) {
        commands.OnSendToRequestedWebSites(ui.Shown(), ui.SelectedIds(), source);
    }

    SharedState state;
    RecordingUi ui;
    ScriptedEditors editors;
    testing::TempFolder folder;
    EntryCommands commands{state, editors, folder.Path()};
};

TEST_F(EntryCommandsTest, AddFilesPutsHttpInFrontOnlyWithoutDoubleSlash) {
    for (const char* text : {"host/a.zip", "ftp://host/b.zip", "host//c.zip", ""}) {
        TypeUrl(text);
        commands.OnAddFiles();
    }
    editors.fileAnswers.push_back(nullptr);  // Cancel
    commands.OnAddFiles();
    ASSERT_EQ(state.RequestedFiles.GetCount(), 3);
    EXPECT_EQ(state.RequestedFiles.GetAt(0)->url, "http://host/a.zip");
    EXPECT_EQ(state.RequestedFiles.GetAt(1)->url, "ftp://host/b.zip");
    EXPECT_EQ(state.RequestedFiles.GetAt(2)->url, "host//c.zip");
    EXPECT_EQ(state.RequestedFiles.GetAt(2)->status, "Ready for download");
    EXPECT_EQ(ui.Rows().front().project, "host//c.zip");  // newest on top
    EXPECT_EQ(ui.Rows().front().status, "Ready for download");

    // A checksum given in the dialog is kept under the completed address.
    editors.fileOptions.checksum = "md5=" + std::string(32, '1');
    TypeUrl("host/d.iso");
    commands.OnAddFiles();
    EXPECT_EQ(LoadFileRequestOptions(folder.Path()),
              (FileRequestOptionsFile{{"http://host/d.iso", editors.fileOptions}}));
}

TEST_F(EntryCommandsTest, AddFilesTakesEveryLineAndNamesEveryDuplicateInOneMessage) {
    TypeUrl("http://h/old.zip");
    commands.OnAddFiles();
    editors.fileOptions.limitBytesPerSecond = 500 * 1024;
    // CR LF and LF, blank lines and blanks around, a repeat in other case, an old entry.
    TypeUrl("  h/a.zip\r\n\nftp://h/b.iso\nHTTP://H/OLD.ZIP\n\thttp://h/a.zip  \n");
    commands.OnAddFiles();
    ASSERT_EQ(state.RequestedFiles.GetCount(), 3);
    EXPECT_EQ(state.RequestedFiles.GetAt(1)->url, "http://h/a.zip");
    EXPECT_EQ(state.RequestedFiles.GetAt(2)->url, "ftp://h/b.iso");
    EXPECT_EQ(ui.Rows().front().project, "ftp://h/b.iso");
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{
                  "Already requested, not added again (2):\nHTTP://H/OLD.ZIP\nhttp://h/a.zip"});
    // The limit went to each new file, not to the one requested before.
    const FileRequestOptionsFile kept = LoadFileRequestOptions(folder.Path());
    EXPECT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept.count("http://h/old.zip"), 0u);
    EXPECT_EQ(kept.at("ftp://h/b.iso").limitBytesPerSecond, 500u * 1024);

    commands.AddFileUrls({"http://h/old.zip"});
    EXPECT_EQ(ui.Messages().back(), "Already requested, not added again:\nhttp://h/old.zip");
    EXPECT_EQ(state.RequestedFiles.GetCount(), 3);
}

TEST_F(EntryCommandsTest, AFileAddedWhileAnotherListIsShownAppearsOnlyWhenFilesIsChosen) {
    Show("Web Sites");
    TypeUrl("http://h/new.zip");
    commands.OnAddFiles();
    EXPECT_TRUE(ui.Rows().empty());
    Show("Files");
    ASSERT_EQ(ui.Rows().size(), 1u);
    EXPECT_EQ(ui.Rows()[0].project, "http://h/new.zip");
}

TEST_F(EntryCommandsTest, AddWebSiteRefusesARequestedNameInOtherCaseOnly) {
    // New projects take the politeness of the settings as they are now.
    Settings polite;
    polite.webDelayMs = 500;
    polite.webIgnoreRobots = true;
    ASSERT_TRUE(StoreSettings(folder.Path(), polite));
    WebProject downloaded;
    downloaded.name = "Done Site";
    state.DownloadedSites.Append(downloaded);
    ConfirmSheet("My Site", [](WebProject& p) {
        p.runWhenRequested = 1;  // start on request: its times are dropped
        p.startHour = 9;
        p.startMinute = 30;
        p.stopWhenRequested = 0;
        p.stopHour = 18;
        p.stopMinute = 30;
        p.reserved = 7;
    });
    commands.OnAddWebSite();
    ASSERT_EQ(editors.opened.size(), 1u);
    EXPECT_EQ(editors.opened[0].caption, "Add New Web Project");
    EXPECT_EQ(editors.opened[0].web.runWhenRequested, 1);
    EXPECT_EQ(editors.opened[0].web.stopWhenRequested, 1);

    ConfirmSheet("MY SITE");
    commands.OnAddWebSite();
    ConfirmSheet("done site");
    commands.OnAddWebSite();
    ConfirmSheet("");  // an empty name is refused silently
    commands.OnAddWebSite();

    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"A project with that name already exists!"});
    ASSERT_EQ(state.RequestedWebSites.GetCount(), 2);
    const WebProject& added = *state.RequestedWebSites.GetAt(0);
    EXPECT_EQ(added.startHour + added.startMinute, 0);
    const WebProjectOptions options = LoadWebProjectOptions(folder.Path(), "My Site");
    EXPECT_EQ(options, NewWebProjectOptions(polite));
    EXPECT_EQ(options.delayMs, 500);
    EXPECT_TRUE(options.ignoreRobots && options.portable);
    EXPECT_EQ(added.stopHour, 18);
    EXPECT_EQ(added.stopMinute, 30);
    EXPECT_EQ(added.reserved, 0);
    EXPECT_EQ(added.status, "Ready for download");
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->name, "done site");
}

TEST_F(EntryCommandsTest, AddWebSiteKeepsTimedPairsAndZeroesThoseOnRequest) {
    ConfirmSheet("Timed", [](WebProject& p) {
        p.runWhenRequested = 0;
        p.startHour = 7;
        p.stopWhenRequested = 1;
        p.stopHour = 25;
        p.stopMinute = 99;
    });
    commands.OnAddWebSite();
    ASSERT_EQ(state.RequestedWebSites.GetCount(), 1);
    const WebProject& added = *state.RequestedWebSites.GetAt(0);
    EXPECT_EQ(added.startHour, 7);
    EXPECT_EQ(added.stopHour, 0);
    EXPECT_EQ(added.stopMinute, 0);
}

TEST_F(EntryCommandsTest, TwoSearchProjectsMayShareANameAndPropertiesEditsTheOlder) {
    Show("Search Projects");
    ConfirmSearch("News", "first");
    commands.OnAddSearchProject();
    ConfirmSearch("News", "second");
    commands.OnAddSearchProject();
    ASSERT_EQ(state.SearchProjects.GetCount(), 2);
    ASSERT_EQ(ui.Rows().size(), 2u);

    ui.SelectRows({0});  // the newer one's row
    editors.searchAnswers.push_back([](SearchProject& p) {
        EXPECT_EQ(p.searchString, "first");
        p.name = "Renamed";
        p.reservedText1 = "junk";
        return true;
    });
    state.SearchProjects.SetModified(0);
    Properties(CommandSource::MainWindow);
    EXPECT_EQ(state.SearchProjects.GetAt(0)->name, "Renamed");
    EXPECT_EQ(state.SearchProjects.GetAt(0)->reservedText1, "");
    EXPECT_EQ(state.SearchProjects.GetAt(1)->name, "News");
    EXPECT_EQ(state.SearchProjects.IsModified(), 1);
    // The row of the project edited shows its new name, not the row selected.
    EXPECT_EQ(ui.Rows()[1].project, "Renamed");
    EXPECT_EQ(ui.Rows()[0].project, "News");
}

TEST_F(EntryCommandsTest, PropertiesFindsWebProjectsByPositionFromThePanelAndByNameFromTheMenu) {
    for (const char* name : {"Same", "same", "Other"}) {
        WebProject p = BlankWebProject();
        p.name = name;
        p.startUrl = std::string("http://") + name + "/";
        state.RequestedWebSites.Append(p);
    }
    Show("Web Sites");
    ui.SelectRows({1});  // shows "same", the entry at position 1
    editors.webAnswers.push_back([](WebProject& p) {
        p.otherTypes = "panel";
        return true;
    });
    Properties(CommandSource::ListPanel);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->otherTypes, "panel");

    // The sheet shows the project's options and keeps what it changed, under a new name too.
    WebProjectOptions portable = NewWebProjectOptions();
    ASSERT_TRUE(StoreWebProjectOptions(folder.Path(), "Same", portable));
    editors.webAnswers.push_back([](WebProject& p) {
        p.otherTypes = "menu";
        p.name = "First";
        return true;
    });
    editors.editWebOptions = [](WebProjectOptions& options) { options.requisites = false; };
    Properties(CommandSource::MainWindow);
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->otherTypes, "menu");  // first match by name
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->name, "First");
    EXPECT_EQ(editors.opened.back().webOptions, portable);
    portable.requisites = false;
    EXPECT_EQ(LoadWebProjectOptions(folder.Path(), "First"), portable);
    EXPECT_EQ(LoadWebProjectOptions(folder.Path()).count("Same"), 0u);
    EXPECT_EQ(editors.opened.back().caption, "Web Project Properties");
    EXPECT_EQ(ui.Rows()[2].project, "First");

    editors.webAnswers.push_back(nullptr);  // Cancel changes nothing
    Properties(CommandSource::ListPanel);
    EXPECT_EQ(state.RequestedWebSites.GetAt(1)->otherTypes, "panel");

    Show("Files");
    const auto before = editors.opened.size();
    Properties(CommandSource::ListPanel);
    EXPECT_EQ(editors.opened.size(), before);
}

TEST_F(EntryCommandsTest, DeleteWorksOnlyInRequestedListsAndAsksFirst) {
    Show("Search Results");
    Delete();  // nothing selected, still refused with a message
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"You are not alowed to delete entries in this panel"});

    Show("Files");
    for (const char* url : {"http://h/1", "http://h/2", "http://h/3"}) {
        TypeUrl(url);
        commands.OnAddFiles();
    }
    Delete();  // nothing selected: silent
    EXPECT_EQ(ui.Messages().size(), 1u);

    ui.SelectRows({0});
    ui.SetYesNoAnswer(false);
    Delete();
    EXPECT_EQ(ui.Messages().back(), "Are you sure you want to delete that entry?");
    EXPECT_EQ(state.RequestedFiles.GetCount(), 3);

    ui.SetYesNoAnswer(true);
    Delete();  // the top row is the newest entry
    ASSERT_EQ(state.RequestedFiles.GetCount(), 2);
    EXPECT_EQ(state.RequestedFiles.GetAt(1)->url, "http://h/2");

    ui.SelectRows({0, 1});
    Delete();
    EXPECT_EQ(ui.Messages().back(), "Are you sure you want to delete those entries?");
    EXPECT_EQ(state.RequestedFiles.GetCount(), 0);
    EXPECT_TRUE(ui.Rows().empty());
}

TEST_F(EntryCommandsTest, SendToFilesStopsAtTheFirstResultEndingInSlash) {
    for (const char* url : {"http://r/c.zip", "http://r/dir/", "http://r/a.zip"}) {
        state.SearchResults.Append(FileEntry{url, "Finder"});
    }
    Show("Files");
    ui.SelectRows({});
    SendToFiles();  // not in Search Results: nothing
    Show("Search Results");
    ui.SelectRows({0, 1, 2});
    SendToFiles();
    ASSERT_EQ(state.RequestedFiles.GetCount(), 1);
    EXPECT_EQ(state.RequestedFiles.GetAt(0)->url, "http://r/a.zip");
    EXPECT_EQ(state.RequestedFiles.GetAt(0)->status, "Ready for donwload");
    EXPECT_EQ(state.SearchResults.GetCount(), 3);
    EXPECT_EQ(ui.Rows().size(), 3u);
}

TEST_F(EntryCommandsTest, SendToWebSitesFromTheMenuKeepsTheStagingProjectBetweenUses) {
    state.SearchResults.Append(FileEntry{"http://r/one/", "Finder"});
    state.SearchResults.Append(FileEntry{std::string(100, 'u'), "New Project"});
    Show("Search Results");
    ui.SelectRows({1});
    ConfirmSheet("First", [](WebProject& p) {
        p.getGif = 1;
        p.maxDomainCount = 3;
        p.runWhenRequested = 0;
        p.startHour = 8;
    });
    SendToWebSites(CommandSource::MainWindow);
    ASSERT_EQ(editors.opened.size(), 1u);
    EXPECT_EQ(editors.opened[0].caption, "Web Project Properties");
    EXPECT_EQ(editors.opened[0].web.startUrl, "http://r/one/");
    EXPECT_EQ(editors.opened[0].web.name, "Finder");

    ui.SelectRows({0});
    editors.webAnswers.push_back(nullptr);
    SendToWebSites(CommandSource::MainWindow);
    const WebProject& second = editors.opened[1].web;
    EXPECT_EQ(second.startUrl, std::string(79, 'u'));
    EXPECT_EQ(second.name, "New Project");
    EXPECT_EQ(second.getGif, 1);
    EXPECT_EQ(second.maxDomainCount, 3);
    EXPECT_EQ(second.runWhenRequested, 1);
    EXPECT_EQ(second.startHour, 8);

    ASSERT_EQ(state.RequestedWebSites.GetCount(), 1);
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->name, "First");
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->status, "Ready for download");
}

TEST_F(EntryCommandsTest, SendToWebSitesFromThePanelStartsFromAnEmptyProject) {
    state.SearchResults.Append(FileEntry{"http://r/a/", "Finder"});
    Show("Search Results");
    ui.SelectRows({0});
    ConfirmSheet("", [](WebProject& p) { p.getZip = 1; });  // an empty name is accepted
    ConfirmSheet("Second");
    SendToWebSites(CommandSource::ListPanel);
    SendToWebSites(CommandSource::ListPanel);
    ASSERT_EQ(editors.opened.size(), 2u);
    EXPECT_EQ(editors.opened[0].caption, "New Web Project ");
    EXPECT_EQ(editors.opened[1].web.getZip, 0);
    EXPECT_EQ(editors.opened[1].web.runWhenRequested, 0);
    ASSERT_EQ(state.RequestedWebSites.GetCount(), 2);
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->name, "");
    EXPECT_TRUE(ui.CallsStartingWith("InsertRow:Second").empty());
}

TEST_F(EntryCommandsTest, DeleteAllListsEmptiesEveryListAndRow) {
    state.RequestedFiles.AppendUrl("http://h/a");
    state.DownloadedSites.Append(WebProject{});
    state.SearchResults.Append(FileEntry{"http://r/", "x"});
    state.RequestedFiles.SetModified(0);
    Show("Search Results");
    commands.OnDeleteAllLists();
    EXPECT_EQ(state.RequestedFiles.GetCount() + state.DownloadedSites.GetCount() +
                  state.SearchResults.GetCount(),
              0);
    EXPECT_EQ(state.RequestedFiles.IsModified(), 1);
    EXPECT_EQ(state.DownloadedFiles.IsModified(), 0);  // was empty: its file is left alone
    EXPECT_TRUE(ui.Rows().empty());
}

TEST_F(EntryCommandsTest, TheStartDialogOpensTheChosenEditor) {
    editors.startAnswers = {2, 3, 4, 0};
    ConfirmSheet("From start");
    ConfirmSearch("Query", "words");
    for (int i = 0; i < 4; ++i) {
        commands.RunStartDialog();
    }
    EXPECT_EQ(state.RequestedWebSites.GetCount(), 1);
    EXPECT_EQ(state.SearchProjects.GetCount(), 1);
    EXPECT_EQ(editors.opened.size(), 6u);  // four start dialogs, one sheet, one search dialog
}

}  // namespace
}  // namespace tarnwick
