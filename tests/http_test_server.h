#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests and benchmarks: routes by path, a log of
// every request, and the ways a real server goes wrong, on demand. Never reaches outside
// the loopback interface.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testhttp {

struct Request {
    std::string method, target, path, query;
    std::map<std::string, std::string> headers; // names in lower case
    std::string header(const std::string& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
    // The query's values as a form-reading server decodes them ("+" is a blank).
    std::map<std::string, std::string> params() const;
};

struct Reply {
    enum class Fault {
        None,
        Truncated, // announces the whole body, sends half of it, hangs up
        Stall,     // sends the headers and a few bytes, then nothing until the client gives up
        Endless,   // a body with no length that never ends (for the size cap)
        Unmarked,  // the body with neither a length nor chunks: only the hang-up ends it
        Chunked,   // the body in small chunks, as a script's output streams
    };
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    Fault fault = Fault::None;

    static Reply ok(std::string body, std::string type = "text/plain") {
        Reply r;
        r.body = std::move(body);
        r.headers = {{"Content-Type", std::move(type)}};
        return r;
    }
    static Reply withStatus(int code, std::string body) {
        Reply r = ok(std::move(body), "text/html");
        r.status = code;
        return r;
    }
    static Reply notFound() { return withStatus(404, "<html><body><h1>404 Not Found</h1></body></html>"); }
    static Reply serverError() { return withStatus(500, "<html><body><h1>500 Internal Server Error</h1></body></html>"); }
    // What a captive portal or a broken script sends: a page, announced as a success.
    static Reply htmlPage() {
        return ok("<!DOCTYPE html>\n<html><head><title>Connexion requise</title></head>\n"
                  "<body><p>Veuillez vous identifier pour acceder a Internet.</p></body></html>\n",
                  "text/html");
    }
    static Reply empty() { return ok(""); }
    static Reply truncated(std::string body) {
        Reply r = ok(std::move(body));
        r.fault = Fault::Truncated;
        return r;
    }
    static Reply unmarked(std::string body) {
        Reply r = ok(std::move(body));
        r.fault = Fault::Unmarked;
        return r;
    }
    static Reply chunked(std::string body) {
        Reply r = ok(std::move(body));
        r.fault = Fault::Chunked;
        return r;
    }
    static Reply redirect(const std::string& location) {
        Reply r = withStatus(302, "");
        r.headers.push_back({"Location", location});
        return r;
    }
    static Reply stall() {
        Reply r = ok("[ButA]\n");
        r.fault = Fault::Stall;
        return r;
    }
    // A body of `bytes` bytes with its length announced.
    static Reply oversized(size_t bytes) { return ok(std::string(bytes, 'x')); }
    static Reply endless() {
        Reply r = ok("");
        r.fault = Fault::Endless;
        return r;
    }
};

class Server {
public:
    using Handler = std::function<Reply(const Request&)>;

