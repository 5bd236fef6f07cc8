// The real platform's downloads against a small HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "qt/qt_platform.h"

namespace {

namespace fs = std::filesystem;

// Answers each request by its path: a body, a missing page, a redirect, or a body cut
// short of its announced length.
class TinyServer {
public:
    TinyServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 8);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TinyServer() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    void serve() {
        while (!stop_) {
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) return;
            std::string request;
            char buf[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0) break;
                request.append(buf, static_cast<size_t>(n));
            }
            std::istringstream line(request);
            std::string method, path;
            line >> method >> path;
            const std::string reply = answer(path);
            ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(c);
        }
    }
    std::string answer(const std::string& path) const {
        if (path == "/results.txt") return "HTTP/1.1 200 OK\r\nContent-Length: 12\r\nConnection: close\r\n\r\nA1 2 - A2 1\n";
        if (path == "/moved") return "HTTP/1.1 302 Found\r\nLocation: " + url("/results.txt") +
                                     "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        if (path == "/cut") return "HTTP/1.1 200 OK\r\nContent-Length: 400\r\nConnection: close\r\n\r\npartial body";
        return "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found";
    }

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct DownloadTest : ::testing::Test {
    TinyServer server;
    zqt::QtPlatform platform;
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zentrafo_dl_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // Nothing but the target itself may be left in the folder.
    size_t filesIn() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }
};

TEST_F(DownloadTest, SuccessfulResponsesWriteTheWholeBody) {
    const fs::path target = dir / "results.txt";
    EXPECT_TRUE(platform.download(server.url("/results.txt"), target.string()));
    EXPECT_EQ(slurp(target), "A1 2 - A2 1\n");

    // A redirect is followed, and the new body replaces the old file.
    std::ofstream(target) << "old";
    EXPECT_TRUE(platform.download(server.url("/moved"), target.string()));
    EXPECT_EQ(slurp(target), "A1 2 - A2 1\n");
    EXPECT_EQ(filesIn(), 1u);
}

TEST_F(DownloadTest, FailuresLeaveNoFileAndKeepTheOldOne) {
    const fs::path fresh = dir / "fresh.txt";
    EXPECT_FALSE(platform.download(server.url("/nothing-here"), fresh.string()));
    EXPECT_FALSE(fs::exists(fresh)) << "a 404 page is not a download";
    EXPECT_FALSE(platform.download(server.url("/cut"), fresh.string()));
    EXPECT_FALSE(fs::exists(fresh)) << "a body cut short is not a download";
    EXPECT_EQ(filesIn(), 0u);

    const fs::path kept = dir / "kept.txt";
    std::ofstream(kept) << "yesterday's results";
    EXPECT_FALSE(platform.download(server.url("/nothing-here"), kept.string()));
    EXPECT_FALSE(platform.download(server.url("/cut"), kept.string()));
    EXPECT_EQ(slurp(kept), "yesterday's results");
    EXPECT_FALSE(platform.download("http://127.0.0.1:1/refused", kept.string()));
    EXPECT_EQ(slurp(kept), "yesterday's results");
    EXPECT_EQ(filesIn(), 1u);
}

} // namespace
