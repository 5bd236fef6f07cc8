#include "online/adresses.h"

#include <cstdlib>

namespace zentrafo {

namespace {

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

} // namespace

std::string AdresseServeur() {
    std::string base = "https://www.zentrafo.fr";
    if (const char* env = std::getenv("ZENTRAFO_SERVER"); env && *env) base = env;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

std::string EncodeURL(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size() * 3);
    for (char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool EstLienWeb(std::string_view link) {
    for (char ch : link) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= ' ' || c == 0x7F || ch == '\\') return false;
    }
    std::string_view rest;
    if (startsWithNoCase(link, "http://"))
        rest = link.substr(7);
    else if (startsWithNoCase(link, "https://"))
        rest = link.substr(8);
    else
        return false;
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    // A user name in front of the host ("a@b") hides the real destination.
    if (authority.find('@') != std::string_view::npos) return false;
    std::string_view host = authority;
    if (!host.empty() && host.front() == '[') {
        const size_t close = host.find(']');
        if (close == std::string_view::npos || close == 1) return false;
        host = host.substr(0, close + 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    if (host.empty()) return false;
    const std::string_view port = authority.substr(host.size());
    if (!port.empty()) {
        if (port.front() != ':' || port.size() == 1) return false;
        for (char c : port.substr(1))
            if (c < '0' || c > '9') return false;
    }
    return true;
}

} // namespace zentrafo
