#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "storage/ConfinedFolder.h"
#include "support/FailingSaveSteps.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::FailingSaveSteps;
using testing::kEverySaveStep;
using testing::ReadFileBytes;
using testing::SaveStep;
using testing::TempFolder;
using testing::WriteFileBytes;
using Kind = ConfinedFolder::EntryKind;
using Segments = std::vector<std::string>;

void MakeFifo(const std::filesystem::path& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

TEST(ConfinedFolderReplace, AFailingStepKeepsTheOldFileAndLeavesNoTemporary) {
    for (const SaveStep step : kEverySaveStep) {
        SCOPED_TRACE(static_cast<int>(step));
        TempFolder work;
        ConfinedFolder folder(work.Path());
        ASSERT_TRUE(folder.ReplaceFile("list.data", "old"));
        FailingSaveSteps failing(step);
        EXPECT_FALSE(folder.ReplaceFile("list.data", "new and longer", failing));
        EXPECT_EQ(ReadFileBytes(work.Path() / "list.data"), "old");
        EXPECT_EQ(work.Tree(), Segments{"list.data"});
        ASSERT_TRUE(folder.ReplaceFile("list.data", "new"));
        EXPECT_EQ(ReadFileBytes(work.Path() / "list.data"), "new");
    }
}

std::string ManyLines(char letter) {
    std::string data;
    for (int i = 0; i < 20000; ++i) {
        data += "http://host/" + std::string(40, letter) + std::to_string(i) + "\r\n";
    }
    return data;
}

// A child replaces a large file with two versions in turn until it is killed; whenever it
// dies, the file on disk must be one version or the other, whole.
TEST(ConfinedFolderReplace, KillingTheSaverAtAnyMomentLeavesOldOrNewContent) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "forking under ThreadSanitizer is slow; the address-sanitized build runs it";
#endif
    TempFolder work;
    const std::string versionA = ManyLines('a');
    const std::string versionB = ManyLines('b');
    const auto path = work.Path() / "reqfiles.data";
    WriteFileBytes(path, versionA);
    std::mt19937 random(12345);
    for (int round = 0; round < 100; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ConfinedFolder folder(work.Path());
            for (int i = 0;; ++i) {
                folder.ReplaceFile("reqfiles.data", i % 2 == 0 ? versionB : versionA);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string onDisk = ReadFileBytes(path);
        ASSERT_TRUE(onDisk == versionA || onDisk == versionB)
            << "round " << round << ": " << onDisk.size() << " bytes";
    }
}

// Whatever a save that died or someone else left under the temporary name, or under the name
// itself, is replaced as a name: nothing is written through a link, and nothing waits on a fifo.
TEST(ConfinedFolderReplace, ReplacesLeftoversAndLinksAsNamesWhateverTheirLength) {
    TempFolder work;
    TempFolder outside;
    const auto victim = outside.Path() / "victim";
    WriteFileBytes(victim, "precious");
    WriteFileBytes(work.Path() / "a.ini.tmp", "half a save");
    std::filesystem::create_symlink(victim, work.Path() / "b.ini.tmp");
    MakeFifo(work.Path() / "c.ini.tmp");
    std::filesystem::create_symlink(victim, work.Path() / "d.ini");
    const std::string longest(NAME_MAX, 'n');
    const std::string longestTwin = std::string(NAME_MAX - 1, 'n') + "m";

    ConfinedFolder folder(work.Path());
    for (const std::string& name :
         {std::string("a.ini"), std::string("b.ini"), std::string("c.ini"), std::string("d.ini"),
          longest, longestTwin}) {
        EXPECT_TRUE(folder.ReplaceFile(name, "fresh " + name.substr(0, 1))) << name;
        EXPECT_EQ(ReadFileBytes(work.Path() / name), "fresh " + name.substr(0, 1)) << name;
    }
    EXPECT_EQ(work.Tree(), (Segments{"a.ini", "b.ini", "c.ini", "d.ini", longestTwin, longest}));
    EXPECT_EQ(ReadFileBytes(victim), "precious");
    EXPECT_EQ(outside.Tree(), Segments{"victim"});
    EXPECT_FALSE(folder.ReplaceFile(longest + "n", "too long"));
    EXPECT_FALSE(folder.ReplaceFile("..", "no name"));
}

// The base folder is the user's choice and may be a link; a link in place of a folder below it
// (Files/, WebSites/) is refused for reading and writing alike.
TEST(ConfinedFolder, TheBaseMayBeALinkButNoFolderBelowIt) {
    TempFolder real;
    TempFolder links;
    TempFolder outside;
    const auto base = links.Path() / "work";
    std::filesystem::create_directory_symlink(real.Path(), base);
    std::filesystem::create_directory_symlink(outside.Path(), real.Path() / "Files");
    WriteFileBytes(outside.Path() / "kept", "outside");

    ConfinedFolder working(base);
    EXPECT_TRUE(working.ReplaceFile("settings.ini", "[net]\n"));
    EXPECT_EQ(ReadFileBytes(real.Path() / "settings.ini"), "[net]\n");
    // A base folder that went away is not made again by a save.
    EXPECT_FALSE(ConfinedFolder(links.Path() / "gone").ReplaceFile("settings.ini", "x"));
    EXPECT_FALSE(std::filesystem::exists(links.Path() / "gone"));

    ConfinedFolder files(base, {"Files"});
    EXPECT_FALSE(files.Open(true));
    EXPECT_FALSE(files.ReplaceFile("a.part.meta", "x"));
    EXPECT_FALSE(files.CreateFile(Segments{"a"}).IsOpen());
    EXPECT_LT(files.OpenFile("a.part", true), 0);
    EXPECT_FALSE(files.ReadSmallFile("kept").has_value());
    EXPECT_EQ(outside.Tree(), Segments{"kept"});
}

TEST(ConfinedFolder, ReadsOnlyPlainFilesAndTellsWhatIsMissing) {
    TempFolder work;
    TempFolder outside;
    WriteFileBytes(outside.Path() / "secret", "outside");
    WriteFileBytes(work.Path() / "plain", "text");
    std::filesystem::create_directories(work.Path() / "folder" / "inner");
    WriteFileBytes(work.Path() / "folder" / "inner" / "page", "nested");
    std::filesystem::create_symlink(outside.Path() / "secret", work.Path() / "link");
    std::filesystem::create_directory_symlink(outside.Path(), work.Path() / "linkedFolder");
    MakeFifo(work.Path() / "fifo");
    ConfinedFolder folder(work.Path());

    struct Case {
        Segments segments;
        std::optional<std::string> text;
        bool missing;
        Kind kind;
    };
    const std::vector<Case> cases = {
        {{"plain"}, "text", false, Kind::File},
        {{"folder", "inner", "page"}, "nested", false, Kind::File},
        {{"absent"}, std::nullopt, true, Kind::Missing},
        {{"nowhere", "absent"}, std::nullopt, true, Kind::Missing},
        {{"folder"}, std::nullopt, false, Kind::Other},
        {{"link"}, std::nullopt, false, Kind::Other},
        {{"linkedFolder", "secret"}, std::nullopt, false, Kind::Other},
        {{"fifo"}, std::nullopt, false, Kind::Other},
        {{"folder", "..", "plain"}, std::nullopt, false, Kind::Other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.segments.back());
        bool missing = !c.missing;
        EXPECT_EQ(folder.ReadSmallFile(c.segments, 100, &missing), c.text);
        EXPECT_EQ(missing, c.missing);
        EXPECT_EQ(folder.KindOf(c.segments), c.kind);
        EXPECT_EQ(folder.SizeOf(c.segments).has_value(), c.kind == Kind::File);
    }
    EXPECT_EQ(folder.ReadSmallFile("plain"), "text");
    EXPECT_FALSE(folder.ReadSmallFile("plain", 3).has_value());  // longer than asked for
    EXPECT_EQ(folder.SizeOf("plain"), 4u);
    EXPECT_LT(folder.OpenFileToRead("fifo"), 0);
    EXPECT_LT(folder.OpenFileToRead("link"), 0);
    const int fd = folder.OpenFileToRead("plain");
    EXPECT_GE(fd, 0);
    ::close(fd);
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "nowhere"));  // reading makes nothing

    ConfinedFolder gone(work.Path() / "gone");
    bool missing = false;
    EXPECT_FALSE(gone.ReadSmallFile("plain", 100, &missing).has_value());
    EXPECT_TRUE(missing);
    EXPECT_EQ(gone.KindOf("plain"), Kind::Missing);
}

