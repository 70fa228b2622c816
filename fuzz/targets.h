// The fuzz targets' bodies: one input each of the readers that take
// files a player may have edited, copied or damaged. libFuzzer drives them
// (`make fuzz`); the corpus it kept, in tests/data/fuzz/, is replayed through
// them by an ordinary test in every `make test`. Each aborts when a promise
// of its reader is broken; a crash, a hang or a sanitizer report is a fault.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorlax::fuzz {

// The bytes as the content of Hiscore.txt. When they read as a table, the
// table written back must read back as the same table (each double quote in
// a name an apostrophe, each line end a blank), in exactly ten CR LF lines.
void HighScoreInput(const std::uint8_t* data, std::size_t size);

// The first byte chooses one of the sizes the game loads bitmaps at (the
// ship, the carrier, an enemy type, a key picture); the rest is the file.
// It either reads as a picture of exactly that size or is refused with a
// reason; nothing else may happen.
void BitmapInput(const std::uint8_t* data, std::size_t size);

// The bytes as a replay file. It is read or refused with a reason; a replay
// read (its checksum forgiven) is written again record for record and reads
// back the same.
void ReplayInput(const std::uint8_t* data, std::size_t size);

}  // namespace vorlax::fuzz
