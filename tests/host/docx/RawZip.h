#pragma once
// Writes zip archives byte by byte (stored entries only), so tests can build containers a
// normal zip library refuses to write: duplicate names, wrong checksums, data descriptors,
// forced zip64 records.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::docx::testing {

struct RawEntry {
    RawEntry(std::string n, std::string d) : name(std::move(n)), data(std::move(d)) {}
    std::string name;
    std::string data;
    bool dataDescriptor = false;           // sizes and checksum after the data
    std::optional<std::uint32_t> crc;      // a wrong checksum when set
};

inline std::uint32_t Crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

class RawZipWriter {
public:
    explicit RawZipWriter(bool zip64 = false) : zip64_(zip64) {}

    void Add(RawEntry entry) { entries_.push_back(std::move(entry)); }

    std::vector<std::byte> Finish() {
        struct Written { std::uint64_t offset; std::uint32_t crc; };
        std::vector<Written> written;
        for (const RawEntry& e : entries_) {
            const std::uint32_t crc = e.crc.value_or(Crc32(e.data));
            written.push_back({out_.size(), crc});
            const std::uint16_t flags = static_cast<std::uint16_t>((e.dataDescriptor ? 0x0008 : 0) | 0x0800);
            U32(0x04034b50);
            U16(zip64_ ? 45 : 20);
            U16(flags);
            U16(0);  // stored
            U16(0);
            U16(0x21);  // 1980-01-01
            U32(e.dataDescriptor ? 0 : crc);
            const std::uint32_t size32 = zip64_ ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.data.size());
            U32(e.dataDescriptor && !zip64_ ? 0 : size32);
            U32(e.dataDescriptor && !zip64_ ? 0 : size32);
            U16(static_cast<std::uint16_t>(e.name.size()));
            U16(zip64_ ? 20 : 0);
            Bytes(e.name);
            if (zip64_) {
                U16(0x0001);
                U16(16);
                U64(e.dataDescriptor ? 0 : e.data.size());
                U64(e.dataDescriptor ? 0 : e.data.size());
            }
            Bytes(e.data);
            if (e.dataDescriptor) {
                U32(0x08074b50);
                U32(crc);
                if (zip64_) {
                    U64(e.data.size());
                    U64(e.data.size());
                } else {
                    U32(static_cast<std::uint32_t>(e.data.size()));
                    U32(static_cast<std::uint32_t>(e.data.size()));
                }
            }
        }
        const std::uint64_t centralStart = out_.size();
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const RawEntry& e = entries_[i];
            U32(0x02014b50);
            U16(zip64_ ? 45 : 20);
            U16(zip64_ ? 45 : 20);
            U16(static_cast<std::uint16_t>((e.dataDescriptor ? 0x0008 : 0) | 0x0800));
            U16(0);
            U16(0);
            U16(0x21);
            U32(written[i].crc);
            const std::uint32_t size32 = zip64_ ? 0xFFFFFFFFu : static_cast<std::uint32_t>(e.data.size());
            U32(size32);
            U32(size32);
            U16(static_cast<std::uint16_t>(e.name.size()));
            U16(zip64_ ? 28 : 0);
            U16(0);
            U16(0);
            U16(0);
            U32(0);
            U32(zip64_ ? 0xFFFFFFFFu : static_cast<std::uint32_t>(written[i].offset));
            Bytes(e.name);
            if (zip64_) {
                U16(0x0001);
                U16(24);
                U64(e.data.size());
                U64(e.data.size());
                U64(written[i].offset);
            }
        }
        const std::uint64_t centralSize = out_.size() - centralStart;
        if (zip64_) {
            const std::uint64_t record = out_.size();
            U32(0x06064b50);
            U64(44);
            U16(45);
            U16(45);
            U32(0);
            U32(0);
            U64(entries_.size());
            U64(entries_.size());
            U64(centralSize);
            U64(centralStart);
            U32(0x07064b50);
            U32(0);
            U64(record);
            U32(1);
        }
        U32(0x06054b50);
        U16(0);
        U16(0);
        U16(zip64_ ? 0xFFFF : static_cast<std::uint16_t>(entries_.size()));
        U16(zip64_ ? 0xFFFF : static_cast<std::uint16_t>(entries_.size()));
        U32(zip64_ ? 0xFFFFFFFFu : static_cast<std::uint32_t>(centralSize));
        U32(zip64_ ? 0xFFFFFFFFu : static_cast<std::uint32_t>(centralStart));
        U16(0);
        return std::move(out_);
    }

private:
    void U16(std::uint16_t v) { for (int i = 0; i < 2; ++i) out_.push_back(static_cast<std::byte>(v >> (8 * i))); }
    void U32(std::uint32_t v) { for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::byte>(v >> (8 * i))); }
    void U64(std::uint64_t v) { for (int i = 0; i < 8; ++i) out_.push_back(static_cast<std::byte>(v >> (8 * i))); }
    void Bytes(const std::string& s) { for (const char c : s) out_.push_back(static_cast<std::byte>(c)); }

    bool zip64_;
    std::vector<RawEntry> entries_;
    std::vector<std::byte> out_;
};

}  // namespace paperloom::docx::testing
