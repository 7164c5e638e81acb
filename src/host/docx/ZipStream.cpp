#include "host/docx/ZipStream.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "host/docx/AtomicFile.h"
#include "host/docx/Package.h"

namespace paperloom::docx::zip {
namespace {

// The usual balance of speed and size; the deflating runs beside the build.
constexpr int kLevel = 6;
constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// A raw deflate stream (no zlib header: zip entries hold bare deflate data).
class Deflater {
public:
    Deflater() {
        if (deflateInit2(&z_, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw PackageError("The compressor cannot be started (out of memory).");
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Deflates `data` with the given flush and hands every piece of output to `sink`.
    template <typename Sink>
    void Run(std::string_view data, int flush, Sink&& sink) {
        // zlib counts input in uInt: a text past 4 GiB went in cut to its length modulo 4 GiB,
        // an entry whose size and checksum did not match its data. It goes in slices, the
        // flush with the last one.
        constexpr std::size_t kSlice = std::size_t{1} << 30;
        unsigned char out[1 << 16];
        do {
            const std::string_view slice = data.substr(0, kSlice);
            data.remove_prefix(slice.size());
            const int sliceFlush = data.empty() ? flush : Z_NO_FLUSH;
            z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(slice.data()));
            z_.avail_in = static_cast<uInt>(slice.size());
            for (;;) {
                z_.next_out = out;
                z_.avail_out = sizeof out;
                const int rc = deflate(&z_, sliceFlush);
                if (rc == Z_STREAM_ERROR) throw PackageError("The compressor failed.");
                const std::size_t made = sizeof out - z_.avail_out;
                if (made > 0) sink(std::span<const unsigned char>(out, made));
                if (z_.avail_out != 0 && z_.avail_in == 0 && (sliceFlush != Z_FINISH || rc == Z_STREAM_END)) break;
            }
        } while (!data.empty());
    }

private:
    z_stream z_{};
};

std::uint32_t Crc32(std::uint32_t crc, std::string_view data) {
    // zlib takes lengths as uInt: long texts go in slices.
    while (!data.empty()) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(data.size(), 1u << 30));
        crc = static_cast<std::uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(data.data()), n));
        data.remove_prefix(n);
    }
    return crc;
}

// DOS date and time; before 1980 (and "no time") is 1980-01-01 00:00.
std::pair<std::uint16_t, std::uint16_t> DosTime(std::time_t when) {
    std::tm local{};
    if (when < 0 || ::localtime_r(&when, &local) == nullptr || local.tm_year < 80) return {0, (1 << 5) | 1};
    const auto time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    const auto date =
        static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    return {time, date};
}

}  // namespace

struct DeflatedSpill::Impl {
    explicit Impl(std::filesystem::path path) : target(std::move(path)) {}

    std::filesystem::path target;
    std::unique_ptr<std::FILE, FileCloser> file{std::tmpfile()};
    Deflater deflater;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint64_t deflatedSize = 0;
    std::string error;  // set by the thread; read after it ended or under the mutex
    bool failed = false;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> queue;
    std::optional<std::string> last;  // set by Finish: deflated with the stream's end
    bool stop = false;
    bool finished = false;
    std::thread worker;

    static constexpr std::size_t kWaiting = 4;

    void Deflate(std::string_view piece, int flush) {
        size += piece.size();
        crc = Crc32(crc, piece);
        deflater.Run(piece, flush, [&](std::span<const unsigned char> out) {
            if (std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) WriteFailed();
            deflatedSize += out.size();
        });
    }

    [[noreturn]] void WriteFailed() const {
        const int reason = errno;
        throw PackageError(fmt::format("Cannot save \"{}\": {} (while writing its temporary file).", target.string(),
                                       std::strerror(reason)));
    }

    void Work() {
        for (;;) {
            std::string piece;
            bool ending = false;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return !queue.empty() || last || stop; });
                if (!queue.empty()) {
                    piece = std::move(queue.front());
                    queue.pop_front();
                } else if (last) {
                    piece = std::move(*last);
                    ending = true;
                } else {
                    return;  // stopped without finishing: the spill is abandoned
                }
            }
            changed.notify_all();
            if (error.empty()) {
                try {
                    Deflate(piece, ending ? Z_FINISH : Z_NO_FLUSH);
                    if (ending && std::fflush(file.get()) != 0) WriteFailed();
                } catch (const std::exception& e) {
                    const std::lock_guard lock(mutex);
                    error = e.what();
                    failed = true;
                }
            }
            if (ending) return;
        }
    }
};

