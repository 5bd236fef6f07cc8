// The real platform's downloads against a small HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "http_test_server.h"
#include "private_folders.h"
#include "qt/qt_platform.h"

namespace {

namespace fs = std::filesystem;
using testing_support::slurp;

// The shared loopback server with three routes: a body, a redirect to it, and a body
// cut short of its announced length; anything else is a missing page.
struct TinyServer : testhttp::Server {
    TinyServer() {
        route("/results.txt", testhttp::Reply::ok("A1 2 - A2 1\n"));
        route("/moved", testhttp::Reply::redirect(url("/results.txt")));
        route("/cut", testhttp::Reply::truncated(std::string(400, 'p')));
    }
};

struct DownloadTest : ::testing::Test {
    TinyServer server;
    zqt::QtPlatform platform;
    testing_support::ProgramFolder folder{false};
    const fs::path dir = folder.program;
    // Nothing but the target itself may be left in the folder.
    size_t filesIn() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }
};

TEST_F(DownloadTest, SuccessfulResponsesWriteTheWholeBody) {
    const fs::path target = dir / "results.txt";
    EXPECT_EQ(platform.download(server.url("/results.txt"), target.string()), platform::Download::Stored);
    EXPECT_EQ(slurp(target), "A1 2 - A2 1\n");

    // A redirect is followed, and the new body replaces the old file.
    std::ofstream(target) << "old";
    EXPECT_EQ(platform.download(server.url("/moved"), target.string()), platform::Download::Stored);
    EXPECT_EQ(slurp(target), "A1 2 - A2 1\n");
    EXPECT_EQ(filesIn(), 1u);
}

TEST_F(DownloadTest, FailuresLeaveNoFileAndKeepTheOldOne) {
    const fs::path fresh = dir / "fresh.txt";
    EXPECT_EQ(platform.download(server.url("/nothing-here"), fresh.string()), platform::Download::Failed);
    EXPECT_FALSE(fs::exists(fresh)) << "a 404 page is not a download";
    EXPECT_EQ(platform.download(server.url("/cut"), fresh.string()), platform::Download::Failed);
    EXPECT_FALSE(fs::exists(fresh)) << "a body cut short is not a download";
    EXPECT_EQ(filesIn(), 0u);

    const fs::path kept = dir / "kept.txt";
    std::ofstream(kept) << "yesterday's results";
    EXPECT_EQ(platform.download(server.url("/nothing-here"), kept.string()), platform::Download::Failed);
    EXPECT_EQ(platform.download(server.url("/cut"), kept.string()), platform::Download::Failed);
    EXPECT_EQ(slurp(kept), "yesterday's results");
    EXPECT_EQ(platform.download("http://127.0.0.1:1/refused", kept.string()), platform::Download::Failed);
    EXPECT_EQ(slurp(kept), "yesterday's results");
    EXPECT_EQ(filesIn(), 1u);
}

} // namespace
