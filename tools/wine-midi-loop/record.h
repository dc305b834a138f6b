// What travels through a reader's queue: a header followed by its payload. A short message carries its
// packed 32-bit form; a long message travels in chunks, the last one marked as the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wineloop {

enum class RecordKind : std::uint16_t { Short = 1, LongPart = 2, LongEnd = 3 };

struct RecordHeader {
    std::uint32_t time; // timeGetTime() when it was sent
    RecordKind kind;
    std::uint16_t size; // payload bytes
};

// A long message is cut into chunks no larger than this, so each fits a queue many times over.
inline constexpr std::uint16_t kMaxChunk = 4096;

struct Record {
    RecordKind kind;
    std::uint32_t time;
    const std::uint8_t* payload;
    std::uint16_t size;
};

// Walks the records drained from a queue; stops at the first one that is malformed or cut short.
class RecordReader {
public:
    explicit RecordReader(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
    bool next(Record& record);

private:
    const std::vector<std::uint8_t>& m_bytes;
    std::size_t m_at = 0;
};

} // namespace wineloop
