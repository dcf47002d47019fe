#include "RegistrarScript.h"

#include "RegistryKey.h"

#include <cstdlib>
#include <new>
#include <utility>

namespace {

const HRESULT kBadFormat = HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);

bool SameWord(const std::string& a, const char* b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

HRESULT FromWin32(LONG error)
{
    return HRESULT_FROM_WIN32(static_cast<unsigned long>(error));
}

bool IsGone(LONG error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

struct Token {
    std::string text;
    bool quoted = false;

    // Keywords and punctuation count only when they stand unquoted.
    bool Is(const char* word) const { return !quoted && SameWord(text, word); }
};

struct RootName {
    const char* shortName;
    const char* longName;
    HKEY handle;
};

const RootName kRootNames[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKU", "HKEY_USERS", HKEY_USERS},
};

// Splits the text into tokens, replacing variables as it goes.
class Lexer {
public:
    Lexer(const std::string& text, const RegistrarScript::Replacements& replacements)
        : text_(text), replacements_(replacements)
    {
    }

    HRESULT Run(std::vector<Token>& tokens)
    {
        while (true) {
            while (position_ < text_.size() && IsBlank(text_[position_]))
                ++position_;
            if (position_ == text_.size())
                return S_OK;
            Token token;
            const HRESULT hr = text_[position_] == '\'' ? ReadQuoted(token) : ReadBare(token);
            if (FAILED(hr))
                return hr;
            tokens.push_back(std::move(token));
        }
    }

private:
    HRESULT ReadQuoted(Token& token)
    {
        token.quoted = true;
        ++position_;  // opening quote
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == '\'') {
                if (position_ + 1 < text_.size() && text_[position_ + 1] == '\'') {
                    token.text += '\'';
                    position_ += 2;
                    continue;
                }
                ++position_;  // closing quote
                return S_OK;
            }
            const HRESULT hr = ReadCharacter(token.text);
            if (FAILED(hr))
                return hr;
        }
        return kBadFormat;  // no closing quote
    }

    HRESULT ReadBare(Token& token)
    {
        while (position_ < text_.size() && !IsBlank(text_[position_])) {
            const HRESULT hr = ReadCharacter(token.text);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }

    // One character, or a whole %NAME% or %% sequence.
    HRESULT ReadCharacter(std::string& text)
    {
        if (text_[position_] != '%') {
            text += text_[position_++];
            return S_OK;
        }
        const size_t end = text_.find('%', position_ + 1);
        if (end == std::string::npos)
            return kBadFormat;
        const std::string name = text_.substr(position_ + 1, end - position_ - 1);
        position_ = end + 1;
        if (name.empty()) {
            text += '%';
            return S_OK;
        }
        const auto found = replacements_.find(name);
        if (found == replacements_.end())
            return kBadFormat;
        text += found->second;
        return S_OK;
    }

    const std::string& text_;
    const RegistrarScript::Replacements& replacements_;
    size_t position_ = 0;
};

}  // namespace

// Builds the tree from the tokens by recursive descent.
class RegistrarScript::Parser {
public:
    explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

    HRESULT ParseRoots(std::vector<Root>& roots)
    {
        while (next_ < tokens_.size()) {
            const Token& name = tokens_[next_++];
            Root root;
            for (const RootName& known : kRootNames) {
                if (name.Is(known.shortName) || name.Is(known.longName))
                    root.handle = known.handle;
            }
            if (!root.handle || !Take("{"))
                return kBadFormat;
            const HRESULT hr = ParseKeys(root.keys, nullptr);
            if (FAILED(hr))
                return hr;
            roots.push_back(std::move(root));
        }
        return S_OK;
    }

private:
    // Reads entries up to and including the closing brace. values is null at
    // the top of a root, where no values may stand.
    HRESULT ParseKeys(std::vector<Key>& keys, std::vector<Value>* values)
    {
        while (true) {
            if (next_ == tokens_.size())
                return kBadFormat;
            if (Take("}"))
                return S_OK;
            const HRESULT hr = Take("val") ? ParseNamedValue(values) : ParseKey(keys);
            if (FAILED(hr))
                return hr;
        }
    }

    HRESULT ParseNamedValue(std::vector<Value>* values)
    {
        if (!values || next_ == tokens_.size() || IsPunctuation(tokens_[next_]))
            return kBadFormat;
        Value value;
        value.name = tokens_[next_++].text;
        if (value.name.empty() || !Take("="))
            return kBadFormat;
        const HRESULT hr = ParseValueData(value);
        if (FAILED(hr))
            return hr;
        values->push_back(std::move(value));
        return S_OK;
    }

    HRESULT ParseKey(std::vector<Key>& keys)
    {
        Key key;
        if (Take("NoRemove"))
            key.mark = Mark::NoRemove;
        else if (Take("ForceRemove"))
            key.mark = Mark::ForceRemove;
        if (next_ == tokens_.size() || IsPunctuation(tokens_[next_]) || tokens_[next_].Is("Delete"))
            return kBadFormat;
        key.name = tokens_[next_++].text;
        if (key.name.empty())
            return kBadFormat;
        if (Take("=")) {
            Value value;
            const HRESULT hr = ParseValueData(value);
            if (FAILED(hr))
                return hr;
            key.values.push_back(std::move(value));
        }
        if (Take("{")) {
            const HRESULT hr = ParseKeys(key.subkeys, &key.values);
            if (FAILED(hr))
                return hr;
        }
        keys.push_back(std::move(key));
        return S_OK;
    }

