#include "engine/files/FtpLocation.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(FtpLocation, SplitsHostDirectoryAndFileName) {
    struct Row {
        const char* url;
        const char* host;
        const char* directory;
        const char* fileName;
    };
    const Row rows[] = {
        {"ftp://host/pub/tools/unzip.exe", "host", "pub/tools", "unzip.exe"},
        {"ftp://host/a.zip", "host", "", "a.zip"},
        {"ftp://user@host:2121/d/", "user@host:2121", "d", ""},
    };
    for (const Row& row : rows) {
        FtpLocation location;
        ASSERT_TRUE(ParseFtpUrl(row.url, location)) << row.url;
        EXPECT_EQ(location.host, row.host);
        EXPECT_EQ(location.directory, row.directory);
        EXPECT_EQ(location.fileName, row.fileName);
    }
    // No "//", no '/' after the host, or a '/' before the "//" that would make the host
    // run backwards.
    for (const char* url : {"ftp:host/a", "ftp://host", "", "a/ftp://h/x", "ftp:/"}) {
        FtpLocation location;
        EXPECT_FALSE(ParseFtpUrl(url, location)) << url;
    }
}

}  // namespace
}  // namespace tarnwick
