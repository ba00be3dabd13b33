// Offsets and constants of the regf hive format that our own code reads or writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hw::store::hive::regf {

inline constexpr std::size_t kBaseBlockSize = 0x1000;
inline constexpr std::size_t kBinSize = 0x1000;
inline constexpr std::size_t kBinHeaderSize = 0x20;

// Base block fields.
inline constexpr std::size_t kPrimarySequence = 0x04;
inline constexpr std::size_t kSecondarySequence = 0x08;
inline constexpr std::size_t kTimestamp = 0x0C;
inline constexpr std::size_t kMajorVersion = 0x14;
inline constexpr std::size_t kMinorVersion = 0x18;
inline constexpr std::size_t kFileFormat = 0x20;
inline constexpr std::size_t kRootCell = 0x24;
inline constexpr std::size_t kBinsSize = 0x28;
inline constexpr std::size_t kClustering = 0x2C;
inline constexpr std::size_t kChecksum = 0x1FC;

inline std::uint32_t Read32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

inline void Write32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void Write16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void Write64(std::string& bytes, std::size_t at, std::uint64_t value) {
    Write32(bytes, at, static_cast<std::uint32_t>(value));
    Write32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

// The XOR of the base block's first 127 double words, never 0 or all ones.
inline std::uint32_t Checksum(std::string_view baseBlock) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < kChecksum; at += 4)
        sum ^= Read32(baseBlock, at);
    if (sum == 0) return 1;
    if (sum == 0xFFFFFFFF) return 0xFFFFFFFE;
    return sum;
}

// Now as a Windows file time (100 ns steps since 1601).
std::uint64_t NowFileTime();

} // namespace hw::store::hive::regf
