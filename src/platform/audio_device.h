// The sound device: our own small stand-in for the DirectSound device and
// its sound buffers, over a software mixer and an audio output (SDL2 audio
// in the program, a manual or failing output in tests).
//
// One AudioDevice plays any number of secondary sound buffers of 8- or 16-bit
// PCM, mono or stereo, each at its own rate, into the primary format (the
// mix format, 22,050 Hz 8-bit stereo until the primary buffer's format is
// set). A duplicate shares its original's samples but has its own position,
// state, volume and pan. Volume is in hundredths of a decibel (gain
// 10^(v/2000), -10,000 silent); pan lowers the opposite channel the same way.
// The device refuses what the original refused: formats other than PCM,
// other channel counts and sample widths, a block alignment or byte rate that
// does not fit them, rates outside 100..200,000 Hz, buffer sizes outside
// 4..0x0FFFFFFF bytes, and record versions it does not know.
//
// Departures: the device mixes in software, so a lost buffer keeps its
// samples and plays them again after restore; a buffer is "lost" only when the
// audio output went away (unplugged) or the device was released before it.
#pragma once
#include <cstdint>

namespace platform {

enum class AudioResult : int32_t {
    Ok = 0,
    InvalidParam,        // a bad argument, record version, size, range or format
    OutOfMemory,
    NoDriver,            // no audio output to open
    BufferLost,          // the output went away; restore the buffer
    ControlUnavailable,  // volume or pan on a buffer made without that control
    InvalidCall,         // not for this kind of buffer, or not in this state
    PriorityNeeded,      // the primary format needs the priority cooperative level
};

inline bool succeeded(AudioResult result) { return result == AudioResult::Ok; }
const char* audioResultText(AudioResult result);

constexpr uint16_t kWaveFormatPcm = 1;

struct AudioWaveFormat {
    uint16_t formatTag;              // kWaveFormatPcm, the only kind played
    uint16_t channels;               // 1 or 2
    uint32_t samplesPerSecond;       // 100 .. 200,000
    uint32_t averageBytesPerSecond;  // samplesPerSecond × blockAlign
    uint16_t blockAlign;             // bytes of one frame: channels × bitsPerSample / 8
    uint16_t bitsPerSample;          // 8 (unsigned, 128 silent) or 16 (signed, little-endian)
    uint16_t extraSize;              // 0 for PCM
};

// Buffer description flags.
constexpr uint32_t kBufferPrimary = 0x1;
constexpr uint32_t kBufferStatic = 0x2;
constexpr uint32_t kBufferCtrlPan = 0x40;
constexpr uint32_t kBufferCtrlVolume = 0x80;
constexpr uint32_t kBufferGetCurrentPosition2 = 0x10000;

constexpr uint32_t kBufferDescVersion = 36;  // the only description record version known
constexpr uint32_t kBufferMinBytes = 4;
constexpr uint32_t kBufferMaxBytes = 0x0FFFFFFF;
constexpr uint32_t kMinSampleRate = 100;
constexpr uint32_t kMaxSampleRate = 200000;

struct AudioBufferDesc {
    uint32_t version;      // kBufferDescVersion
    uint32_t flags;        // kBuffer* flags
    uint32_t bufferBytes;  // 0 for the primary buffer
    const AudioWaveFormat* format;  // null for the primary buffer
};

// Buffer status bits.
constexpr uint32_t kStatusPlaying = 0x1;
constexpr uint32_t kStatusBufferLost = 0x2;
constexpr uint32_t kStatusLooping = 0x4;

constexpr uint32_t kPlayLooping = 0x1;
constexpr uint32_t kLockFromWriteCursor = 0x1;
constexpr uint32_t kLockEntireBuffer = 0x2;

constexpr int32_t kVolumeMax = 0;        // hundredths of a decibel
constexpr int32_t kVolumeMin = -10000;   // silent
constexpr int32_t kPanLeft = -10000;     // right channel silent
constexpr int32_t kPanRight = 10000;     // left channel silent

enum class CooperativeLevel : uint32_t { Normal = 1, Priority = 2, Exclusive = 3, WritePrimary = 4 };

// Capability bits.
constexpr uint32_t kCapsPrimaryMono = 0x1;
constexpr uint32_t kCapsPrimaryStereo = 0x2;
constexpr uint32_t kCapsPrimary8Bit = 0x4;
constexpr uint32_t kCapsPrimary16Bit = 0x8;
constexpr uint32_t kCapsContinuousRate = 0x10;
constexpr uint32_t kCapsSecondaryMono = 0x100;
constexpr uint32_t kCapsSecondaryStereo = 0x200;
constexpr uint32_t kCapsSecondary8Bit = 0x400;
constexpr uint32_t kCapsSecondary16Bit = 0x800;

constexpr uint32_t kDeviceCapsVersion = 96;  // the record's size in bytes, its version

// 24 words, as the record the callers size to 96 bytes; the hardware
// counters stay 0 since everything is mixed in software.
struct AudioDeviceCaps {
    uint32_t version;  // kDeviceCapsVersion, set by the caller
    uint32_t flags;    // kCaps* bits
    uint32_t minSecondarySampleRate;
    uint32_t maxSecondarySampleRate;
    uint32_t primaryBuffers;
    uint32_t hardwareCounters[17];
    uint32_t playCpuOverheadPercent;
    uint32_t reserved;
};
static_assert(sizeof(AudioDeviceCaps) == kDeviceCapsVersion);

class AudioMixer;
struct AudioCore;
struct AudioVoice;

// One sound buffer: the primary buffer (the mix format only) or a secondary
// buffer (samples that play). Made by the device; ended by release().
class AudioBuffer {
public:
    AudioResult getStatus(uint32_t* status);
    // reserved and priority must be 0; kPlayLooping repeats until stopped.
    // Playing a playing buffer only changes its looping.
    AudioResult play(uint32_t reserved, uint32_t priority, uint32_t flags);
    // Stops where it is; the position is kept.
    AudioResult stop();
    AudioResult setCurrentPosition(uint32_t bytes);
    // Both in bytes; the write cursor is where writing is safe (the play
    // cursor: the mixer reads at the play cursor only when it mixes).
    AudioResult getCurrentPosition(uint32_t* play, uint32_t* write);
    AudioResult setVolume(int32_t hundredthsDb);
    AudioResult getVolume(int32_t* hundredthsDb);
    AudioResult setPan(int32_t pan);
    AudioResult getPan(int32_t* pan);
    // One region at a time; it may wrap, giving a second part at the start.
    // part2 may be null: the region then ends at the buffer's end.
    AudioResult lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                     void** part2, uint32_t* bytes2, uint32_t flags);
    AudioResult unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2);
    AudioResult restore();
    // Primary buffer only.
    AudioResult setFormat(const AudioWaveFormat* format);
    AudioResult getFormat(AudioWaveFormat* format);
    // Stops the buffer and frees it (the samples go with the last of the
    // buffers that share them).
    void release();

    bool isPrimary() const;

