#include "tools/scptool/JsonWriter.h"

#include <cstdio>

namespace scptool {

void JsonWriter::BeginObject() {
  BeforeValue();
  out_ << '{';
  hasItems_.push_back(false);
}

void JsonWriter::EndObject() {
  hasItems_.pop_back();
  out_ << '}';
}

void JsonWriter::BeginArray() {
  BeforeValue();
  out_ << '[';
  hasItems_.push_back(false);
}

void JsonWriter::EndArray() {
  hasItems_.pop_back();
  out_ << ']';
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  WriteQuoted(key);
  out_ << ':';
  afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
  BeforeValue();
  WriteQuoted(value);
}

void JsonWriter::Number(int64_t value) {
  BeforeValue();
  out_ << value;
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasItems_.empty()) {
    if (hasItems_.back()) {
      out_ << ',';
    }
    hasItems_.back() = true;
  }
}

void JsonWriter::WriteQuoted(std::string_view text) {
  out_ << '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out_ << '\\' << c;
    } else if (c == '\n') {
      out_ << "\\n";
    } else if (c == '\t') {
      out_ << "\\t";
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out_ << escaped;
    } else {
      out_ << c;
    }
  }
  out_ << '"';
}

void JsonWriter::Field(std::string_view key, int64_t value) {
  Key(key);
  Number(value);
}

}  // namespace scptool
