#include "ui/qt/help_contents.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

namespace velloran {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<uint32_t> NumericEntity(std::string_view body) {
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 6) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : hex && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    return value;
}

std::optional<std::string> NamedEntity(std::string_view body) {
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
    for (const auto& [name, text] : kNamed) {
        if (body == name) {
            return std::string(text);
        }
    }
    return std::nullopt;
}

// Replaces character references; anything that is not one stays as it is.
std::string DecodeEntities(std::string_view text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (end != std::string_view::npos) {
            const std::string_view body = text.substr(i + 1, end - i - 1);
            if (!body.empty() && body[0] == '#') {
                if (const auto code = NumericEntity(body)) {
                    AppendUtf8(out, *code);
                    i = end + 1;
                    continue;
                }
            } else if (const auto named = NamedEntity(body)) {
                out += *named;
                i = end + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

// The value of attribute `name` in the inside of a tag, quoted or not.
std::optional<std::string> AttributeOf(std::string_view tag, std::string_view name) {
    const std::string lower = Lower(tag);
    size_t at = 0;
    while ((at = lower.find(name, at)) != std::string::npos) {
        const bool starts = at > 0 && std::isspace(static_cast<unsigned char>(lower[at - 1]));
        size_t next = at + name.size();
        while (next < lower.size() && std::isspace(static_cast<unsigned char>(lower[next]))) {
            ++next;
        }
        if (!starts || next >= lower.size() || lower[next] != '=') {
            at += name.size();
            continue;
        }
        ++next;
        while (next < tag.size() && std::isspace(static_cast<unsigned char>(tag[next]))) {
            ++next;
        }
        if (next < tag.size() && (tag[next] == '"' || tag[next] == '\'')) {
            const size_t close = tag.find(tag[next], next + 1);
            return DecodeEntities(tag.substr(next + 1, close - next - 1));
        }
        const size_t stop = tag.find_first_of(" \t\r\n", next);
        return DecodeEntities(tag.substr(next, stop - next));
    }
    return std::nullopt;
}

std::string TagName(std::string_view tag) {
    const size_t end = tag.find_first_of(" \t\r\n");
    return Lower(tag.substr(0, end));
}

// Reads the tags of a sitemap one at a time.
class SitemapReader {
  public:
    explicit SitemapReader(std::string_view text) : text_(text) {}

    void Read(std::string_view tag) {
        const std::string name = TagName(tag);
        if (name == "ul") {
            ++depth_;
        } else if (name == "/ul") {
            depth_ = std::max(0, depth_ - 1);
        } else if (name == "object") {
            inTopic_ = Lower(AttributeOf(tag, "type").value_or("")) == "text/sitemap";
            current_ = HelpTopic{{}, {}, std::max(0, depth_ - 1)};
        } else if (name == "param" && inTopic_) {
            ReadParam(tag);
        } else if (name == "/object" && inTopic_) {
            inTopic_ = false;
            if (!current_.name.empty()) {
                topics_.push_back(current_);
            }
        }
    }

    std::vector<HelpTopic> Topics() {
        size_t at = 0;
        while ((at = text_.find('<', at)) != std::string_view::npos) {
            if (text_.substr(at, 4) == "<!--") {
                const size_t close = text_.find("-->", at + 4);
                at = close == std::string_view::npos ? text_.size() : close + 3;
                continue;
            }
            const size_t close = text_.find('>', at + 1);
            if (close == std::string_view::npos) {
                break;
            }
            Read(text_.substr(at + 1, close - at - 1));
            at = close + 1;
        }
        return topics_;
    }

  private:
    void ReadParam(std::string_view tag) {
        const std::string param = Lower(AttributeOf(tag, "name").value_or(""));
        const std::string value = AttributeOf(tag, "value").value_or("");
        if (param == "name") {
            current_.name = value;
        } else if (param == "local") {
            current_.local = value;
        }
    }

    std::string_view text_;
    std::vector<HelpTopic> topics_;
    HelpTopic current_;
    int depth_ = 0;
    bool inTopic_ = false;
};

}  // namespace

std::vector<HelpTopic> ParseHelpContents(std::string_view sitemap) {
    return SitemapReader(sitemap).Topics();
}

}  // namespace velloran