DeflatedSpill::DeflatedSpill(const std::filesystem::path& target) : impl_(std::make_unique<Impl>(target)) {
    if (!impl_->file) {
        const int reason = errno;
        throw PackageError(fmt::format("Cannot save \"{}\": no temporary file can be made ({}).", target.string(),
                                       std::strerror(reason)));
    }
    impl_->worker = std::thread([impl = impl_.get()] { impl->Work(); });
}

DeflatedSpill::~DeflatedSpill() {
    {
        const std::lock_guard lock(impl_->mutex);
        impl_->stop = true;
        impl_->queue.clear();
    }
    impl_->changed.notify_all();
    if (impl_->worker.joinable()) impl_->worker.join();
}

void DeflatedSpill::Append(std::string piece) {
    if (piece.empty()) return;
    std::unique_lock lock(impl_->mutex);
    if (impl_->finished) throw PackageError("The spilled part is already finished.");
    if (impl_->failed) throw PackageError(impl_->error);
    impl_->changed.wait(lock, [&] { return impl_->queue.size() < Impl::kWaiting || impl_->failed; });
    if (impl_->failed) throw PackageError(impl_->error);
    impl_->queue.push_back(std::move(piece));
    lock.unlock();
    impl_->changed.notify_all();
}

void DeflatedSpill::Finish(std::string_view last) {
    {
        const std::lock_guard lock(impl_->mutex);
        if (impl_->finished) throw PackageError("The spilled part is already finished.");
        impl_->finished = true;
        impl_->last = std::string(last);
    }
    impl_->changed.notify_all();
    impl_->worker.join();
    if (!impl_->error.empty()) throw PackageError(impl_->error);
    std::rewind(impl_->file.get());
}

std::uint64_t DeflatedSpill::Size() const { return impl_->size; }
std::uint32_t DeflatedSpill::Crc() const { return impl_->crc; }
std::uint64_t DeflatedSpill::DeflatedSize() const { return impl_->deflatedSize; }
std::FILE* DeflatedSpill::DeflatedFile() const { return impl_->file.get(); }

struct StreamWriter::Impl {
    Impl(AtomicFileWriter& file, bool zip64) : out(file), forceZip64(zip64) {}

    AtomicFileWriter& out;
    bool forceZip64;
    std::uint64_t offset = 0;
    std::vector<unsigned char> buffer;
    std::vector<unsigned char> directory;
    std::uint64_t entries = 0;

    void Put(std::span<const unsigned char> bytes) {
        buffer.insert(buffer.end(), bytes.begin(), bytes.end());
        offset += bytes.size();
        if (buffer.size() >= (1u << 20)) Flush();
    }
    void Flush() {
        out.Write(std::as_bytes(std::span(buffer)));
        buffer.clear();
    }

    static void Le(std::vector<unsigned char>& to, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) to.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }

    // One entry whose sizes and checksum are known: local header, data (written by `data`),
    // and its central directory record.
    template <typename Data>
    void Entry(std::string_view name, std::time_t mtime, std::uint32_t crc, std::uint64_t size,
               std::uint64_t deflated, Data&& data) {
        const std::uint64_t start = offset;
        const bool big = forceZip64 || size >= kMax32 || deflated >= kMax32;
        const auto [time, date] = DosTime(mtime);
        const std::uint16_t version = big ? 45 : 20;
        constexpr std::uint16_t kUtf8Names = 1u << 11;

        std::vector<unsigned char> local;
        Le(local, 0x04034b50, 4);
        Le(local, version, 2);
        Le(local, kUtf8Names, 2);
        Le(local, 8, 2);  // deflate
        Le(local, time, 2);
        Le(local, date, 2);
        Le(local, crc, 4);
        Le(local, big ? kMax32 : deflated, 4);
        Le(local, big ? kMax32 : size, 4);
        Le(local, name.size(), 2);
        Le(local, big ? 20 : 0, 2);
        local.insert(local.end(), name.begin(), name.end());
        if (big) {
            Le(local, 0x0001, 2);
            Le(local, 16, 2);
            Le(local, size, 8);
            Le(local, deflated, 8);
        }
        Put(local);
        data();

        const bool farOffset = forceZip64 || start >= kMax32;
        const bool central64 = big || farOffset;
        Le(directory, 0x02014b50, 4);
        Le(directory, (3u << 8) | 45u, 2);  // made on Unix
        Le(directory, central64 ? 45 : 20, 2);
        Le(directory, kUtf8Names, 2);
        Le(directory, 8, 2);
        Le(directory, time, 2);
        Le(directory, date, 2);
        Le(directory, crc, 4);
        Le(directory, central64 ? kMax32 : deflated, 4);
        Le(directory, central64 ? kMax32 : size, 4);
        Le(directory, name.size(), 2);
        Le(directory, central64 ? 28 : 0, 2);
        Le(directory, 0, 2);                    // comment
        Le(directory, 0, 2);                    // disk
        Le(directory, 0, 2);                    // internal attributes
        Le(directory, 0100644u << 16, 4);       // a plain readable file
        Le(directory, central64 ? kMax32 : start, 4);
        directory.insert(directory.end(), name.begin(), name.end());
        if (central64) {
            Le(directory, 0x0001, 2);
            Le(directory, 24, 2);
            Le(directory, size, 8);
            Le(directory, deflated, 8);
            Le(directory, start, 8);
        }
        ++entries;
    }
};

