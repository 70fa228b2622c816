#include "support/gdi_dump.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace vorlax::testing {

namespace {

std::optional<long> ToNumber(std::string_view text, int base = 10) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        const std::size_t first = part.find_first_not_of(' ');
        if (first != std::string::npos) parts.push_back(part.substr(first));
    }
    return parts;
}

// Hands out the dump's lines and stops at the first one that is not what the
// format has there, naming the source, the line and what was expected.
class Reader {
  public:
    Reader(std::istream& in, const std::string& source) : in_(in), source_(source) {}

    bool Next(std::string& line) {
        if (!std::getline(in_, line)) return false;
        ++lineNo_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    std::string Line(const std::string& what) {
        std::string line;
        Require(Next(line), what);
        return line;
    }
    void Require(bool ok, const std::string& what) const {
        if (!ok) throw GdiDumpError(source_ + ":" + std::to_string(lineNo_) + ": expected " + what);
    }
    int Number(const std::string& text, const std::string& what, int base = 10) const {
        const auto n = ToNumber(text, base);
        Require(n && *n >= INT32_MIN && *n <= INT32_MAX, what);
        return static_cast<int>(*n);
    }
    int LineNo() const { return lineNo_; }

  private:
    std::istream& in_;
    std::string source_;
    int lineNo_ = 0;
};

// "Name(a,b,c)" or "Name(a,b,c) ret=N".
GdiCall ParseCall(const std::string& text, const Reader& r) {
    const std::size_t open = text.find('('), close = text.find(')');
    r.Require(open != std::string::npos && open > 0 && close != std::string::npos && open < close,
              "a call NAME(ARGS) [ret=N], not \"" + text + "\"");
    GdiCall call{text.substr(0, open), Split(text.substr(open + 1, close - open - 1), ','), {}};
    const std::vector<std::string> rest = Split(text.substr(close + 1), ' ');
    if (!rest.empty()) {
        r.Require(rest.size() == 1 && rest[0].starts_with("ret="), "ret=N after " + call.name);
        call.ret = r.Number(rest[0].substr(4), "a whole number after ret=");
    }
    return call;
}

GdiCase ParseCase(Reader& r, const std::string& header, const GdiDump& before) {
    GdiCase c;
    c.line = r.LineNo();
    const auto head = Split(header, ' ');
    r.Require(head.size() == 4, "case NAME WIDTH HEIGHT");
    c.name = head[1];
    r.Require(!before.Find(c.name), "a new case name, not \"" + c.name + "\" again");
    c.width = r.Number(head[2], "a width");
    c.height = r.Number(head[3], "a height");
    r.Require(c.width > 0 && c.height > 0, "a picture of at least 1 x 1 pixel");

    const std::string call = r.Line("call ...");
    r.Require(call.starts_with("call "), "call ...");
    c.callText = call.substr(5);
    if (c.callText != "none")
        for (const std::string& one : Split(c.callText, ';')) c.calls.push_back(ParseCall(one, r));

    const std::string changedShape = "changed N [bbox L T R B]";
    const auto changed = Split(r.Line(changedShape), ' ');
    r.Require(changed.size() >= 2 && changed[0] == "changed", changedShape);
    c.changed = r.Number(changed[1], changedShape);
    if (changed.size() > 2) {
        r.Require(changed.size() == 7 && changed[2] == "bbox", changedShape);
        c.bbox = GdiBox{r.Number(changed[3], changedShape), r.Number(changed[4], changedShape),
                        r.Number(changed[5], changedShape), r.Number(changed[6], changedShape)};
    }

    const std::string legendShape = "legend C=BBGGRR ...";
    const auto legend = Split(r.Line(legendShape), ' ');
    r.Require(!legend.empty() && legend[0] == "legend", legendShape);
    for (std::size_t i = 1; i < legend.size(); ++i) {
        r.Require(legend[i].size() == 8 && legend[i][1] == '=', legendShape);
        c.legend[legend[i][0]] = r.Number(legend[i].substr(2), legendShape, 16);
    }

    const std::string rowShape = std::to_string(c.width) + " legend characters";
    for (int y = 0; y < c.height; ++y) {
        std::string row = r.Line("picture row " + std::to_string(y) + " of " + c.name);
        r.Require(static_cast<int>(row.size()) == c.width, rowShape);
        for (char ch : row) r.Require(c.legend.count(ch) > 0, rowShape);
        c.rows.push_back(std::move(row));
    }
    return c;
}

}  // namespace

int GdiCall::IntArg(std::size_t i) const {
    const auto n = i < args.size() ? ToNumber(args[i]) : std::nullopt;
    if (!n || *n < INT32_MIN || *n > INT32_MAX)
        throw GdiDumpError(name + ": argument " + std::to_string(i) + " is not a whole number");
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
        r.Require(line.starts_with("case "), "a case or a # comment");
        dump.cases.push_back(ParseCase(r, line, dump));
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