private:
    friend struct AudioCore;
    friend class AudioDevice;
    AudioBuffer() = default;
    ~AudioBuffer() = default;
    AudioCore* core_ = nullptr;
    AudioVoice* voice_ = nullptr;  // null for the primary buffer
};

class AudioDevice {
public:
    // The window the device's focus follows; any non-null handle.
    AudioResult setCooperativeLevel(const void* window, CooperativeLevel level);
    AudioResult createSoundBuffer(const AudioBufferDesc* desc, AudioBuffer** out);
    AudioResult duplicateSoundBuffer(AudioBuffer* original, AudioBuffer** out);
    AudioResult getCaps(AudioDeviceCaps* caps);
    // Closes the output and frees the device; buffers still alive fall
    // silent and report themselves lost until they are released.
    void release();

    // The mixer behind the output: tests mix through it directly.
    AudioMixer& mixer();
    // Tells the buffers the output is gone, as an unplugged device does.
    void markOutputLost();

private:
    friend AudioResult createAudioDevice(AudioDevice** out);
    AudioDevice() = default;
    ~AudioDevice() = default;
    AudioCore* core_ = nullptr;
};

// Opens the audio output chosen by setAudioOutputMaker (SDL2 audio unless a
// test chose another) in the default mix format. NoDriver when there is none.
AudioResult createAudioDevice(AudioDevice** out);

}  // namespace platform