StreamWriter::StreamWriter(AtomicFileWriter& out, bool forceZip64)
    : impl_(std::make_unique<Impl>(out, forceZip64)) {}

StreamWriter::~StreamWriter() = default;

void StreamWriter::Add(std::string_view name, std::string_view data, std::time_t mtime) {
    std::vector<unsigned char> deflated;
    Deflater deflater;
    deflater.Run(data, Z_FINISH,
                 [&](std::span<const unsigned char> out) { deflated.insert(deflated.end(), out.begin(), out.end()); });
    impl_->Entry(name, mtime, Crc32(0, data), data.size(), deflated.size(), [&] { impl_->Put(deflated); });
}

void StreamWriter::AddSpilled(std::string_view name, std::string_view head, DeflatedSpill& spill, std::time_t mtime) {
    // The head ends on a byte boundary without ending the stream (a sync flush), so the
    // spill's own stream goes on from it: one valid deflate stream for the whole entry.
    std::vector<unsigned char> deflatedHead;
    Deflater deflater;
    deflater.Run(head, Z_SYNC_FLUSH, [&](std::span<const unsigned char> out) {
        deflatedHead.insert(deflatedHead.end(), out.begin(), out.end());
    });
    const auto crc = static_cast<std::uint32_t>(
        crc32_combine(Crc32(0, head), spill.Crc(), static_cast<z_off_t>(spill.Size())));
    const std::uint64_t size = head.size() + spill.Size();
    const std::uint64_t deflated = deflatedHead.size() + spill.DeflatedSize();
    impl_->Entry(name, mtime, crc, size, deflated, [&] {
        impl_->Put(deflatedHead);
        std::FILE* file = spill.DeflatedFile();
        std::vector<unsigned char> chunk(1 << 20);
        std::uint64_t copied = 0;
        for (;;) {
            const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), file);
            if (n == 0) break;
            impl_->Put(std::span(chunk.data(), n));
            copied += n;
        }
        if (copied != spill.DeflatedSize())
            throw PackageError(fmt::format("The print document's part \"{}\" could not be read back.", name));
    });
}

void StreamWriter::Finish() {
    Impl& d = *impl_;
    const std::uint64_t directoryStart = d.offset;
    const std::uint64_t directorySize = d.directory.size();
    d.Put(d.directory);
    const bool zip64 = d.forceZip64 || directoryStart >= kMax32 || directorySize >= kMax32 || d.entries >= 0xFFFF;
    std::vector<unsigned char> end;
    if (zip64) {
        const std::uint64_t recordAt = d.offset;
        Impl::Le(end, 0x06064b50, 4);
        Impl::Le(end, 44, 8);
        Impl::Le(end, (3u << 8) | 45u, 2);
        Impl::Le(end, 45, 2);
        Impl::Le(end, 0, 4);
        Impl::Le(end, 0, 4);
        Impl::Le(end, d.entries, 8);
        Impl::Le(end, d.entries, 8);
        Impl::Le(end, directorySize, 8);
        Impl::Le(end, directoryStart, 8);
        Impl::Le(end, 0x07064b50, 4);
        Impl::Le(end, 0, 4);
        Impl::Le(end, recordAt, 8);
        Impl::Le(end, 1, 4);
    }
    Impl::Le(end, 0x06054b50, 4);
    Impl::Le(end, 0, 2);
    Impl::Le(end, 0, 2);
    Impl::Le(end, zip64 ? 0xFFFF : d.entries, 2);
    Impl::Le(end, zip64 ? 0xFFFF : d.entries, 2);
    Impl::Le(end, zip64 ? kMax32 : directorySize, 4);
    Impl::Le(end, zip64 ? kMax32 : directoryStart, 4);
    Impl::Le(end, 0, 2);
    d.Put(end);
    d.Flush();
}

}  // namespace paperloom::docx::zip