    Server() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 64);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }
    ~Server() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        acceptor_.join();
        std::vector<std::thread> workers;
        {
            std::lock_guard lock(mutex_);
            workers.swap(workers_);
        }
        for (auto& t : workers) t.join();
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    static std::string decode(const std::string& s, bool plusIsBlank) { return decodePercent(s, plusIsBlank); }

    int port() const { return port_; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path) const { return base() + path; }

    // The answer for a path (query excluded); a later route for the same path replaces it.
    void route(const std::string& path, Reply reply) {
        route(path, [reply = std::move(reply)](const Request&) { return reply; });
    }
    void route(const std::string& path, Handler h) {
        std::lock_guard lock(mutex_);
        routes_[path] = std::move(h);
    }

    std::vector<Request> log() const {
        std::lock_guard lock(mutex_);
        return log_;
    }
    size_t hits(const std::string& path) const {
        std::lock_guard lock(mutex_);
        size_t n = 0;
        for (const auto& r : log_) n += r.path == path;
        return n;
    }
    void clearLog() {
        std::lock_guard lock(mutex_);
        log_.clear();
    }

    // An address on which nothing listens: a port that was just bound and released.
    static std::string closedPortBase() {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        ::close(s);
        return "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    }

private:
    void acceptLoop() {
        while (!stop_) {
            const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) {
                if (stop_) return;
                continue;
            }
            std::lock_guard lock(mutex_);
            workers_.emplace_back([this, c] {
                serve(c);
                ::close(c);
            });
        }
    }

    static std::string decodePercent(const std::string& s, bool plusIsBlank = false) {
        std::string out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
                out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += plusIsBlank && s[i] == '+' ? ' ' : s[i];
            }
        }
        return out;
    }

    void serve(int c) {
        std::string head;
        char buf[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            if (!waitReadable(c)) return;
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0) return;
            head.append(buf, static_cast<size_t>(n));
        }
        Request req;
        std::istringstream lines(head.substr(0, head.find("\r\n\r\n")));
        std::string line;
        std::getline(lines, line);
        std::istringstream first(line);
        first >> req.method >> req.target;
        const size_t q = req.target.find('?');
        req.path = decodePercent(req.target.substr(0, q));
        req.query = q == std::string::npos ? std::string() : req.target.substr(q + 1);
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            std::string name = line.substr(0, colon), value = line.substr(colon + 1);
            for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            req.headers[name] = value;
        }
        Handler h;
        {
            std::lock_guard lock(mutex_);
            log_.push_back(req);
            auto it = routes_.find(req.path);
            if (it != routes_.end()) h = it->second;
        }
        const Reply r = h ? h(req) : Reply::notFound();
        send(c, r);
    }

    bool waitReadable(int c) {
        pollfd p{c, POLLIN, 0};
        while (!stop_) {
            const int n = ::poll(&p, 1, 50);
            if (n > 0) return true;
            if (n < 0) return false;
        }
        return false;
    }

    static bool sendAll(int c, const std::string& s) {
        size_t done = 0;
        while (done < s.size()) {
            const ssize_t n = ::send(c, s.data() + done, s.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    void send(int c, const Reply& r) {
        std::string head = "HTTP/1.1 " + std::to_string(r.status) + " Status\r\nConnection: close\r\n";
        for (const auto& [k, v] : r.headers) head += k + ": " + v + "\r\n";
        if (r.fault == Reply::Fault::Chunked) head += "Transfer-Encoding: chunked\r\n";
        else if (r.fault != Reply::Fault::Endless && r.fault != Reply::Fault::Unmarked)
            head += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
        head += "\r\n";
        if (!sendAll(c, head)) return;
        switch (r.fault) {
        case Reply::Fault::None:
        case Reply::Fault::Unmarked: sendAll(c, r.body); return;
        case Reply::Fault::Chunked: {
            std::string out;
            for (size_t at = 0; at < r.body.size(); at += 100) {
                const std::string part = r.body.substr(at, 100);
                char size[16];
                std::snprintf(size, sizeof size, "%zx\r\n", part.size());
                out += size + part + "\r\n";
            }
            sendAll(c, out + "0\r\n\r\n");
            return;
        }
        case Reply::Fault::Truncated: sendAll(c, r.body.substr(0, r.body.size() / 2)); return;
        case Reply::Fault::Stall: {
            sendAll(c, r.body.substr(0, 3));
            // Hold the line open until the client hangs up or the server stops.
            pollfd p{c, POLLIN, 0};
            while (!stop_) {
                if (::poll(&p, 1, 20) > 0) {
                    if (::recv(c, buf_, sizeof buf_, MSG_DONTWAIT) <= 0) return;
                }
            }
            return;
        }
        case Reply::Fault::Endless: {
            const std::string chunk(64 * 1024, 'x');
            while (!stop_ && sendAll(c, chunk)) {
            }
            return;
        }
        }
    }

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::map<std::string, Handler> routes_;
    std::vector<Request> log_;
    static inline thread_local char buf_[256];
};

inline std::map<std::string, std::string> Request::params() const {
    std::map<std::string, std::string> out;
    size_t start = 0;
    while (start <= query.size() && !query.empty()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(start, end - start);
        const size_t eq = pair.find('=');
        out[Server::decode(pair.substr(0, eq), true)] =
            eq == std::string::npos ? std::string() : Server::decode(pair.substr(eq + 1), true);
        start = end + 1;
    }
    return out;
}

} // namespace testhttp
