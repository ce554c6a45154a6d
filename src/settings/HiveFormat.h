#pragma once

// The text format of a hive file, read and written (HiveFormat.cpp shows it):
// one root key's keys and values in file order, apart from where the file lives.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace anchorly::registry::hive {

// ASCII letters in lower case: key and value names match regardless of it.
std::string foldCase(std::string_view text);

// A key path below the root: "" for the root itself, else names joined by
// "\", none of them empty, longer than 255 bytes or holding a control byte,
// at most 512 levels deep (the Windows registry's limits).
bool isValidKeyPath(const std::string& path);

struct Value {
    std::string name;
    std::string text;
};

struct Key {
    std::string path; // as created; "" is the root key
    std::vector<Value> values;
    std::unordered_map<std::string, std::size_t> index; // folded name -> position in values

    Value* find(const std::string& name);
    // Stores a value, replacing one of the same name and keeping that name's case.
    void set(std::string name, std::string text);
};

// One root key's file as read: its keys in file order, the root key first.
struct Hive {
    std::vector<Key> keys{1};
    std::unordered_map<std::string, std::size_t> index{{std::string(), 0}};
    bool damaged = false; // something in the file could not be parsed

    Key* find(const std::string& path);
    // Adds the key and its missing parents; gives the key.
    Key& add(const std::string& path);
};

// Reads a file's content into hive: what can be parsed is kept, and the
// hive counts as damaged when anything could not be.
void parse(std::string_view content, const std::string& root, Hive& hive);
// sizeHint: the bytes expected, to grow the text once.
std::string serialize(const Hive& hive, const std::string& root, std::size_t sizeHint = 0);

// Escaping of names and texts in the file, and back. unescape gives false for
// a text that is not a well-formed escaped text.
std::string escape(std::string_view text);
void escapeInto(std::string& out, std::string_view text); // appends the escaped text
bool unescape(std::string_view escaped, std::string& text);

} // namespace anchorly::registry::hive
