// MusicStream: OGG Vorbis decoding (libvorbisfile) into a looping streaming
// buffer, refilled behind the play cursor. Depends on libvorbisfile, the
// platform's sound buffers, the pack resolver and the memory blocks.
#include "sound/music_stream.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/files/error_log.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"

using namespace platform;

// libvorbisfile's reader over the bytes copied from a memory block.
struct MusicMemoryCallbacks {
    static size_t read(void* out, size_t size, size_t count, void* source) {
        auto* stream = static_cast<MusicStream*>(source);
        if (size == 0) return 0;
        const size_t left = stream->memory_.size() - stream->memoryPosition_;
        const size_t items = std::min(count, left / size);
        std::memcpy(out, stream->memory_.data() + stream->memoryPosition_, items * size);
        stream->memoryPosition_ += items * size;
        return items;
    }
    static int seek(void* source, ogg_int64_t offset, int whence) {
        auto* stream = static_cast<MusicStream*>(source);
        const int64_t size = static_cast<int64_t>(stream->memory_.size());
        int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(stream->memoryPosition_) : size;
        if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
        const int64_t target = base + offset;
        if (target < 0 || target > size) return -1;
        stream->memoryPosition_ = static_cast<size_t>(target);
        return 0;
    }
    static int close(void*) { return 0; }
    static long tell(void* source) { return static_cast<long>(static_cast<MusicStream*>(source)->memoryPosition_); }
};

namespace {

constexpr auto kFeedPeriod = std::chrono::milliseconds(20);
// The music rises from silence over this part of a second when it starts,
// so a first sample far from 0 does not click; a loop goes on unfaded.
constexpr uint32_t kFadeInDivisor = 100;  // 10 ms
constexpr int kMaxHolesInARow = 64;  // gaps in the stream skipped before it counts as ended

// Scales the first frames of 16-bit PCM from 0 up to full level.
void fadeIn(uint8_t* pcm, uint32_t bytes, uint16_t channels, uint32_t frames) {
    const uint32_t frameBytes = channels * 2u;
    frames = std::min(frames, bytes / frameBytes);
    for (uint32_t f = 0; f < frames; ++f) {
        for (uint16_t c = 0; c < channels; ++c) {
            uint8_t* at = pcm + f * frameBytes + c * 2u;
            int16_t sample = 0;
            std::memcpy(&sample, at, 2);
            sample = static_cast<int16_t>(static_cast<int64_t>(sample) * f / frames);
            std::memcpy(at, &sample, 2);
        }
    }
}

void logMusicFailure(const char* what, const char* path) {
    std::string line = std::string("Music: ") + what + ": " + (path != nullptr ? path : "NULL") + "\n";
    appendToErrorLog(line.c_str());
}

}  // namespace

int32_t MusicStream::volumeToHundredthsDb(double volume) {
    if (!(volume > 0.0)) return kVolumeMin;  // also NaN
    if (volume >= 1.0) return kVolumeMax;
    return std::max(kVolumeMin, static_cast<int32_t>(2000.0 * std::log10(volume)));
}

MusicStream::MusicStream(AudioDevice* device) : device_(device) {}

MusicStream::~MusicStream() { stop(); }

bool MusicStream::openDecoder(const char* path) {
    if (path == nullptr) return false;
    char resolved[files::kPathBufferSize];
    if (files::isMemBlockName(path)) {
        // A block named directly is read as it is; the resolver knows only
        // disk files and pack entries.
        std::snprintf(resolved, sizeof resolved, "%s", path);
    } else if (resolvePackedFile(filePackArchive(), path, resolved, 1) == 0) {
        return false;
    }
    if (files::isMemBlockName(resolved)) {
        int64_t size = 0;
        uint32_t key = 0;
        if (!files::lookupMemBlockName(resolved, size, key)) return false;
        const uint8_t* bytes = files::findMemBlock(key, size);
        if (bytes == nullptr) return false;
        memory_.assign(bytes, bytes + size);
        memoryPosition_ = 0;
        const ov_callbacks callbacks{&MusicMemoryCallbacks::read, &MusicMemoryCallbacks::seek,
                                     &MusicMemoryCallbacks::close, &MusicMemoryCallbacks::tell};
        if (ov_open_callbacks(this, &vorbis_, nullptr, 0, callbacks) != 0) {
            memory_.clear();
            return false;
        }
    } else {
        char diskPath[files::kPathBufferSize];
        if (!files::toDiskPath(resolved, diskPath)) return false;
        if (ov_fopen(diskPath, &vorbis_) != 0) return false;
    }
    decoderOpen_ = true;
    return true;
}

void MusicStream::closeDecoder() {
    if (decoderOpen_) ov_clear(&vorbis_);
    decoderOpen_ = false;
    memory_.clear();
    memory_.shrink_to_fit();
    memoryPosition_ = 0;
}

