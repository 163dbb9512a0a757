#pragma once
// Reads one flat JSON object (string, number, true, false and null values) into a map of names to
// values; strings are unescaped. Enough to check the console's result object; false on anything
// else, so that a malformed object fails the test.
#include <cctype>
#include <map>
#include <string>

struct JsonValue {
    enum Kind { String, Number, Bool, Null } kind;
    std::string text;  // the string, the number as written, "true" or "false"
};

class FlatJsonReader {
  public:
    explicit FlatJsonReader(const std::string& text) : s_(text) {}

    bool Read(std::map<std::string, JsonValue>* object) {
        Space();
        if (!Take('{'))
            return false;
        Space();
        if (Take('}'))
            return End();
        for (;;) {
            std::string name;
            JsonValue value;
            Space();
            if (!ReadString(&name))
                return false;
            Space();
            if (!Take(':'))
                return false;
            Space();
            if (!ReadValue(&value))
                return false;
            if (object->count(name))
                return false;
            (*object)[name] = value;
            Space();
            if (Take('}'))
                return End();
            if (!Take(','))
                return false;
        }
    }

  private:
    bool End() {
        Space();
        return i_ == s_.size();
    }
    void Space() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_])))
            ++i_;
    }
    bool Take(char c) {
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        std::string w = word;
        if (s_.compare(i_, w.size(), w) != 0)
            return false;
        i_ += w.size();
        return true;
    }
    bool ReadString(std::string* text) {
        if (!Take('"'))
            return false;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                *text += c;
                continue;
            }
            if (i_ >= s_.size())
                return false;
            char e = s_[i_++];
            if (e == 'u') {
                if (i_ + 4 > s_.size())
                    return false;
                *text += static_cast<char>(std::stoi(s_.substr(i_, 4), nullptr, 16));
                i_ += 4;
            } else if (e == 'n') {
                *text += '\n';
            } else if (e == '"' || e == '\\' || e == '/') {
                *text += e;
            } else {
                return false;
            }
        }
        return Take('"');
    }
    bool ReadValue(JsonValue* value) {
        if (i_ < s_.size() && s_[i_] == '"') {
            value->kind = JsonValue::String;
            return ReadString(&value->text);
        }
        if (Word("true")) {
            *value = {JsonValue::Bool, "true"};
            return true;
        }
        if (Word("false")) {
            *value = {JsonValue::Bool, "false"};
            return true;
        }
        if (Word("null")) {
            *value = {JsonValue::Null, ""};
            return true;
        }
        size_t start = i_;
        Take('-');
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
            ++i_;
        if (i_ == start || (i_ == start + 1 && s_[start] == '-'))
            return false;
        *value = {JsonValue::Number, s_.substr(start, i_ - start)};
        return true;
    }

    const std::string& s_;
    size_t i_ = 0;
};

inline bool ParseFlatJson(const std::string& text, std::map<std::string, JsonValue>* object) {
    return FlatJsonReader(text).Read(object);
}
