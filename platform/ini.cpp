#include "platform/ini.h"

#include "platform/file_io.h"

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimView(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// Text as the program holds it: valid UTF-8, on one line, without NUL bytes. Callers'
// strings are UTF-8 already; anything else is taken as Windows-1252 like a legacy file,
// so that one stray byte can never turn the whole file into "not UTF-8" on the next read.
std::string oneLine(std::string_view in) {
    std::string conv;
    if (!isUtf8(in)) {
        conv = cp1252ToUtf8(in);
        in = conv;
    }
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '\0') continue;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string cleanName(std::string_view name) { return std::string(trimView(oneLine(name))); }

// Quotes only where the reader would otherwise change the value: surrounding blanks are
// trimmed and one pair of matching quotes is removed on reading.
std::string encodeValue(std::string_view value) {
    std::string v = oneLine(value);
    if (v.empty()) return v;
    char f = v.front(), b = v.back();
    bool wrapped = v.size() >= 2 && (f == '"' || f == '\'') && b == f;
    if (isBlank(f) || isBlank(b) || wrapped) return '"' + v + '"';
    return v;
}

std::string_view decodeValue(std::string_view raw) {
    raw = trimView(raw);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
        raw = raw.substr(1, raw.size() - 2);
    return raw;
}

struct LineInfo {
    enum Kind { Other, Header, Entry } kind = Other;
    std::string_view name;
    size_t eq = 0; // position of "=" in an entry line
};

LineInfo classify(std::string_view line) {
    LineInfo info;
    std::string_view t = trimView(line);
    if (t.empty() || t.front() == ';') return info;
    if (t.front() == '[') {
        t.remove_prefix(1);
        info.kind = LineInfo::Header;
        info.name = trimView(t.substr(0, t.find(']')));
        return info;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return info;
    info.kind = LineInfo::Entry;
    info.name = trimView(line.substr(0, eq));
    info.eq = eq;
    return info;
}

struct Location {
    long entry = -1;     // the key's line
    long insertAt = -1;  // where a missing key of an existing section goes
};

Location locate(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
    Location loc;
    bool inSection = false;
    bool firstSectionDone = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        LineInfo info = classify(lines[i]);
        if (info.kind == LineInfo::Header) {
            if (inSection) firstSectionDone = true;
            inSection = sameName(info.name, section);
            if (inSection && !firstSectionDone && loc.insertAt < 0) loc.insertAt = static_cast<long>(i) + 1;
        } else if (info.kind == LineInfo::Entry && inSection) {
            if (sameName(info.name, key)) {
                loc.entry = static_cast<long>(i);
                return loc;
            }
            if (!firstSectionDone) loc.insertAt = static_cast<long>(i) + 1;
        }
    }
    return loc;
}

} // namespace

IniFile IniFile::parse(std::string_view bytes) {
    const std::string text = decodeTextFile(bytes);

    IniFile doc;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        doc.lines_.emplace_back(text, start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) doc.lines_.emplace_back(text, start);
    return doc;
}

std::optional<IniFile> IniFile::open(const std::string& path) {
    bool missing = false;
    auto bytes = readWholeFile(path, &missing);
    if (!bytes) return missing ? std::optional<IniFile>(IniFile{}) : std::nullopt;
    return parse(*bytes);
}

IniFile IniFile::load(const std::string& path) {
    auto doc = open(path);
    return doc ? std::move(*doc) : IniFile{};
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    Location loc = locate(lines_, cleanName(section), cleanName(key));
    if (loc.entry < 0) return std::nullopt;
    const std::string& line = lines_[static_cast<size_t>(loc.entry)];
    size_t eq = line.find('=');
    return std::string(firstChars(decodeValue(std::string_view(line).substr(eq + 1)), kIniValueMaxChars));
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string sec = cleanName(section), k = cleanName(key);
    std::string v = encodeValue(value);
    Location loc = locate(lines_, sec, k);
    if (loc.entry >= 0) {
        // The key keeps its own spelling and place; only what follows "=" changes.
        std::string& line = lines_[static_cast<size_t>(loc.entry)];
        line.resize(line.find('=') + 1);
        line += v;
    } else if (loc.insertAt >= 0) {
        lines_.insert(lines_.begin() + loc.insertAt, k + "=" + v);
    } else {
        lines_.push_back("[" + sec + "]");
        lines_.push_back(k + "=" + v);
    }
}

std::string IniFile::serialize() const {
    size_t size = 0;
    for (const auto& l : lines_) size += l.size() + 1;
    std::string out;
    out.reserve(size);
    for (const auto& l : lines_) {
        out += l;
        out += '\n';
    }
    return out;
}

bool IniFile::saveAtomic(const std::string& path) const { return save(path, std::nullopt); }

bool IniFile::saveAtomic(const std::string& path, unsigned mode) const { return save(path, mode); }

bool IniFile::save(const std::string& path, std::optional<unsigned> mode) const {
    return writeWholeFile(path, serialize(), mode);
}

IniBatch::IniBatch(std::string path) : path_(std::move(path)) {}

void IniBatch::set(std::string_view section, std::string_view key, std::string_view value) {
    sets_.push_back({std::string(section), std::string(key), std::string(value)});
}

bool IniBatch::commit() {
    auto doc = IniFile::open(path_);
    if (!doc) return false; // the read says why
    for (const auto& s : sets_) doc->set(s.section, s.key, s.value);
    if (!doc->saveAtomic(path_)) return false;
    sets_.clear();
    return true;
}

std::string readIni(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view def) {
    auto doc = IniFile::open(path);
    if (!doc) return std::string(def);
    auto v = doc->get(section, key);
    return v ? std::move(*v) : std::string(def);
}

bool writeIni(const std::string& path, std::string_view section, std::string_view key,
              std::string_view value) {
    IniBatch batch(path);
    batch.set(section, key, value);
    return batch.commit();
}

} // namespace platform
