#include "platform/replay_file.h"

#include <algorithm>
#include <cstring>

namespace vorlax::replay {
namespace {

using Why = ReplayError::Why;

constexpr std::uint8_t kLongTick = 0x80, kYield = 0x81, kIdle = 0x82, kHeld = 0x83,
                       kReleased = 0x84, kKeyDown = 0x85, kText = 0x86, kClose = 0x87, kQuit = 0x88,
                       kFormName = 0x89, kEnd = 0xFF;
// The common runs in one byte each: a yield whose idle task reads the clock
// at once; the idle task reading the clock 0..31 ms on; 2..17 readings that
// find the clock where it was.
constexpr std::uint8_t kYieldIdleTick = 0x8A, kIdleTick = 0xA0, kIdleTickLast = 0xBF,
                       kSameTicks = 0x90, kSameTicksLast = 0x9F;

// FNV-1a, 64 bits: enough to tell a damaged file, cheap enough to keep up.
constexpr std::uint64_t kHashStart = 14695981039346656037ull;
std::uint64_t Hash(std::uint64_t h, std::uint8_t b) {
    return (h ^ b) * 1099511628211ull;
}

class Reader {
  public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ == bytes_.size(); }
    std::size_t At() const { return at_; }
    std::uint8_t Byte() {
        if (AtEnd()) throw ReplayError(Why::CutShort, "the replay is cut short");
        return static_cast<std::uint8_t>(bytes_[at_++]);
    }
    std::uint64_t Number() {
        std::uint64_t n = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t b = Byte();
            n |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) return n;
        }
        throw ReplayError(Why::Damaged, Where() + "a number runs on");
    }
    std::string Bytes() {
        const std::uint64_t size = Number();
        if (size > kMaxTextBytes) throw ReplayError(Why::Damaged, Where() + "a text is too long");
        if (size > bytes_.size() - at_) throw ReplayError(Why::CutShort, "the replay is cut short");
        std::string s = bytes_.substr(at_, size);
        at_ += size;
        return s;
    }
    std::string Where() const {
        return "the replay is damaged at byte " + std::to_string(at_) + ": ";
    }

  private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

Replay Parse(const std::string& bytes, bool sealed) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        throw ReplayError(Why::NotAReplay, "not a VORLAX replay");
    Reader in(bytes);
    for (std::size_t i = 0; i < sizeof kMagic; ++i) in.Byte();
    if (const std::uint64_t version = in.Number(); version != kVersion)
        throw ReplayError(Why::OtherVersion, "a replay of format " + std::to_string(version) +
                                                 ", from another version of VORLAX (this one plays "
                                                 "format " +
                                                 std::to_string(kVersion) + ")");
    Replay replay;
    switch (in.Byte()) {
        case 0:
            break;
        case 1:
            replay.table = in.Bytes();
            break;
        default:
            throw ReplayError(Why::Damaged, in.Where() + "no table flag");
    }
    std::uint32_t tick = 0;
    auto form = [&] {
        const std::uint8_t f = in.Byte();
        if (f >= replay.forms.size())
            throw ReplayError(Why::Damaged, in.Where() + "unknown window");
        return f;
    };
    for (;;) {
        const std::size_t start = in.At();
        const std::uint8_t op = in.Byte();
        Record r;
        auto add = [&](Kind kind, int times = 1) {
            for (int n = 0; n < times; ++n) replay.records.push_back({kind, 0, false, 0, tick});
        };
        if (op == kYieldIdleTick) {
            add(Kind::Yield);
            add(Kind::Idle);
            add(Kind::Tick);
            continue;
        }
        if (op >= kIdleTick && op <= kIdleTickLast) {
            add(Kind::Idle);
            tick += op - kIdleTick;
            add(Kind::Tick);
            continue;
        }
        if (op >= kSameTicks && op <= kSameTicksLast) {
            add(Kind::Tick, op - kSameTicks + 2);
            continue;
        }
        if (op <= kLongTick) {
            std::uint32_t delta = op;
            if (op == kLongTick) {
                const std::uint64_t z = in.Number();
                if (z > 0xFFFFFFFFu) throw ReplayError(Why::Damaged, in.Where() + "clock step");
                delta =
                    static_cast<std::uint32_t>(z >> 1) ^ (0u - static_cast<std::uint32_t>(z & 1));
            }
            tick += delta;
            r.value = tick;
        } else if (op == kHeld || op == kReleased) {
            r.kind = Kind::Key;
            r.held = op == kHeld;
            r.vk = in.Byte();
        } else if (op == kYield || op == kIdle || op == kQuit) {
            r.kind = op == kYield ? Kind::Yield : op == kIdle ? Kind::Idle : Kind::Quit;
        } else if (op == kKeyDown) {
            r.kind = Kind::KeyDown;
            r.form = form();
            r.vk = in.Byte();
        } else if (op == kText) {
            r.kind = Kind::Text;
            r.form = form();
            r.value = static_cast<std::uint32_t>(replay.texts.size());
            replay.texts.push_back(in.Bytes());
        } else if (op == kClose) {
            r.kind = Kind::Close;
            r.form = form();
        } else if (op == kFormName) {
            if (replay.forms.size() >= kMaxForms)
                throw ReplayError(Why::Damaged, in.Where() + "too many windows");
            replay.forms.push_back(in.Bytes());
            continue;
        } else if (op == kEnd) {
            std::uint64_t hash = kHashStart;
            for (std::size_t i = 0; i < start; ++i)
                hash = Hash(hash, static_cast<std::uint8_t>(bytes[i]));
            const std::uint64_t count = in.Number();
            std::uint64_t stored = 0;
            for (int i = 0; i < 8; ++i) stored |= static_cast<std::uint64_t>(in.Byte()) << (8 * i);
            if (sealed && (count != replay.records.size() || stored != hash || !in.AtEnd()))
                throw ReplayError(Why::Damaged,
                                  "the replay is damaged: its checksum does not match");
            return replay;
        } else {
            throw ReplayError(Why::Damaged, in.Where() + "unknown record");
        }
        replay.records.push_back(r);
    }
}