    // The type letter and the data after "=".
    HRESULT ParseValueData(Value& value)
    {
        if (next_ + 1 >= tokens_.size())
            return kBadFormat;
        const Token& type = tokens_[next_++];
        const Token& data = tokens_[next_++];
        if (IsPunctuation(data))
            return kBadFormat;
        if (type.Is("s")) {
            value.type = REG_SZ;
            value.text = data.text;
            return S_OK;
        }
        if (type.Is("d")) {
            char* end = nullptr;
            const bool hex = data.text.size() > 2 && data.text[0] == '0' &&
                             (data.text[1] == 'x' || data.text[1] == 'X');
            const unsigned long number = std::strtoul(data.text.c_str(), &end, hex ? 16 : 10);
            if (data.text.empty() || *end != '\0' || data.text[0] == '-')
                return kBadFormat;
            value.type = REG_DWORD;
            value.number = static_cast<DWORD>(number);
            return S_OK;
        }
        return kBadFormat;
    }

    bool Take(const char* word)
    {
        if (next_ < tokens_.size() && tokens_[next_].Is(word)) {
            ++next_;
            return true;
        }
        return false;
    }

    static bool IsPunctuation(const Token& token)
    {
        return token.Is("{") || token.Is("}") || token.Is("=");
    }

    const std::vector<Token>& tokens_;
    size_t next_ = 0;
};

HRESULT RegistrarScript::Parse(const std::string& text, const Replacements& replacements,
                               RegistrarScript& script)
{
    script.roots_.clear();
    try {
        std::vector<Token> tokens;
        HRESULT hr = Lexer(text, replacements).Run(tokens);
        std::vector<Root> roots;
        if (SUCCEEDED(hr))
            hr = Parser(tokens).ParseRoots(roots);
        if (SUCCEEDED(hr))
            script.roots_ = std::move(roots);
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT RegistrarScript::Install() const
{
    const HRESULT hr = Write();
    if (FAILED(hr))
        Remove();
    return hr;
}

HRESULT RegistrarScript::Write() const
{
    for (const Root& root : roots_) {
        for (const Key& key : root.keys) {
            const HRESULT hr = InstallKey(root.handle, key);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

HRESULT RegistrarScript::Remove() const
{
    return RemoveKeys(nullptr);
}

HRESULT RegistrarScript::RemoveWithin(const char* name) const
{
    return RemoveKeys(name);
}

HRESULT RegistrarScript::RemoveKeys(const char* onlyName) const
{
    HRESULT first = S_OK;
    for (const Root& root : roots_) {
        for (const Key& key : root.keys) {
            if (onlyName && !SameWord(key.name, onlyName))
                continue;
            const HRESULT hr = RemoveKey(root.handle, key);
            if (SUCCEEDED(first))
                first = hr;
        }
    }
    return first;
}

HRESULT RegistrarScript::InstallKey(HKEY parent, const Key& key)
{
    if (key.mark == Mark::ForceRemove) {
        RegistryKey old;
        if (old.Open(parent, key.name, KEY_ALL_ACCESS) && !old.Delete(true))
            return FromWin32(old.LastError());
    }

    RegistryKey written;
    if (!written.Create(parent, key.name))
        return FromWin32(written.LastError());
    for (const Value& value : key.values) {
        const bool ok = value.type == REG_DWORD
                            ? written.SetDword(value.name.c_str(), value.number)
                            : written.SetString(value.name.c_str(), value.text);
        if (!ok)
            return FromWin32(written.LastError());
    }
    for (const Key& subkey : key.subkeys) {
        const HRESULT hr = InstallKey(written.Handle(), subkey);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT RegistrarScript::RemoveKey(HKEY parent, const Key& key)
{
    RegistryKey existing;
    if (!existing.Open(parent, key.name, KEY_ALL_ACCESS))
        return IsGone(existing.LastError()) ? S_OK : FromWin32(existing.LastError());

    if (key.mark != Mark::NoRemove) {
        if (existing.Delete(true) || IsGone(existing.LastError()))
            return S_OK;
        return FromWin32(existing.LastError());
    }

    // A kept key: only what the script put into it goes.
    HRESULT first = S_OK;
    for (const Value& value : key.values) {
        if (value.name.empty())
            continue;
        if (!existing.DeleteValue(value.name.c_str()) && !IsGone(existing.LastError()) &&
            SUCCEEDED(first))
            first = FromWin32(existing.LastError());
    }
    for (const Key& subkey : key.subkeys) {
        const HRESULT hr = RemoveKey(existing.Handle(), subkey);
        if (SUCCEEDED(first))
            first = hr;
    }
    return first;
}
