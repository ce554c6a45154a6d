// The hive: one text file per root key, "<folder>/<root name>.reg", e.g.
// "HKEY_CURRENT_USER.reg":
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER]
//
//     [HKEY_CURRENT_USER\Software]
//
//     [HKEY_CURRENT_USER\Software\Quillbay\Anchorly]
//     "Browser"="/usr/bin/firefox"
//     @="the key's unnamed value"
//
// - The first line is "REGEDIT4". Every key has a section line, empty keys
//   included; a section names the root and the key path joined by "\". A key
//   whose section is missing but which has a child with a section exists as
//   well. Key names hold no "\" and no control bytes.
// - A value is one line "name"="text"; the unnamed value is written @="text".
//   Value names and texts are escaped alike: "\\" for a backslash, "\"" for a
//   double quote, "\r" for carriage return, "\n" for line feed, "\xHH" (two
//   hex digits) for every other byte below 0x20 and for 0x7F. Every other
//   byte, 0x80 to 0xFF included, stands as itself, so any 8-bit text comes
//   back exactly as it was stored.
// - Blank lines and lines starting with ";" are ignored; a line may end in
//   CR LF. Lines are written with LF alone.
//
// A file that does not follow this (a wrong first line, a line that is no
// section or value, a value outside any section) is damaged: what can be
// parsed is used.

#include "settings/HiveFormat.h"

namespace anchorly::registry::hive {

namespace {

constexpr char kHeader[] = "REGEDIT4";

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

// The position of the closing quote of the quoted, escaped text that starts
// at line[start] == '"', or npos.
std::size_t closingQuote(std::string_view line, std::size_t start)
{
    for (std::size_t i = start + 1; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '"')
            return i;
    }
    return std::string_view::npos;
}

bool parseValueLine(std::string_view line, Value& value)
{
    std::size_t pos = 0;
    value.name.clear();
    if (line.substr(0, 2) == "@=") {
        pos = 2;
    } else if (!line.empty() && line[0] == '"') {
        const auto end = closingQuote(line, 0);
        if (end == std::string_view::npos || !unescape(line.substr(1, end - 1), value.name))
            return false;
        if (end + 1 >= line.size() || line[end + 1] != '=')
            return false;
        pos = end + 2;
    } else {
        return false;
    }
    if (pos >= line.size() || line[pos] != '"')
        return false;
    const auto end = closingQuote(line, pos);
    if (end != line.size() - 1)
        return false;
    return unescape(line.substr(pos + 1, end - pos - 1), value.text);
}

// The key path of a section line, or false when the line names another root
// or an invalid path.
bool parseSection(std::string_view line, const std::string& root, std::string& path)
{
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return false;
    const std::string_view inner = line.substr(1, line.size() - 2);
    if (foldCase(inner.substr(0, root.size())) != foldCase(root))
        return false;
    if (inner.size() == root.size()) {
        path.clear();
        return true;
    }
    if (inner[root.size()] != '\\')
        return false;
    path = std::string(inner.substr(root.size() + 1));
    return !path.empty() && isValidKeyPath(path);
}

} // namespace

std::string foldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

bool isValidKeyPath(const std::string& path)
{
    constexpr std::size_t kMaxNameLength = 255;
    constexpr std::size_t kMaxDepth = 512;
    if (path.empty())
        return true;
    std::size_t depth = 1;
    std::size_t nameLength = 0;
    for (unsigned char c : path) {
        if (c == '\\') {
            if (nameLength == 0 || ++depth > kMaxDepth)
                return false;
            nameLength = 0;
        } else if (isControl(c) || ++nameLength > kMaxNameLength) {
            return false;
        }
    }
    return nameLength > 0;
}

Value* Key::find(const std::string& name)
{
    const auto it = index.find(foldCase(name));
    return it == index.end() ? nullptr : &values[it->second];
}

void Key::set(std::string name, std::string text)
{
    // One fold and one look-up: a large hive sets hundreds of thousands of values as it is read.
    const auto [it, added] = index.try_emplace(foldCase(name), values.size());
    if (!added) {
        values[it->second].text = std::move(text);
        return;
    }
    values.push_back(Value{std::move(name), std::move(text)});
}

