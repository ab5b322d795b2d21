#pragma once
// The readers of outside input, each fed arbitrary bytes: by libFuzzer in
// build-fuzz/ (`make fuzz`), and by the regression test, which replays
// every input in tests/data/fuzz/<target>/ in the ordinary and sanitizer
// builds.  Each aborts on a broken promise (a NaN where none may be).

#include <cstddef>
#include <cstdint>

namespace corvane::fuzz {

int PanelFile(const std::uint8_t* data, std::size_t size);
int DataLines(const std::uint8_t* data, std::size_t size);
int EntryNumber(const std::uint8_t* data, std::size_t size);
int Fittings(const std::uint8_t* data, std::size_t size);
int Cli(const std::uint8_t* data, std::size_t size);
int BackupMerge(const std::uint8_t* data, std::size_t size);
int DataRewrite(const std::uint8_t* data, std::size_t size);
int DataCommands(const std::uint8_t* data, std::size_t size);
int RunFile(const std::uint8_t* data, std::size_t size);

}  // namespace corvane::fuzz
