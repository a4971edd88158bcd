#include "tavportsvc/host/registry_script.h"

#include "shared/u16.h"

namespace tav::portsvc::host {
namespace {

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsPunctuation(char16_t c) {
    return c == u'{' || c == u'}' || c == u'=';
}

struct Token {
    enum Kind { End, Open, Close, Equals, Word, Quoted, Bad } kind = End;
    std::u16string text;
};

class Lexer {
  public:
    explicit Lexer(std::u16string_view text) : m_text(text) {}

    Token Next() {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size() || m_text[m_pos] == u'\0')
            return {Token::End, {}};
        char16_t c = m_text[m_pos];
        if (c == u'{' || c == u'}' || c == u'=') {
            ++m_pos;
            return {c == u'{' ? Token::Open : c == u'}' ? Token::Close : Token::Equals, {}};
        }
        if (c == u'\'')
            return Quoted();
        return Word();
    }

  private:
    // '...' with '' standing for one apostrophe.
    Token Quoted() {
        std::u16string text;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            if (m_text[m_pos] != u'\'') {
                text += m_text[m_pos];
                continue;
            }
            if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\'') {
                text += u'\'';
                ++m_pos;
                continue;
            }
            ++m_pos;
            return {Token::Quoted, text};
        }
        return {Token::Bad, {}};
    }

    Token Word() {
        size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]) && !IsPunctuation(m_text[m_pos]) &&
               m_text[m_pos] != u'\'' && m_text[m_pos] != u'\0')
            ++m_pos;
        return {Token::Word, std::u16string(m_text.substr(start, m_pos - start))};
    }

    std::u16string_view m_text;
    size_t m_pos = 0;
};

class Parser {
  public:
    explicit Parser(std::u16string_view text) : m_lexer(text) { Advance(); }

    bool ParseRoots(std::vector<ScriptRoot>& roots) {
        while (m_token.kind != Token::End) {
            ScriptRoot root;
            if (m_token.kind != Token::Word)
                return false;
            root.rootName = m_token.text;
            Advance();
            if (!Expect(Token::Open) || !ParseBody(root.keys, nullptr, 1))
                return false;
            roots.push_back(std::move(root));
        }
        return true;
    }

  private:
    void Advance() { m_token = m_lexer.Next(); }

    bool Expect(Token::Kind kind) {
        if (m_token.kind != kind)
            return false;
        Advance();
        return true;
    }

    bool IsName() const { return m_token.kind == Token::Word || m_token.kind == Token::Quoted; }

    // `s 'text'` after an '='.
    bool ParseStringData(std::u16string& data) {
        if (m_token.kind != Token::Word || !EqualsNoCase(m_token.text, u"s"))
            return false;
        Advance();
        if (m_token.kind != Token::Quoted)
            return false;
        data = m_token.text;
        Advance();
        return true;
    }

    // Items up to the closing brace. `values` is null at root level, where no `val` may stand.
    bool ParseBody(std::vector<ScriptKey>& keys, std::vector<ScriptValue>* values, int depth) {
        if (depth > kMaxScriptDepth)
            return false;
        while (m_token.kind != Token::Close) {
            if (m_token.kind == Token::Word && EqualsNoCase(m_token.text, u"val")) {
                if (!values || !ParseValue(*values))
                    return false;
                continue;
            }
            ScriptKey key;
            if (!ParseKey(key, depth))
                return false;
            keys.push_back(std::move(key));
        }
        Advance();
        return true;
    }

    bool ParseValue(std::vector<ScriptValue>& values) {
        Advance();
        ScriptValue value;
        if (!IsName() || m_token.text.find(u'\0') != std::u16string::npos)
            return false;
        value.name = m_token.text;
        Advance();
        if (!Expect(Token::Equals) || !ParseStringData(value.data))
            return false;
        values.push_back(std::move(value));
        return true;
    }

    bool ParseKey(ScriptKey& key, int depth) {
        if (m_token.kind == Token::Word && EqualsNoCase(m_token.text, u"NoRemove")) {
            key.noRemove = true;
            Advance();
        }
        // A key item names one key: no path separators, no embedded NUL.
        if (!IsName() || m_token.text.empty() ||
            m_token.text.find_first_of(std::u16string_view(u"\\\0", 2)) != std::u16string::npos)
            return false;
        key.name = m_token.text;
        Advance();
        if (m_token.kind == Token::Equals) {
            Advance();
            if (!ParseStringData(key.defaultValue))
                return false;
            key.hasDefault = true;
        }
        if (m_token.kind == Token::Open) {
            Advance();
            return ParseBody(key.subkeys, &key.values, depth + 1);
        }
        return true;
    }

    Lexer m_lexer;
    Token m_token;
};

}  // namespace

win::HResult ExpandScriptVariables(std::u16string_view text, const ScriptVariables& variables,
                                   std::u16string& expanded) {
    expanded.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            expanded += text[i];
            continue;
        }
        size_t end = text.find(u'%', i + 1);
        if (end == std::u16string_view::npos)
            return kScriptSyntaxError;
        std::u16string_view name = text.substr(i + 1, end - i - 1);
        if (name.empty()) {
            expanded += u'%';
        } else {
            // The last definition of a name wins, as when a registrar is given it again.
            const std::u16string* value = nullptr;
            for (const auto& variable : variables) {
                if (EqualsNoCase(variable.first, name))
                    value = &variable.second;
            }
            if (!value)
                return kScriptSyntaxError;
            expanded += *value;
        }
        i = end;
    }
    return win::kSOk;
}

win::HResult ParseRegistryScript(std::u16string_view text, std::vector<ScriptRoot>& roots) {
    roots.clear();
    Parser parser(text);
    if (!parser.ParseRoots(roots)) {
        roots.clear();
        return kScriptSyntaxError;
    }
    return win::kSOk;
}

}  // namespace tav::portsvc::host
