#pragma once
// A small JSON reader for tests: enough to read the stand-in servers' state files.
//   Json_Value state = Json_Value::Parse(text);
//   state["workbooks"][0]["sheets"][0]["cells"]["A1"]["value"].Text()
// A missing member or index reads as null, so chains never throw.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Json_Value {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    static Json_Value Parse(std::string_view utf8) {
        std::size_t at = 0;
        Json_Value v = Parse_Value(utf8, at);
        return v;
    }

    Kind Type() const { return kind_; }
    bool Is_Null() const { return kind_ == Kind::Null; }
    // Strings and numbers as their text (UTF-8 decoded to UTF-16); "" for anything else.
    std::wstring Text() const { return text_; }
    double Number() const { return kind_ == Kind::Number ? std::stod(std::string(text_.begin(), text_.end())) : 0; }
    bool Bool() const { return kind_ == Kind::Bool && text_ == L"true"; }
    std::size_t Size() const { return kind_ == Kind::Array ? items_.size() : members_.size(); }

    const Json_Value& operator[](std::size_t i) const { return i < items_.size() ? items_[i] : Null(); }
    const Json_Value& operator[](const std::string& key) const {
        const auto it = members_.find(key);
        return it == members_.end() ? Null() : it->second;
    }
    const std::map<std::string, Json_Value>& Members() const { return members_; }
    const std::vector<Json_Value>& Items() const { return items_; }

private:
    static const Json_Value& Null() {
        static const Json_Value null;
        return null;
    }
    static void Skip_Space(std::string_view s, std::size_t& at) {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\r' || s[at] == '\t')) ++at;
    }
    static void Append_Utf16(std::wstring& out, unsigned code) {
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(code));
        }
    }
    static std::string Parse_Raw_String(std::string_view s, std::size_t& at, std::wstring* wide) {
        std::string raw;
        ++at;  // opening quote
        while (at < s.size() && s[at] != '"') {
            unsigned char c = static_cast<unsigned char>(s[at]);
            if (c == '\\' && at + 1 < s.size()) {
                const char e = s[++at];
                unsigned code = static_cast<unsigned char>(e);
                if (e == 'n')
                    code = '\n';
                else if (e == 'r')
                    code = '\r';
                else if (e == 't')
                    code = '\t';
                else if (e == 'b')
                    code = '\b';
                else if (e == 'f')
                    code = '\f';
                else if (e == 'u' && at + 4 < s.size()) {
                    code = static_cast<unsigned>(std::stoul(std::string(s.substr(at + 1, 4)), nullptr, 16));
                    at += 4;
                }
                raw.push_back(static_cast<char>(code < 128 ? code : '?'));
                if (wide) wide->push_back(static_cast<wchar_t>(code));
                ++at;
                continue;
            }
            // UTF-8 sequence
            unsigned code = c;
            int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
            if (extra) code = c & (0x3F >> extra);
            raw.push_back(static_cast<char>(c));
            ++at;
            for (int i = 0; i < extra && at < s.size(); ++i, ++at) {
                code = (code << 6) | (static_cast<unsigned char>(s[at]) & 0x3F);
                raw.push_back(s[at]);
            }
            if (wide) Append_Utf16(*wide, code);
        }
        ++at;  // closing quote
        return raw;
    }
    static Json_Value Parse_Value(std::string_view s, std::size_t& at) {
        Skip_Space(s, at);
        Json_Value v;
        if (at >= s.size()) return v;
        const char c = s[at];
        if (c == '{') {
            v.kind_ = Kind::Object;
            ++at;
            while (true) {
                Skip_Space(s, at);
                if (at >= s.size() || s[at] == '}') break;
                if (s[at] == ',') {
                    ++at;
                    continue;
                }
                const std::string key = Parse_Raw_String(s, at, nullptr);
                Skip_Space(s, at);
                if (at < s.size() && s[at] == ':') ++at;
                v.members_[key] = Parse_Value(s, at);
            }
            ++at;
        } else if (c == '[') {
            v.kind_ = Kind::Array;
            ++at;
            while (true) {
                Skip_Space(s, at);
                if (at >= s.size() || s[at] == ']') break;
                if (s[at] == ',') {
                    ++at;
                    continue;
                }
                v.items_.push_back(Parse_Value(s, at));
            }
            ++at;
        } else if (c == '"') {
            v.kind_ = Kind::String;
            Parse_Raw_String(s, at, &v.text_);
        } else {
            const std::size_t start = at;
            while (at < s.size() && s[at] != ',' && s[at] != '}' && s[at] != ']' && s[at] != ' ' && s[at] != '\n' &&
                   s[at] != '\r')
                ++at;
            const std::string word(s.substr(start, at - start));
            v.text_.assign(word.begin(), word.end());
            v.kind_ = word == "null" ? Kind::Null : (word == "true" || word == "false") ? Kind::Bool : Kind::Number;
        }
        return v;
    }

    Kind kind_ = Kind::Null;
    std::wstring text_;
    std::vector<Json_Value> items_;
    std::map<std::string, Json_Value> members_;
};
