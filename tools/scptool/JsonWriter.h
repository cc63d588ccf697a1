// A tiny JSON writer for scptool's machine-readable output: objects, arrays, strings, integers,
// booleans and null, written compactly as they are added.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace scptool {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();

  // Names the next value inside an object.
  void Key(std::string_view key);

  void String(std::string_view value);
  void Number(int64_t value);
  void Bool(bool value);
  void Null();

  // A named integer inside an object: Key(key) then Number(value).
  void Field(std::string_view key, int64_t value);

 private:
  // Writes the comma that separates this value from the one before it, when there is one.
  void BeforeValue();
  void WriteQuoted(std::string_view text);

  std::ostream& out_;
  std::vector<bool> hasItems_;  // one per open object or array
  bool afterKey_ = false;
};

}  // namespace scptool
