#include "thumbnail/DecodeAhead.h"

#include "pictures/FileContents.h"
#include "platform/Processors.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {

// The most memory decoding a picture takes: its pixels in any format (four bytes each) and, for a
// file of several scans, libjpeg's coefficients of the whole picture (at most four full-size
// components of two bytes a sample).
std::uint64_t DecodeBytesBound(const JpegHeader& header) {
    const std::uint64_t pixels = std::uint64_t(header.width) * std::uint64_t(header.height);
    return pixels * 4 + (header.hasMultipleScans ? pixels * 8 : 0);
}

} // namespace

int DecodeAheadOptions::DefaultWorkers() {
    return UsableProcessorCount() >= 2 ? 2 : 0;
}

DecodeAhead::DecodeAhead(std::vector<std::string> paths, JpegDecodeOptions decoding,
                         DecodeAheadOptions options)
    : paths_(std::move(paths)), decoding_(decoding), options_(std::move(options)), current_(0),
      next_(0) {
    try {
        // Workers that may hold no file would keep the main thread waiting for ever.
        for (int i = 0; options_.maxFiles > 0 && i < options_.workers; ++i)
            workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer workers only means less decoded ahead; none means the main thread decodes all.
    }
}

DecodeAhead::~DecodeAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    workers_.clear();
}

void DecodeAhead::WaitFor(std::size_t index, const std::function<void()>& whileWaiting) {
    std::unique_lock lock(mutex_);
    current_ = std::max(current_, index);
    next_ = std::max(next_, current_);
    for (auto held = held_.begin(); held != held_.end() && held->first < current_;)
        held = Forget(held);
    if (workers_.empty() || index >= paths_.size())
        return;
    changed_.notify_all();
    // Once the earlier files are forgotten a worker is free to start this one, if none has.
    const auto ended = [this, index] {
        const auto held = held_.find(index);
        return index < next_ && (held == held_.end() || !held->second.decoding);
    };
    while (!ended()) {
        if (changed_.wait_for(lock, std::chrono::milliseconds(10), ended))
            break;
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
}

bool DecodeAhead::Take(std::span<const std::uint8_t> bytes, const JpegDecodeOptions& options,
                       TBitmap& bitmap) noexcept {
    std::lock_guard lock(mutex_);
    if (!(options == decoding_))
        return false;
    for (auto held = held_.begin(); held != held_.end(); ++held) {
        if (held->second.decoding || !std::ranges::equal(held->second.bytes, bytes))
            continue;
        bitmap.Assign(held->second.bitmap.get());
        reservedBytes_ -= held->second.reserved;
        held_.erase(held);
        changed_.notify_all();
        return true;
    }
    return false;
}

void DecodeAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || CanStart(); });
        if (stopping_)
            return;
        const std::size_t index = next_++;
        held_.emplace(index, Held{});
        lock.unlock();
        DecodeFile(index);
        lock.lock();
    }
}

bool DecodeAhead::CanStart() const {
    return next_ < paths_.size() && held_.size() < options_.maxFiles &&
           next_ <= current_ + options_.maxFiles;
}

void DecodeAhead::DecodeFile(std::size_t index) {
    std::vector<std::uint8_t> bytes;
    std::unique_ptr<TBitmap> bitmap;
    // Any failure here only means the main thread decodes the file itself and meets the failure
    // there, if it is still there.
    try {
        bytes = ReadFileContents(paths_[index]);
        const std::uint64_t need = bytes.size() + DecodeBytesBound(ReadJpegHeader(bytes));
        if (Reserve(index, need)) {
            auto decoded = std::make_unique<TBitmap>();
            DecodeJpeg(bytes, decoding_, *decoded);
            bitmap = std::move(decoded);
        }
    } catch (...) {
    }
    if (options_.afterDecode) {
        try {
            options_.afterDecode(index);
        } catch (...) {
        }
    }
    std::lock_guard lock(mutex_);
    Held& held = held_.at(index);
    held.decoding = false;
    if (bitmap && !stopping_ && index >= current_) {
        // From now on only the bytes and the pixels are held.
        const std::uint64_t kept =
            bytes.size() + std::uint64_t(bitmap->RowBytes()) * std::uint64_t(bitmap->Height());
        reservedBytes_ -= held.reserved - std::min(kept, held.reserved);
        held.reserved = std::min(kept, held.reserved);
        held.bytes = std::move(bytes);
        held.bitmap = std::move(bitmap);
    } else {
        reservedBytes_ -= held.reserved;
        held_.erase(index);
    }
    changed_.notify_all();
}

bool DecodeAhead::Reserve(std::size_t index, std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    if (stopping_ || bytes > options_.maxBytes - reservedBytes_)
        return false;
    reservedBytes_ += bytes;
    held_.at(index).reserved = bytes;
    return true;
}

std::map<std::size_t, DecodeAhead::Held>::iterator
DecodeAhead::Forget(std::map<std::size_t, Held>::iterator held) {
    if (held->second.decoding)
        return std::next(held);
    reservedBytes_ -= held->second.reserved;
    return held_.erase(held);
}
