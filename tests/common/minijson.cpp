#include "tests/common/minijson.h"

#include <cctype>
#include <cstdlib>

namespace veltest {

namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : m_text(text) {}

  bool Value(Json* out, int depth) {
    if (depth > 64) return false;
    Skip();
    if (m_pos >= m_text.size()) return false;
    const char c = m_text[m_pos];
    if (c == '{') return Object(out, depth);
    if (c == '[') return Array(out, depth);
    if (c == '"') {
      out->type = Json::Type::String;
      return String(&out->text);
    }
    if (Word("true")) {
      out->type = Json::Type::Bool;
      out->boolean = true;
      return true;
    }
    if (Word("false")) {
      out->type = Json::Type::Bool;
      return true;
    }
    if (Word("null")) return true;
    const char* start = m_text.c_str() + m_pos;
    char* end = nullptr;
    out->number = std::strtod(start, &end);
    if (end == start) return false;
    out->type = Json::Type::Number;
    m_pos += static_cast<std::size_t>(end - start);
    return true;
  }

  bool AtEnd() {
    Skip();
    return m_pos == m_text.size();
  }

 private:
  void Skip() {
    while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) ++m_pos;
  }
  bool Word(const char* w) {
    const std::string word(w);
    if (m_text.compare(m_pos, word.size(), word) != 0) return false;
    m_pos += word.size();
    return true;
  }
  bool Take(char c) {
    Skip();
    if (m_pos < m_text.size() && m_text[m_pos] == c) {
      ++m_pos;
      return true;
    }
    return false;
  }
  bool String(std::string* out) {
    if (!Take('"')) return false;
    while (m_pos < m_text.size()) {
      const char c = m_text[m_pos++];
      if (c == '"') return true;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (m_pos >= m_text.size()) return false;
      const char e = m_text[m_pos++];
      switch (e) {
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'u': {
          if (m_pos + 4 > m_text.size()) return false;
          const long v = std::strtol(m_text.substr(m_pos, 4).c_str(), nullptr, 16);
          if (v >= 0x80) return false;
          out->push_back(static_cast<char>(v));
          m_pos += 4;
          break;
        }
        default: out->push_back(e);
      }
    }
    return false;
  }
  bool Array(Json* out, int depth) {
    out->type = Json::Type::Array;
    Take('[');
    if (Take(']')) return true;
    do {
      Json item;
      if (!Value(&item, depth + 1)) return false;
      out->items.push_back(std::move(item));
    } while (Take(','));
    return Take(']');
  }
  bool Object(Json* out, int depth) {
    out->type = Json::Type::Object;
    Take('{');
    if (Take('}')) return true;
    do {
      Skip();
      std::string key;
      if (!String(&key) || !Take(':')) return false;
      Json value;
      if (!Value(&value, depth + 1)) return false;
      out->members[key] = std::move(value);
    } while (Take(','));
    return Take('}');
  }

  const std::string& m_text;
  std::size_t m_pos = 0;
};

}  // namespace

const Json* Json::At(const std::string& path) const {
  const Json* node = this;
  std::size_t start = 0;
  while (node != nullptr && start <= path.size()) {
    const std::size_t dot = path.find('.', start);
    const std::string key = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (node->type != Type::Object) return nullptr;
    auto it = node->members.find(key);
    node = it == node->members.end() ? nullptr : &it->second;
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return node;
}

std::optional<Json> ParseJson(const std::string& text) {
  Reader reader(text);
  Json root;
  if (!reader.Value(&root, 0) || !reader.AtEnd()) return std::nullopt;
  return root;
}

}  // namespace veltest
