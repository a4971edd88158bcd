#pragma once
// A small JSON reader for the tests: objects, arrays, strings (with \" \\ \uXXXX for
// ASCII), numbers, true, false, null. Throws std::runtime_error on anything malformed,
// including trailing text.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tav::test {

struct Json {
    enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const {
        auto it = members.find(key);
        if (kind != Kind::kObject || it == members.end())
            throw std::runtime_error("no member " + key);
        return it->second;
    }
    const Json& operator[](size_t i) const { return items.at(i); }
    bool IsNull() const { return kind == Kind::kNull; }
};

class JsonReader {
  public:
    explicit JsonReader(const std::string& text) : m_text(text) {}

    Json Document() {
        Json value = Value();
        Space();
        if (m_pos != m_text.size())
            throw std::runtime_error("trailing text");
        return value;
    }

  private:
    void Space() {
        while (m_pos < m_text.size() &&
               std::string(" \t\r\n").find(m_text[m_pos]) != std::string::npos)
            ++m_pos;
    }
    char Peek() {
        Space();
        if (m_pos >= m_text.size())
            throw std::runtime_error("unexpected end");
        return m_text[m_pos];
    }
    void Expect(char c) {
        if (Peek() != c)
            throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(m_pos));
        ++m_pos;
    }
    bool Word(const char* word) {
        std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return false;
        m_pos += w.size();
        return true;
    }
    Json Value() {
        char c = Peek();
        Json v;
        if (c == '{')
            return Object();
        if (c == '[')
            return Array();
        if (c == '"') {
            v.kind = Json::Kind::kString;
            v.text = String();
        } else if (Word("true")) {
            v.kind = Json::Kind::kBool;
            v.boolean = true;
        } else if (Word("false")) {
            v.kind = Json::Kind::kBool;
        } else if (Word("null")) {
        } else {
            size_t used = 0;
            v.number = std::stod(m_text.substr(m_pos), &used);
            v.kind = Json::Kind::kNumber;
            m_pos += used;
        }
        return v;
    }
    std::string String() {
        Expect('"');
        std::string out;
        while (true) {
            if (m_pos >= m_text.size())
                throw std::runtime_error("unterminated string");
            char c = m_text[m_pos++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            char e = m_text.at(m_pos++);
            if (e == 'u') {
                out += static_cast<char>(std::stoi(m_text.substr(m_pos, 4), nullptr, 16));
                m_pos += 4;
            } else if (e == '"' || e == '\\' || e == '/') {
                out += e;
            } else {
                throw std::runtime_error("bad escape");
            }
        }
    }
    Json Array() {
        Expect('[');
        Json v;
        v.kind = Json::Kind::kArray;
        if (Peek() == ']') {
            ++m_pos;
            return v;
        }
        while (true) {
            v.items.push_back(Value());
            if (Peek() == ',') {
                ++m_pos;
                continue;
            }
            Expect(']');
            return v;
        }
    }
    Json Object() {
        Expect('{');
        Json v;
        v.kind = Json::Kind::kObject;
        if (Peek() == '}') {
            ++m_pos;
            return v;
        }
        while (true) {
            Space();
            std::string key = String();
            Expect(':');
            v.members[key] = Value();
            if (Peek() == ',') {
                ++m_pos;
                continue;
            }
            Expect('}');
            return v;
        }
    }

    const std::string& m_text;
    size_t m_pos = 0;
};

inline Json ParseJson(const std::string& text) {
    return JsonReader(text).Document();
}

}  // namespace tav::test
