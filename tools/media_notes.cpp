#include "media_notes.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t MAX_READ = size_t{64} << 20; // what a note reads of a file at most

std::vector<uint8_t> ReadHead(const std::string& path, size_t limit) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t buffer[65536];
    size_t n;
    while (bytes.size() < limit && (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool StartsWith(const std::vector<uint8_t>& bytes, const char* magic) {
    const size_t n = std::strlen(magic);
    return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
}

// The kind of a file by its first bytes, for files under a name the loader
// does not take ("a PNG picture"); empty when unknown.
std::string Kind(const std::vector<uint8_t>& bytes) {
    if (StartsWith(bytes, "GIF8")) return "a GIF picture";
    if (StartsWith(bytes, "\x89PNG")) return "a PNG picture";
    if (StartsWith(bytes, "fLaC")) return "a FLAC sound";
    if (StartsWith(bytes, "OggS")) return "an Ogg sound";
    if (StartsWith(bytes, "ID3") ||
        (bytes.size() > 1 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0))
        return "an MP3 sound";
    if (StartsWith(bytes, "RIFF") && bytes.size() >= 12 && std::memcmp(&bytes[8], "WAVE", 4) == 0)
        return "a WAV sound";
    if (StartsWith(bytes, "FORM")) return "an AIFF sound";
    return "";
}

std::string WithExtension(const std::string& path, const char* extension) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + extension;
    return path.substr(0, dot) + extension;
}

// A path as a shell (or the Windows command line) takes it: in double quotes
// when it holds blanks or quoting characters.
std::string Quote(const std::string& path) {
    if (path.find_first_of(" '\"$`") == std::string::npos) return path;
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '$' || c == '`') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Convert(const std::string& in, const std::string& out) {
    return "convert it with: glimmora-tool import " + Quote(in) + " " + Quote(out);
}

bool TakePrefix(const std::string& message, const char* prefix, std::string* rest) {
    const size_t n = std::strlen(prefix);
    if (message.compare(0, n, prefix) != 0) return false;
    *rest = message.substr(n);
    return true;
}

} // namespace

namespace {

struct GifFrameInfo {
    int left, top, width, height;
    int disposal; // of the graphic control extension before it (0 without one)
    bool localTable;
};

struct GifInfo {
    bool globalTable = false;
    int width = 0, height = 0;
    std::vector<GifFrameInfo> frames;
};

// Walks the blocks of a GIF without decoding the image data.
bool ScanGif(const std::string& path, GifInfo* info) {
    const std::vector<uint8_t> gif = ReadHead(path, MAX_READ);
    if (gif.size() < 13 || !StartsWith(gif, "GIF")) return false;
    info->width = Le16(&gif[6]);
    info->height = Le16(&gif[8]);
    const uint8_t packed = gif[10];
    info->globalTable = (packed & 0x80) != 0;
    size_t p = 13;
    if (info->globalTable) p += size_t{3} << ((packed & 7) + 1);
    auto skipBlocks = [&gif, &p] {
        while (p < gif.size() && gif[p] != 0) p += size_t{gif[p]} + 1;
        ++p;
    };
    int disposal = 0;
    while (p < gif.size()) {
        const uint8_t introducer = gif[p++];
        if (introducer == 0x21) {
            if (p + 2 < gif.size() && gif[p] == 0xF9 && gif[p + 1] >= 1)
                disposal = (gif[p + 2] >> 2) & 7;
            ++p; // label
            skipBlocks();
        } else if (introducer == 0x2C) {
            if (p + 9 > gif.size()) break;
            const uint8_t image = gif[p + 8];
            info->frames.push_back({Le16(&gif[p]), Le16(&gif[p + 2]), Le16(&gif[p + 4]),
                                    Le16(&gif[p + 6]), disposal, (image & 0x80) != 0});
            disposal = 0;
            p += 9;
            if (image & 0x80) p += size_t{3} << ((image & 7) + 1);
            ++p; // LZW minimum code size
            skipBlocks();
        } else {
            break;
        }
    }
    return true;
}

std::string FramesText(int first, int more, const char* what) {
    std::string text = "frame " + std::to_string(first);
    if (more > 0) text += " (and " + std::to_string(more) + " more)";
    return text + " " + what;
}

} // namespace

std::string DescribeGifRefusal(const std::string& path) {
    GifInfo info;
    if (!ScanGif(path, &info)) return "";
    std::string faults = info.globalTable ? "" : "it has no global colour table";
    int firstLocal = 0, locals = 0;
    for (size_t i = 0; i < info.frames.size(); ++i) {
        if (!info.frames[i].localTable) continue;
        if (!firstLocal) firstLocal = static_cast<int>(i) + 1;
        ++locals;
    }
    if (firstLocal) {
        if (!faults.empty()) faults += "; ";
        faults += FramesText(firstLocal, locals - 1, "has a local colour table");
    }
    return faults;
}