Writer::Writer(std::FILE* file, const std::optional<std::string>& table)
    : file_(file), hash_(kHashStart) {
    for (char c : kMagic) Byte(static_cast<std::uint8_t>(c));
    Number(kVersion);
    Byte(table ? 1 : 0);
    if (table) Bytes(table->substr(0, kMaxTextBytes));
    Flush();
}

void Writer::Byte(std::uint8_t b) {
    buffer_.push_back(static_cast<char>(b));
    hash_ = Hash(hash_, b);
}

void Writer::Number(std::uint64_t n) {
    while (n >= 0x80) {
        Byte(static_cast<std::uint8_t>(n | 0x80));
        n >>= 7;
    }
    Byte(static_cast<std::uint8_t>(n));
}

void Writer::Bytes(const std::string& s) {
    Number(s.size());
    for (char c : s) Byte(static_cast<std::uint8_t>(c));
}

void Writer::Op(std::uint8_t op) {
    Settle();
    Byte(op);
    ++count_;
}

void Writer::Settle() {
    if (yield_) Byte(kYield);
    if (idle_) Byte(kIdle);
    yield_ = idle_ = false;
    for (; sameTicks_ >= 2; sameTicks_ -= std::min(sameTicks_, 17))
        Byte(static_cast<std::uint8_t>(kSameTicks + std::min(sameTicks_, 17) - 2));
    if (sameTicks_ == 1) Byte(0);
    sameTicks_ = 0;
}

void Writer::Yield() {
    if (finished_) return;
    Settle();
    yield_ = true;
    ++count_;
}

void Writer::Idle() {
    if (finished_) return;
    if (idle_ || !yield_) Settle();
    idle_ = true;
    ++count_;
}

void Writer::Tick(std::uint32_t tick) {
    if (finished_) return;
    const std::uint32_t delta = tick - lastTick_;
    lastTick_ = tick;
    if (idle_ && yield_ && delta == 0) {
        yield_ = idle_ = false;
        Byte(kYieldIdleTick);
    } else if (idle_ && !yield_ && delta <= kIdleTickLast - kIdleTick) {
        idle_ = false;
        Byte(static_cast<std::uint8_t>(kIdleTick + delta));
    } else if (delta == 0) {
        if (yield_ || idle_) Settle();
        ++sameTicks_;
    } else if (delta < kLongTick) {
        Settle();
        Byte(static_cast<std::uint8_t>(delta));
    } else {
        Settle();
        Byte(kLongTick);
        // Zigzag: a small step back costs as little as a small step on.
        const auto d = static_cast<std::int32_t>(delta);
        Number(static_cast<std::uint32_t>(d < 0 ? ~(static_cast<std::uint32_t>(d) << 1)
                                                : static_cast<std::uint32_t>(d) << 1));
    }
    ++count_;
}

void Writer::Quit() {
    if (!finished_) Op(kQuit);
}

void Writer::Key(int vk, bool held) {
    if (finished_) return;
    Op(held ? kHeld : kReleased);
    Byte(static_cast<std::uint8_t>(vk));
}

std::optional<std::uint8_t> Writer::FormIndex(const std::string& name) {
    if (finished_) return std::nullopt;
    Settle();
    std::size_t i = 0;
    while (i < forms_.size() && forms_[i] != name) ++i;
    if (i == forms_.size()) {
        if (forms_.size() >= kMaxForms) return std::nullopt;
        forms_.push_back(name);
        Byte(kFormName);
        Bytes(name);
    }
    return static_cast<std::uint8_t>(i);
}

void Writer::KeyDown(const std::string& form, int vk) {
    if (const auto f = FormIndex(form)) {
        Op(kKeyDown);
        Byte(*f);
        Byte(static_cast<std::uint8_t>(vk));
    }
}

void Writer::Text(const std::string& form, const std::string& utf8) {
    if (const auto f = FormIndex(form)) {
        Op(kText);
        Byte(*f);
        Bytes(utf8.substr(0, kMaxTextBytes));
    }
}

void Writer::Close(const std::string& form) {
    if (const auto f = FormIndex(form)) {
        Op(kClose);
        Byte(*f);
    }
}

void Writer::Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
    std::fflush(file_);
}

void Writer::Finish() {
    if (finished_) return;
    Settle();
    const std::uint64_t hash = hash_;
    Byte(kEnd);
    Number(count_);
    for (int i = 0; i < 8; ++i) Byte(static_cast<std::uint8_t>(hash >> (8 * i)));
    finished_ = true;
    Flush();
}

}  // namespace vorlax::replay
