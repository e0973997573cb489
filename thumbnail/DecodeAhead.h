// Decoding the next files of a command on worker threads while the main thread works on the
// current one.
#pragma once

#include "pictures/JpegDecodeSupply.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct DecodeAheadOptions {
    // Worker threads; 0 decodes nothing ahead. By default two when the process may use at least
    // two processors, else none: on one core a decode ahead only competes with the main thread.
    int workers = DefaultWorkers();
    // The most files held ahead at once, being decoded or decoded and not yet taken, and the most
    // memory they may take together: their compressed bytes and pixels, and while they are being
    // decoded an upper bound of what the decode takes. A file that would go beyond the memory
    // limit is not decoded ahead.
    std::size_t maxFiles = 2;
    std::uint64_t maxBytes = std::uint64_t{1} << 30;
    // Runs on the worker thread once it is done with the file at `index` (decoded or not), before
    // the main thread can see the result: lets tests change a file between its decode ahead and
    // its load.
    std::function<void(std::size_t index)> afterDecode;

    static int DefaultWorkers();
};

// Decodes the files at `paths` ahead of the main thread, in order, at most `maxFiles` ahead of the
// one it is working on, on threads that touch nothing but their own files and the engine's own
// state. A decoded file is handed over (Take, as the main thread's JpegDecodeSupply) only for the
// very bytes it was decoded from: a file that changed after its decode ahead is decoded again by
// the main thread, and a file that failed ahead is simply decoded by the main thread, which meets
// the failure where it always did. The engine never throws from its workers.
//
// Every member function is for the thread that made the engine.
class DecodeAhead final : public JpegDecodeSupply {
public:
    // Starts the workers on the first files. `decoding` are the options of the decodes the
    // engine serves.
    DecodeAhead(std::vector<std::string> paths, JpegDecodeOptions decoding,
                DecodeAheadOptions options);
    // Stops the workers: a decode in progress runs to its end, nothing new starts, and everything
    // held is freed.
    ~DecodeAhead() override;
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // Says that the main thread now works on the file at `index` (indexes only grow): forgets what
    // is held for earlier files and, unless the engine has no workers or the index no file, waits
    // until the file's decode ahead has ended (started first when no worker had got to it yet),
    // calling `whileWaiting` about every 10 ms meanwhile. Throws whatever `whileWaiting` throws.
    void WaitFor(std::size_t index, const std::function<void()>& whileWaiting);

    bool Take(std::span<const std::uint8_t> bytes, const JpegDecodeOptions& options,
              TBitmap& bitmap) noexcept override;

private:
    struct Held {
        bool decoding = true;
        std::uint64_t reserved = 0; // counted against maxBytes
        std::vector<std::uint8_t> bytes;
        std::unique_ptr<TBitmap> bitmap;
    };

    void Work();
    bool CanStart() const;
    // Decodes the file at `index`, or gives it up, leaving the outcome in held_.
    void DecodeFile(std::size_t index);
    // Takes the lock and counts `bytes` against the memory limit for the file at `index`; false,
    // counting nothing, when they do not fit or the engine is stopping.
    bool Reserve(std::size_t index, std::uint64_t bytes);
    // Under the lock: drops what is held unless it is still being decoded; the entry after it.
    std::map<std::size_t, Held>::iterator Forget(std::map<std::size_t, Held>::iterator held);

    const std::vector<std::string> paths_;
    const JpegDecodeOptions decoding_;
    const DecodeAheadOptions options_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    std::size_t current_;              // the file the main thread works on
    std::size_t next_;                 // the next file a worker takes
    std::map<std::size_t, Held> held_; // by index, each at least current_ unless being decoded
    std::uint64_t reservedBytes_ = 0;

    std::vector<std::jthread> workers_; // last: they stop before the state they use goes
};
