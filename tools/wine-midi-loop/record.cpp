#include "record.h"

#include <cstring>

namespace wineloop {

bool RecordReader::next(Record& record) {
    RecordHeader header;
    if (m_bytes.size() - m_at < sizeof header)
        return false;
    std::memcpy(&header, m_bytes.data() + m_at, sizeof header);
    const bool known = header.kind == RecordKind::Short ? header.size == sizeof(std::uint32_t)
                       : header.kind == RecordKind::LongPart || header.kind == RecordKind::LongEnd
                           ? header.size > 0 && header.size <= kMaxChunk
                           : false;
    if (!known || m_bytes.size() - m_at - sizeof header < header.size) {
        m_at = m_bytes.size();
        return false;
    }
    record = Record{header.kind, header.time, m_bytes.data() + m_at + sizeof header, header.size};
    m_at += sizeof header + header.size;
    return true;
}

} // namespace wineloop
