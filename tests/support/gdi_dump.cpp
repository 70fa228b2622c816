#include "support/gdi_dump.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace vorlax::testing {

namespace {

// Largest picture side accepted; the dumps are small, so anything bigger is
// a corrupt header rather than a picture.
constexpr int kMaxSide = 4096;

std::optional<long> ToNumber(std::string_view text, int base = 10) {
    long value = 0;
    if (text.empty()) return std::nullopt;
    const char* first = text.data();
    if (base == 10 && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> SplitWords(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

class Reader {
  public:
    Reader(std::istream& in, const std::string& source) : in_(in), source_(source) {}

    bool Next(std::string& line) {
        if (!std::getline(in_, line)) return false;
        ++lineNo_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    std::string Expect(std::string_view what) {
        std::string line;
        if (!Next(line)) Fail("unexpected end of file, expected " + std::string(what));
        return line;
    }
    [[noreturn]] void Fail(const std::string& message) const { FailAt(lineNo_, message); }
    [[noreturn]] void FailAt(int line, const std::string& message) const {
        throw GdiDumpError(source_ + ":" + std::to_string(line) + ": " + message);
    }
    int LineNo() const { return lineNo_; }

  private:
    std::istream& in_;
    std::string source_;
    int lineNo_ = 0;
};

// "Name(a,b,c) ret=1; Name2(...) ret=1"
std::vector<GdiCall> ParseCalls(std::string_view text, const Reader& r) {
    std::vector<GdiCall> calls;
    if (text == "none") return calls;
    std::size_t pos = 0;
    auto skipSpaces = [&] {
        while (pos < text.size() && text[pos] == ' ') ++pos;
    };
    while (true) {
        skipSpaces();
        GdiCall call;
        const std::size_t nameStart = pos;
        while (pos < text.size() &&
               (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_'))
            ++pos;
        call.name = std::string(text.substr(nameStart, pos - nameStart));
        if (call.name.empty() || pos >= text.size() || text[pos] != '(')
            r.Fail("malformed call \"" + std::string(text) + "\"");
        const std::size_t close = text.find(')', pos);
        if (close == std::string_view::npos) r.Fail("missing ')' in call " + call.name);
        std::string_view argText = text.substr(pos + 1, close - pos - 1);
        while (!argText.empty()) {
            const std::size_t comma = argText.find(',');
            std::string_view arg = argText.substr(0, comma);
            while (!arg.empty() && arg.front() == ' ') arg.remove_prefix(1);
            while (!arg.empty() && arg.back() == ' ') arg.remove_suffix(1);
            if (arg.empty()) r.Fail("empty argument in call " + call.name);
            call.args.emplace_back(arg);
            if (comma == std::string_view::npos) break;
            argText.remove_prefix(comma + 1);
            if (argText.empty()) r.Fail("empty argument in call " + call.name);
        }
        pos = close + 1;
        skipSpaces();
        if (text.substr(pos, 4) == "ret=") {
            pos += 4;
            const std::size_t end = std::min(text.find(';', pos), text.size());
            std::string_view number = text.substr(pos, end - pos);
            while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
            call.ret = ToNumber(number);
            if (!call.ret) r.Fail("bad return value in call " + call.name);
            pos = end;
        }
        calls.push_back(std::move(call));
        skipSpaces();
        if (pos >= text.size()) break;
        if (text[pos] != ';') r.Fail("expected ';' between calls");
        ++pos;
    }
    return calls;
}

GdiCase ParseCase(Reader& r, const std::string& header) {
    GdiCase c;
    c.line = r.LineNo();
    const auto head = SplitWords(header);
    std::optional<long> w, h;
    if (head.size() == 4) {
        w = ToNumber(head[2]);
        h = ToNumber(head[3]);
    }
    if (!w || !h || *w <= 0 || *h <= 0 || *w > kMaxSide || *h > kMaxSide)
        r.Fail("expected \"case NAME WIDTH HEIGHT\" with sizes 1.." + std::to_string(kMaxSide));
    c.name = head[1];
    c.width = static_cast<int>(*w);
    c.height = static_cast<int>(*h);

    const std::string call = r.Expect("a call line");
    if (call.rfind("call ", 0) != 0) r.Fail("expected \"call ...\"");
    c.callText = call.substr(5);
    c.calls = ParseCalls(c.callText, r);

    const auto changed = SplitWords(r.Expect("a changed line"));
    std::optional<long> count;
    if (changed.size() >= 2 && changed[0] == "changed") count = ToNumber(changed[1]);
    if (!count || *count < 0) r.Fail("expected \"changed N [bbox l t r b]\"");
    c.changed = static_cast<int>(*count);
    if (changed.size() == 7 && changed[2] == "bbox") {
        int v[4];
        for (int i = 0; i < 4; ++i) {
            const auto n = ToNumber(changed[3 + i]);
            if (!n) r.Fail("bad bbox number \"" + changed[3 + i] + "\"");
            v[i] = static_cast<int>(*n);
        }
        c.bbox = GdiBox{v[0], v[1], v[2], v[3]};
    } else if (changed.size() != 2) {
        r.Fail("expected \"changed N [bbox l t r b]\"");
    }

    const auto legend = SplitWords(r.Expect("a legend line"));
    if (legend.empty() || legend[0] != "legend") r.Fail("expected \"legend c=BBGGRR ...\"");
    for (std::size_t i = 1; i < legend.size(); ++i) {
        const std::string& entry = legend[i];
        const auto colour = entry.size() == 8 && entry[1] == '='
                                ? ToNumber(std::string_view(entry).substr(2), 16)
                                : std::nullopt;
        if (!colour) r.Fail("bad legend entry \"" + entry + "\"");
        if (!c.legend.emplace(entry[0], static_cast<Colour>(*colour)).second)
            r.Fail(std::string("legend character '") + entry[0] + "' given twice");
    }

    for (int y = 0; y < c.height; ++y) {
        std::string row = r.Expect("picture row " + std::to_string(y));
        if (static_cast<int>(row.size()) != c.width)
            r.Fail("row " + std::to_string(y) + " has " + std::to_string(row.size()) +
                   " characters, expected " + std::to_string(c.width));
        for (char ch : row)
            if (!c.legend.count(ch))
                r.Fail(std::string("character '") + ch + "' is not in the legend");
        c.rows.push_back(std::move(row));
    }
    return c;
}

}  // namespace

int GdiCall::IntArg(std::size_t i) const {
    if (i >= args.size()) throw GdiDumpError(name + ": argument " + std::to_string(i) + " missing");
    const auto n = ToNumber(args[i]);
    if (!n || *n < INT32_MIN || *n > INT32_MAX)
        throw GdiDumpError(name + ": argument \"" + args[i] + "\" is not a whole number");
    return static_cast<int>(*n);
}

Surface GdiCase::ToSurface() const {
    Surface s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) s.SetPixel(x, y, At(x, y));
    return s;
}

const GdiCase* GdiDump::Find(std::string_view name) const {
    for (const GdiCase& c : cases)
        if (c.name == name) return &c;
    return nullptr;
}

GdiDump ParseGdiDump(std::istream& in, const std::string& source) {
    Reader r(in, source);
    GdiDump dump;
    for (std::string line; r.Next(line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("case ", 0) != 0) r.Fail("expected a case or a comment");
        GdiCase c = ParseCase(r, line);
        if (dump.Find(c.name)) r.FailAt(c.line, "case \"" + c.name + "\" given twice");
        dump.cases.push_back(std::move(c));
    }
    return dump;
}

GdiDump LoadGdiDump(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw GdiDumpError(path + ": cannot open the file");
    return ParseGdiDump(in, path);
}

std::optional<PixelDifference> FirstDifference(const GdiCase& expected, const Surface& actual) {
    if (actual.Width() != expected.width || actual.Height() != expected.height)
        return PixelDifference{-1, -1, 0, 0};
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (actual.Pixel(x, y) != expected.At(x, y))
                return PixelDifference{x, y, expected.At(x, y), actual.Pixel(x, y)};
    return std::nullopt;
}

std::string RenderWithLegend(const Surface& s, const std::map<char, Colour>& legend) {
    std::string out;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            char ch = '?';
            for (const auto& [key, colour] : legend)
                if (colour == s.Pixel(x, y)) ch = key;
            out += ch;
        }
        out += '\n';
    }
    return out;
}

}  // namespace vorlax::testing
