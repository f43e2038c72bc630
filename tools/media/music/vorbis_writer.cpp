// Vorbis encoding: analysis in blocks of 1024 frames, pages appended to a string.
#include "vorbis_writer.h"

#include <vorbis/vorbisenc.h>

#include "../common/media_error.h"

namespace media {
namespace {

constexpr int kSerial = 0x5352;  // any fixed number: a random one would change the file each run
constexpr int kBlock = 1024;

void appendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

// Owns libvorbis's state for one encode, released on every path.
struct Encoder {
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_dsp_state vd;
    vorbis_block vb;
    ogg_stream_state os;
    bool dsp = false, block = false, stream = false;
    Encoder() {
        vorbis_info_init(&vi);
        vorbis_comment_init(&vc);
    }
    ~Encoder() {
        if (stream) ogg_stream_clear(&os);
        if (block) vorbis_block_clear(&vb);
        if (dsp) vorbis_dsp_clear(&vd);
        vorbis_comment_clear(&vc);
        vorbis_info_clear(&vi);
    }
};

// Moves every finished block into pages.
void drain(Encoder& e, std::string& out) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&e.vd, &e.vb) == 1) {
        vorbis_analysis(&e.vb, nullptr);
        vorbis_bitrate_addblock(&e.vb);
        while (vorbis_bitrate_flushpacket(&e.vd, &packet)) {
            ogg_stream_packetin(&e.os, &packet);
            while (ogg_stream_pageout(&e.os, &page)) appendPage(out, page);
        }
    }
}

}  // namespace

std::string encodeOggVorbis(const std::vector<float>& interleaved, int channels, uint32_t rate, double quality,
                            const std::string& title) {
    if (channels < 1 || channels > 2 || interleaved.size() % static_cast<size_t>(channels) != 0)
        throw MediaError("Vorbis: bad channel layout");
    Encoder e;
    if (vorbis_encode_init_vbr(&e.vi, channels, static_cast<long>(rate), static_cast<float>(quality)) != 0)
        throw MediaError("Vorbis: the encoder refuses this rate or quality");
    vorbis_comment_add_tag(&e.vc, "TITLE", title.c_str());
    if (vorbis_analysis_init(&e.vd, &e.vi) != 0) throw MediaError("Vorbis: cannot start the analysis");
    e.dsp = true;
    vorbis_block_init(&e.vd, &e.vb);
    e.block = true;
    ogg_stream_init(&e.os, kSerial);
    e.stream = true;

    std::string out;
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&e.vd, &e.vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&e.os, &header);
    ogg_stream_packetin(&e.os, &comments);
    ogg_stream_packetin(&e.os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&e.os, &page)) appendPage(out, page);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    for (size_t done = 0; done < frames;) {
        int n = static_cast<int>(std::min<size_t>(kBlock, frames - done));
        float** buffer = vorbis_analysis_buffer(&e.vd, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = interleaved[(done + static_cast<size_t>(i)) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
        vorbis_analysis_wrote(&e.vd, n);
        drain(e, out);
        done += static_cast<size_t>(n);
    }
    vorbis_analysis_wrote(&e.vd, 0);  // end of stream
    drain(e, out);
    while (ogg_stream_flush(&e.os, &page)) appendPage(out, page);
    return out;
}

}  // namespace media
