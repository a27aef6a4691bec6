#include <fcntl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "storage/FileWriter.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

TEST(FileWriter, RemembersWhyAWriteFailed) {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    FileWriter writer(fd);
    EXPECT_TRUE(writer.Write("buffered"));  // small writes wait in the buffer
    EXPECT_FALSE(writer.Flush());
    EXPECT_EQ(writer.ErrorNumber(), ENOSPC);
    EXPECT_FALSE(writer.Write("more"));
    EXPECT_FALSE(writer.Close());
}

TEST(FileWriter, KeepsEveryPieceInOrderAndContinuesWhereTheFileWasCut) {
    testing::TempFolder folder;
    const std::filesystem::path path = folder.Path() / "f.bin";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    std::string bytes;
    FileWriter writer(fd);
    // libcurl's 16 KiB pieces, odd ones, and blocks larger than the writer's buffer.
    for (const std::size_t size : {16384u, 13u, 16384u, 70000u, 65536u, 1u, 300000u, 16384u}) {
        const std::string piece(size, static_cast<char>('a' + bytes.size() % 26));
        ASSERT_TRUE(writer.Write(piece));
        bytes += piece;
        EXPECT_EQ(writer.Position(), bytes.size());
    }
    ASSERT_TRUE(writer.TruncateTo(bytes.size()));  // the size it has: nothing is lost
    ASSERT_TRUE(writer.TruncateTo(100000));
    bytes.resize(100000);
    ASSERT_TRUE(writer.Write("tail"));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(testing::ReadFileBytes(path), bytes + "tail");
}

}  // namespace
}  // namespace tarnwick
