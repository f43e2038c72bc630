// MusicStream: an OGG Vorbis file streamed through one looping sound buffer
// of the sound device. The buffer holds about a second of 16-bit PCM at the
// file's rate; a feeder thread (or a test calling service()) decodes into
// the part the mixer has already played. The volume applies at once. The
// first 10 ms rise from silence, so music whose first sample is far from 0
// starts without a click; the loop goes on from the end without a fade.
// Depends on libvorbisfile, the platform's sound buffers, the pack resolver.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "platform/audio_device.h"

class MusicStream {
public:
    explicit MusicStream(platform::AudioDevice* device);
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Stops what plays, opens the file (a disk path, a pack entry or a
    // "mem://" block; the bytes of a block are copied, since a block lives
    // only until the next resolve), fills the buffer and starts it at the
    // volume (0..1). With `feed` a thread keeps the buffer filled; without
    // it the caller calls service(). False when the file is missing, not
    // Vorbis, has more than two channels, or no buffer can be made.
    bool start(const char* path, double volume, bool loop, bool feed);
    // 0 silent .. 1 full; NaN counts as 0. Heard from the next mixed frame on.
    void setVolume(double volume);
    void stop();
    bool isPlaying();

    // Decodes into what the mixer has played since the last call. Without
    // `loop`, the end of the file is followed by silence, and the buffer
    // stops once a whole buffer of it has been queued. False when nothing plays.
    bool service();

    uint32_t rate() const { return rate_; }
    uint16_t channels() const { return channels_; }
    uint32_t bufferBytes() const { return bufferBytes_; }

    // Hundredths of a decibel for a music volume 0..1 (clamped; NaN silent).
    static int32_t volumeToHundredthsDb(double volume);

private:
    bool openDecoder(const char* path);
    void closeDecoder();
    void decode(uint8_t* out, uint32_t bytes);  // with lock_ held
    void stopLocked();
    void feedLoop();

    platform::AudioDevice* device_;
    std::mutex lock_;  // guards everything below against the feeder thread
    OggVorbis_File vorbis_{};
    bool decoderOpen_ = false;
    std::vector<uint8_t> memory_;  // the file's bytes when it came from a block
    size_t memoryPosition_ = 0;
    platform::AudioBuffer* buffer_ = nullptr;
    uint32_t bufferBytes_ = 0;
    uint32_t writeOffset_ = 0;      // next byte to fill, frame-aligned
    uint32_t rate_ = 0;
    uint16_t channels_ = 0;
    int32_t volume_ = platform::kVolumeMin;
    bool loop_ = false;
    bool ended_ = false;            // the file ended without loop: silence follows
    uint32_t silenceQueued_ = 0;    // bytes of silence written since the end

    std::thread feeder_;
    std::condition_variable wake_;
    bool stopFeeder_ = false;

    friend struct MusicMemoryCallbacks;
};