std::string GifDisplayNote(const std::string& path) {
    GifInfo info;
    if (!ScanGif(path, &info)) return "";
    // A part-frame over a frame that stays (or comes back) is drawn by viewers
    // on top of it; the saver draws it alone.
    int first = 0, count = 0;
    for (size_t i = 1; i < info.frames.size(); ++i) {
        const GifFrameInfo& f = info.frames[i];
        const bool partial =
            f.left > 0 || f.top > 0 || f.width < info.width || f.height < info.height;
        if (!partial || info.frames[i - 1].disposal == 2) continue;
        if (!first) first = static_cast<int>(i) + 1;
        ++count;
    }
    if (!first) return "";
    return path + ": " +
           FramesText(first, count - 1, "holds only what changed since the frame before") +
           ", but the saver draws each frame on its own; " + Convert(path, path);
}

std::string DescribeWavFormat(const std::string& path, std::string* faults) {
    const std::vector<uint8_t> wav = ReadHead(path, MAX_READ);
    if (wav.size() < 12 || !StartsWith(wav, "RIFF") || std::memcmp(&wav[8], "WAVE", 4) != 0)
        return "";
    for (size_t p = 12; p + 8 <= wav.size();) {
        const uint32_t size = Le32(&wav[p + 4]);
        if (std::memcmp(&wav[p], "fmt ", 4) == 0 && size >= 16 && p + 24 <= wav.size()) {
            const uint8_t* f = &wav[p + 8];
            int tag = Le16(f);
            const int channels = Le16(f + 2);
            const uint32_t rate = Le32(f + 4);
            const int bits = Le16(f + 14);
            if (tag == 0xFFFE && size >= 40 && p + 8 + 26 <= wav.size()) tag = Le16(f + 24);
            std::string coding = tag == 1   ? "PCM"
                                 : tag == 3 ? "float"
                                 : tag == 6 ? "A-law"
                                 : tag == 7 ? "u-law"
                                 : tag == 2 || tag == 0x11
                                     ? "ADPCM"
                                     : "coded (format " + std::to_string(tag) + ")";
            std::string text = std::to_string(bits) + "-bit " +
                               (channels == 1   ? std::string("mono")
                                : channels == 2 ? std::string("stereo")
                                                : std::to_string(channels) + "-channel") +
                               " " + std::to_string(rate) + " Hz " + coding;
            if (faults) {
                std::vector<std::string> list;
                if (tag != 1) list.push_back("not PCM");
                if (bits != 8) list.push_back("not 8-bit");
                if (channels != 1) list.push_back("not mono");
                if (rate != 22050) list.push_back("not 22050 Hz");
                faults->clear();
                for (size_t i = 0; i < list.size(); ++i) *faults += (i ? ", " : "") + list[i];
            }
            return text;
        }
        p += 8 + size_t{size} + (size & 1);
    }
    return "";
}

std::string MediaRefusalNote(const std::string& message) {
    std::string path;
    if (TakePrefix(message, "GIF file has no global color table or is not 8 bit ", &path) ||
        TakePrefix(message, "GIF frame has a local color table instead of the global one ",
                   &path)) {
        const std::string faults = DescribeGifRefusal(path);
        if (faults.empty()) return "";
        return path + ": " + faults + "; " + Convert(path, path);
    }
    if (TakePrefix(message, "File is not 8bit 22kHz PCM ", &path)) {
        std::string faults;
        const std::string format = DescribeWavFormat(path, &faults);
        if (format.empty()) return "";
        return path + " is " + format + (faults.empty() ? "" : " (" + faults + ")") + "; " +
               Convert(path, path);
    }
    if (TakePrefix(message, "Unsupported image format ", &path) ||
        TakePrefix(message, "File Not Found: ", &path) ||
        TakePrefix(message, "Unsupported sound format ", &path) ||
        TakePrefix(message, "File is not a valid WAVE file ", &path)) {
        const std::string kind = Kind(ReadHead(path, 16));
        if (kind.empty() || kind == "a WAV sound") return "";
        const bool picture = kind.find("picture") != std::string::npos;
        const std::string out = WithExtension(path, picture ? ".gif" : ".wav");
        return path + " is " + kind + "; " + Convert(path, out) +
               (out != path
                    ? " and name " + out.substr(out.find_last_of("/\\") + 1) + " in the script"
                    : "");
    }
    return "";
}
