// Helpers of the sound tests (see sound_test_support.h).
#include "sound_test_support.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "file_bytes.h"
#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "runtime/services/runtime_error.h"
#include "sound/sound_device.h"
#include "sound/sound_system.h"

namespace soundtest {

namespace {

std::string le32(uint32_t value) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string le16(uint16_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

int windowStandIn = 0;

}  // namespace

std::string chunk(const std::string& id, const std::string& content) {
    return id.substr(0, 4) + le32(static_cast<uint32_t>(content.size())) + content;
}

std::string makeWav(const WavSpec& spec) {
    const uint16_t align = static_cast<uint16_t>(
        spec.blockAlign >= 0 ? spec.blockAlign : spec.channels * spec.bits / 8);
    std::string format = le16(spec.formatTag) + le16(spec.channels) + le32(spec.rate) +
                         le32(spec.rate * align) + le16(align) + le16(spec.bits);
    if (spec.fmtExtra >= 2) {
        format += le16(static_cast<uint16_t>(spec.fmtExtra - 2));
        format += std::string(spec.fmtExtra - 2, '\x5A');
    } else {
        format += std::string(spec.fmtExtra, '\x5A');
    }
    const uint32_t fmtSize = static_cast<uint32_t>(spec.fmtSize >= 0 ? spec.fmtSize : format.size());
    const uint32_t dataSize = static_cast<uint32_t>(spec.dataSize >= 0 ? spec.dataSize : spec.samples.size());
    std::string body = spec.wave + spec.chunkBeforeFmt + "fmt " + le32(fmtSize) + format + spec.chunkBetween +
                       "data" + le32(dataSize) + spec.samples;
    return spec.riff + le32(static_cast<uint32_t>(body.size())) + body;
}

std::string samples16(const std::vector<int16_t>& values) {
    std::string out;
    for (int16_t v : values) out += le16(static_cast<uint16_t>(v));
    return out;
}

std::string samples8(const std::vector<uint8_t>& values) { return std::string(values.begin(), values.end()); }

std::vector<float> sine(double seconds, double hz, double amplitude, int channels, long rate) {
    const size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<float> out(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const float v = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; ++c) out[i * channels + c] = v;
    }
    return out;
}

std::string makeOgg(const std::vector<float>& interleaved, int channels, long rate) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);  // a fixed serial number
    std::string out;
    ogg_page page;
    auto writePage = [&out](const ogg_page& p) {
        out.append(reinterpret_cast<const char*>(p.header), p.header_len);
        out.append(reinterpret_cast<const char*>(p.body), p.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page) != 0) writePage(page);

    const size_t frames = interleaved.size() / channels;
    size_t done = 0;
    bool finished = false;
    while (!finished) {
        const size_t chunkFrames = std::min<size_t>(1024, frames - done);
        if (chunkFrames == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(chunkFrames));
            for (size_t i = 0; i < chunkFrames; ++i) {
                for (int c = 0; c < channels; ++c) buffer[c][i] = interleaved[(done + i) * channels + c];
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(chunkFrames));
            done += chunkFrames;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    writePage(page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
        if (chunkFrames == 0) finished = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0) writePage(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

const void* fakeWindow() { return &windowStandIn; }

void startSoundOnManualOutput() {
    platform::setAudioOutputMaker(&platform::makeManualAudioOutput);
    createSoundSystem(fakeWindow());
}

void startSoundWithoutDevice() {
    platform::setAudioOutputMaker(&platform::makeFailingAudioOutput);
    createSoundSystem(fakeWindow());
}

std::vector<int16_t> mixStereo16(uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    SoundDevice* device = engineSoundDevice();
    if (device == nullptr || device->device == nullptr) return out;
    device->device->mixer().mix(out.data(), frames);
    return out;
}

SoundTest::SoundTest() { clearErrorCode(); }

void SoundTest::SetUp() { startSoundOnManualOutput(); }

void SoundTest::TearDown() {
    releaseSoundSystem();
    platform::setAudioOutputMaker(nullptr);
}

std::string SoundTest::writeFile(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    testsupport::writeFileBytes(path, bytes);
    return path;
}

std::string SoundTest::errorLog() const { return testsupport::readFileBytes(dir.file("ErrorLog.txt")); }

std::string monoWav(const std::vector<int16_t>& values) {
    WavSpec spec;
    spec.samples = samples16(values);
    return makeWav(spec);
}

}  // namespace soundtest