Key* Hive::find(const std::string& path)
{
    const auto it = index.find(foldCase(path));
    return it == index.end() ? nullptr : &keys[it->second];
}

Key& Hive::add(const std::string& path)
{
    if (Key* existing = find(path))
        return *existing;
    const auto separator = path.rfind('\\');
    if (separator != std::string::npos)
        add(path.substr(0, separator));
    keys.push_back(Key{path, {}, {}});
    index.emplace(foldCase(path), keys.size() - 1);
    return keys.back();
}

void parse(std::string_view content, const std::string& root, Hive& hive)
{
    // Index of the key the value lines belong to; none before the first
    // section and after a section that cannot be used.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t current = kNone;
    bool first = true;
    std::size_t start = 0;
    Value value;
    std::string path;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string_view::npos)
            end = content.size();
        std::string_view line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first) {
            first = false;
            if (line.substr(0, 3) == "\xEF\xBB\xBF") // a byte-order mark left by an editor
                line.remove_prefix(3);
            if (line == kHeader)
                continue;
            hive.damaged = true;
        }
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (parseSection(line, root, path)) {
                current = static_cast<std::size_t>(&hive.add(path) - hive.keys.data());
            } else {
                current = kNone;
                hive.damaged = true;
            }
        } else if (current != kNone && parseValueLine(line, value)) {
            hive.keys[current].set(std::move(value.name), std::move(value.text));
        } else {
            hive.damaged = true;
        }
    }
}

std::string serialize(const Hive& hive, const std::string& root, std::size_t sizeHint)
{
    std::string out;
    out.reserve(sizeHint);
    out += kHeader;
    out += '\n';
    for (const Key& key : hive.keys) {
        out += "\n[";
        out += root;
        if (!key.path.empty())
            out.append("\\").append(key.path);
        out += "]\n";
        for (const Value& value : key.values) {
            if (value.name.empty()) {
                out += "@=";
            } else {
                out += '"';
                escapeInto(out, value.name);
                out += "\"=";
            }
            out += '"';
            escapeInto(out, value.text);
            out += "\"\n";
        }
    }
    return out;
}

// Plain bytes go over in runs: most texts hold no byte to escape.
void escapeInto(std::string& out, std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::size_t plain = 0; // start of the bytes that stand as themselves, not yet appended
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != '\\' && c != '"' && !isControl(c))
            continue;
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        out += '\\';
        if (c == '\\' || c == '"')
            out += static_cast<char>(c);
        else if (c == '\r')
            out += 'r';
        else if (c == '\n')
            out += 'n';
        else
            out.append(1, 'x').append(1, kHex[c >> 4]).append(1, kHex[c & 0xF]);
    }
    out.append(text.substr(plain));
}

std::string escape(std::string_view text)
{
    std::string out;
    escapeInto(out, text);
    return out;
}

bool unescape(std::string_view escaped, std::string& text)
{
    auto hexDigit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    text.clear();
    text.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        // Plain bytes go over in runs: most texts hold no escape at all.
        // (find_first_of would look each byte up in the set with a call of its own.)
        std::size_t run = i;
        while (run < escaped.size() && escaped[run] != '\\' && escaped[run] != '"')
            ++run;
        text.append(escaped.substr(i, run - i));
        if (run == escaped.size())
            break;
        i = run;
        if (escaped[i] == '"' || ++i >= escaped.size())
            return false;
        switch (escaped[i]) {
        case '\\':
        case '"':
            text += escaped[i];
            break;
        case 'r':
            text += '\r';
            break;
        case 'n':
            text += '\n';
            break;
        case 'x': {
            if (i + 2 >= escaped.size())
                return false;
            const int high = hexDigit(escaped[i + 1]);
            const int low = hexDigit(escaped[i + 2]);
            if (high < 0 || low < 0)
                return false;
            text += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

} // namespace anchorly::registry::hive