TEST(ConfinedFolder, RemoveSaysWhetherTheNameIsGone) {
    TempFolder work;
    TempFolder outside;
    WriteFileBytes(outside.Path() / "target", "kept");
    WriteFileBytes(work.Path() / "plain", "x");
    std::filesystem::create_symlink(outside.Path() / "target", work.Path() / "link");
    std::filesystem::create_directory(work.Path() / "folder");
    ConfinedFolder folder(work.Path());
    EXPECT_TRUE(folder.Remove("plain"));
    EXPECT_TRUE(folder.Remove("plain"));  // nothing there is as good as removed
    EXPECT_TRUE(folder.Remove("link"));
    EXPECT_FALSE(folder.Remove("folder"));
    EXPECT_FALSE(folder.Remove(".."));
    EXPECT_EQ(work.Tree(), Segments{"folder"});
    EXPECT_EQ(ReadFileBytes(outside.Path() / "target"), "kept");
    EXPECT_TRUE(ConfinedFolder(work.Path() / "gone").Remove("plain"));
}

// Partial downloads are named by these stems, so they must stay as they were for a later run
// to find what an earlier one left.
TEST(ConfinedFolder, AStemWithRoomForASuffixIsCutAndToldApartByAHash) {
    EXPECT_EQ(ConfinedFolder::StemWithRoomFor("file.iso", 10), "file.iso");
    const std::string fits(NAME_MAX - 10, 'f');
    EXPECT_EQ(ConfinedFolder::StemWithRoomFor(fits, 10), fits);
    const std::string tooLong = fits + "g";
    const std::string stem = ConfinedFolder::StemWithRoomFor(tooLong, 10);
    EXPECT_EQ(stem.size(), static_cast<std::size_t>(NAME_MAX - 10));
    EXPECT_EQ(stem.substr(0, NAME_MAX - 27), tooLong.substr(0, NAME_MAX - 27));
    EXPECT_EQ(stem.substr(NAME_MAX - 27, 1), "~");
    EXPECT_NE(ConfinedFolder::StemWithRoomFor(fits + "h", 10), stem);
    EXPECT_EQ(ConfinedFolder::StemWithRoomFor(tooLong, 10), stem);
}

}  // namespace
}  // namespace tarnwick