bool MusicStream::start(const char* path, double volume, bool loop, bool feed) {
    stop();
    std::lock_guard<std::mutex> guard(lock_);
    if (device_ == nullptr) return false;
    if (!openDecoder(path)) {
        logMusicFailure("cannot open as OGG Vorbis", path);
        return false;
    }
    const vorbis_info* info = ov_info(&vorbis_, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate < kMinSampleRate ||
        info->rate > kMaxSampleRate) {
        logMusicFailure("only mono or stereo music at 100 to 200,000 Hz plays", path);
        closeDecoder();
        return false;
    }
    channels_ = static_cast<uint16_t>(info->channels);
    rate_ = static_cast<uint32_t>(info->rate);
    const uint16_t blockAlign = static_cast<uint16_t>(channels_ * 2);
    bufferBytes_ = rate_ * blockAlign;  // one second
    const AudioWaveFormat format{kWaveFormatPcm, channels_, rate_, rate_ * blockAlign, blockAlign, 16, 0};
    const AudioBufferDesc desc{kBufferDescVersion, kBufferCtrlVolume | kBufferGetCurrentPosition2,
                               bufferBytes_, &format};
    if (!succeeded(device_->createSoundBuffer(&desc, &buffer_))) {
        logMusicFailure("no sound buffer for", path);
        closeDecoder();
        return false;
    }
    loop_ = loop;
    ended_ = false;
    silenceQueued_ = 0;
    writeOffset_ = 0;
    void* part = nullptr;
    uint32_t bytes = 0;
    if (succeeded(buffer_->lock(0, 0, &part, &bytes, nullptr, nullptr, kLockEntireBuffer))) {
        decode(static_cast<uint8_t*>(part), bytes);
        fadeIn(static_cast<uint8_t*>(part), bytes, channels_, rate_ / kFadeInDivisor);
        buffer_->unlock(part, bytes, nullptr, 0);
    }
    volume_ = volumeToHundredthsDb(volume);
    buffer_->setVolume(volume_);
    if (!succeeded(buffer_->play(0, 0, kPlayLooping))) {
        stopLocked();
        return false;
    }
    if (feed) {
        stopFeeder_ = false;
        feeder_ = std::thread(&MusicStream::feedLoop, this);
    }
    return true;
}

void MusicStream::setVolume(double volume) {
    std::lock_guard<std::mutex> guard(lock_);
    volume_ = volumeToHundredthsDb(volume);
    if (buffer_ != nullptr) buffer_->setVolume(volume_);
}

void MusicStream::stop() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopFeeder_ = true;
    }
    wake_.notify_all();
    if (feeder_.joinable()) feeder_.join();
    std::lock_guard<std::mutex> guard(lock_);
    stopFeeder_ = false;
    stopLocked();
}

void MusicStream::stopLocked() {
    if (buffer_ != nullptr) {
        buffer_->stop();
        buffer_->release();
        buffer_ = nullptr;
    }
    closeDecoder();
}

bool MusicStream::isPlaying() {
    std::lock_guard<std::mutex> guard(lock_);
    uint32_t status = 0;
    return buffer_ != nullptr && succeeded(buffer_->getStatus(&status)) && (status & kStatusPlaying);
}

void MusicStream::feedLoop() {
    std::unique_lock<std::mutex> guard(lock_);
    while (!stopFeeder_) {
        wake_.wait_for(guard, kFeedPeriod, [this] { return stopFeeder_; });
        if (stopFeeder_) break;
        guard.unlock();
        service();
        guard.lock();
    }
}

bool MusicStream::service() {
    std::lock_guard<std::mutex> guard(lock_);
    if (buffer_ == nullptr) return false;
    uint32_t status = 0;
    if (!succeeded(buffer_->getStatus(&status))) return false;
    if (status & kStatusBufferLost) {
        // The output came back: go on from where the play cursor stands.
        if (!succeeded(buffer_->restore()) || !succeeded(buffer_->play(0, 0, kPlayLooping))) return false;
    } else if (!(status & kStatusPlaying)) {
        return false;
    }
    uint32_t play = 0;
    if (!succeeded(buffer_->getCurrentPosition(&play, nullptr))) return false;
    const uint32_t played = (play + bufferBytes_ - writeOffset_) % bufferBytes_;
    if (played == 0) return true;
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0;
    uint32_t bytes2 = 0;
    if (!succeeded(buffer_->lock(writeOffset_, played, &part1, &bytes1, &part2, &bytes2, 0))) return false;
    decode(static_cast<uint8_t*>(part1), bytes1);
    if (bytes2 > 0) decode(static_cast<uint8_t*>(part2), bytes2);
    buffer_->unlock(part1, bytes1, part2, bytes2);
    writeOffset_ = (writeOffset_ + played) % bufferBytes_;
    if (ended_ && silenceQueued_ >= bufferBytes_) {
        // Everything decoded has been heard.
        buffer_->stop();
        return false;
    }
    return true;
}

void MusicStream::decode(uint8_t* out, uint32_t bytes) {
    uint32_t done = 0;
    bool rewound = false;  // a rewind that has produced nothing yet
    int holes = 0;
    while (done < bytes) {
        if (ended_ || !decoderOpen_) {
            std::memset(out + done, 0, bytes - done);
            silenceQueued_ += bytes - done;
            return;
        }
        int section = 0;
        const long got = ov_read(&vorbis_, reinterpret_cast<char*>(out + done),
                                 static_cast<int>(bytes - done), 0, 2, 1, &section);
        if (got > 0) {
            const vorbis_info* info = ov_info(&vorbis_, section);
            if (info != nullptr && info->channels == channels_ && static_cast<uint32_t>(info->rate) == rate_) {
                done += static_cast<uint32_t>(got);
                rewound = false;
                holes = 0;
                continue;
            }
            // A chained section in another format: the music ends where it begins.
        } else if (got == OV_HOLE && ++holes <= kMaxHolesInARow) {
            continue;
        }
        // The end of the file, or a stream that cannot be read on.
        if (loop_ && !rewound && ov_pcm_seek(&vorbis_, 0) == 0) {
            rewound = true;
            continue;
        }
        ended_ = true;
    }
}
