#include "media_notes.h"

#include "tool_output.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr long MAX_READ = long{64} << 20; // what a note reads of a file at most

// Opens `path` when it is a regular file: a FIFO would block on opening and a
// device might never end.
std::FILE* OpenRegular(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return nullptr;
    return std::fopen(path.c_str(), "rb");
}

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

// Up to `limit` bytes from the start of the file.
std::vector<uint8_t> ReadHead(const std::string& path, size_t limit) {
    std::vector<uint8_t> bytes;
    FileCloser closer = {OpenRegular(path)};
    if (!closer.file) return bytes;
    bytes.resize(limit);
    bytes.resize(std::fread(bytes.data(), 1, limit, closer.file));
    return bytes;
}

// Reads a file through a buffer, up to MAX_READ bytes.
class ByteReader {
  public:
    explicit ByteReader(std::FILE* file) : file(file) {}
    // False at the end of the file or of what is read of it.
    bool Next(uint8_t* byte) {
        if (position == end && !Fill()) return false;
        *byte = buffer[position++];
        return true;
    }
    bool Skip(size_t count) {
        while (count > 0) {
            if (position == end && !Fill()) return false;
            const size_t n = std::min(count, end - position);
            position += n;
            count -= n;
        }
        return true;
    }
    bool Read(uint8_t* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (!Next(&bytes[i])) return false;
        }
        return true;
    }

  private:
    bool Fill() {
        if (total >= MAX_READ) return false;
        const size_t want = static_cast<size_t>(
            std::min<long>(static_cast<long>(sizeof(buffer)), MAX_READ - total));
        end = std::fread(buffer, 1, want, file);
        position = 0;
        total += static_cast<long>(end);
        return end > 0;
    }

    std::FILE* file;
    uint8_t buffer[65536];
    size_t position = 0, end = 0;
    long total = 0;
};

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

} // namespace

std::string FileKind(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + std::min<size_t>(size, 32));
    if (StartsWith(bytes, "GIF8")) return "a GIF picture";
    if (StartsWith(bytes, "\x89PNG")) return "a PNG picture";
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return "a JPEG picture";
    if (StartsWith(bytes, "RIFF") && bytes.size() >= 12 && std::memcmp(&bytes[8], "WEBP", 4) == 0)
        return "a WebP picture";
    if (StartsWith(bytes, "BM") && bytes.size() >= 18) {
        const uint32_t header = Le32(&bytes[14]); // the size of the header that follows
        if (header == 12 || header == 40 || header == 52 || header == 56 || header == 64 ||
            header == 108 || header == 124)
            return "a BMP picture";
    }
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

namespace {

// The kind of a file by its first bytes, for files under a name the loader
// does not take ("a PNG picture"); empty when unknown.
std::string Kind(const std::vector<uint8_t>& bytes) {
    return FileKind(bytes.data(), bytes.size());
}

std::string WithExtension(const std::string& path, const char* extension) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + extension;
    return path.substr(0, dot) + extension;
}

// A path as one word of the importer's command line: quoted for the shell,
// and behind "./" when it begins with a dash, which would read as an option.
std::string PathArgument(const std::string& path) {
    return ShellQuote(!path.empty() && path[0] == '-' ? "./" + path : path);
}

std::string Convert(const std::string& in, const std::string& out) {
    return "convert it with: glimmora-tool import " + PathArgument(in) + " " + PathArgument(out);
}

bool TakePrefix(const std::string& message, const char* prefix, std::string* rest) {
    const size_t n = std::strlen(prefix);
    if (message.compare(0, n, prefix) != 0) return false;
    *rest = message.substr(n);
    return true;
}

// What the notes need of a GIF's frames, counted as they pass: a GIF may
// hold any number of them.
struct GifInfo {
    bool globalTable = false;
    int width = 0, height = 0;
    int64_t frames = 0;
    int64_t firstLocal = 0, locals = 0;     // frames with a local colour table
    int64_t firstPartial = 0, partials = 0; // part-frames drawn over the frame before
};

// Walks the blocks of a GIF without decoding the image data.
bool ScanGif(const std::string& path, GifInfo* info) {
    FileCloser closer = {OpenRegular(path)};
    if (!closer.file) return false;
    ByteReader gif(closer.file);
    uint8_t header[13];
    if (!gif.Read(header, sizeof(header)) || std::memcmp(header, "GIF", 3) != 0) return false;
    info->width = Le16(&header[6]);
    info->height = Le16(&header[8]);
    const uint8_t packed = header[10];
    info->globalTable = (packed & 0x80) != 0;
    if (info->globalTable && !gif.Skip(size_t{3} << ((packed & 7) + 1))) return true;
    // Sub-blocks up to the terminator; `first` receives the first byte of
    // the first one when there is one.
    auto skipBlocks = [&gif](int* first) {
        uint8_t size;
        for (bool start = true; gif.Next(&size) && size != 0; start = false) {
            uint8_t byte;
            if (!gif.Next(&byte)) return false;
            if (start && first) *first = byte;
            if (!gif.Skip(size_t{size} - 1)) return false;
        }
        return true;
    };
    int disposal = 0;         // of the graphic control extension before the next frame
    int previousDisposal = 0; // of the frame before
    uint8_t introducer;
    while (gif.Next(&introducer)) {
        if (introducer == 0x21) {
            uint8_t label;
            if (!gif.Next(&label)) break;
            int packedControl = -1;
            if (!skipBlocks(label == 0xF9 ? &packedControl : nullptr)) break;
            if (packedControl >= 0) disposal = (packedControl >> 2) & 7;
        } else if (introducer == 0x2C) {
            uint8_t image[9];
            if (!gif.Read(image, sizeof(image))) break;
            const int left = Le16(&image[0]), top = Le16(&image[2]);
            const int width = Le16(&image[4]), height = Le16(&image[6]);
            const bool local = (image[8] & 0x80) != 0;
            ++info->frames;
            if (local && !info->locals++) info->firstLocal = info->frames;
            const bool partial =
                left > 0 || top > 0 || width < info->width || height < info->height;
            if (info->frames > 1 && partial && previousDisposal != 2 && !info->partials++)
                info->firstPartial = info->frames;
            previousDisposal = disposal;
            disposal = 0;
            if (local && !gif.Skip(size_t{3} << ((image[8] & 7) + 1))) break;
            if (!gif.Skip(1) || !skipBlocks(nullptr)) break; // LZW minimum code size, data
        } else {
            break;
        }
    }
    return true;
}

std::string FramesText(int64_t first, int64_t more, const char* what) {
    std::string text = "frame " + std::to_string(first);
    if (more > 0) text += " (and " + std::to_string(more) + " more)";
    return text + " " + what;
}

std::string GifRefusal(const std::string& path) {
    GifInfo info;
    if (!ScanGif(path, &info)) return "";
    std::string faults = info.globalTable ? "" : "it has no global colour table";
    if (info.locals) {
        if (!faults.empty()) faults += "; ";
        faults += FramesText(info.firstLocal, info.locals - 1, "has a local colour table");
    }
    return faults;
}

// The format chunk of a RIFF WAVE file: at most its first 26 bytes (the
// extensible format's sub-format tag included); empty when there is none.
std::vector<uint8_t> WavFormatChunk(const std::string& path, uint32_t* size) {
    FileCloser closer = {OpenRegular(path)};
    std::FILE* file = closer.file;
    uint8_t head[12];
    if (!file || std::fread(head, 1, sizeof(head), file) != sizeof(head) ||
        std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return {};
    // Chunks are passed over by seeking, within the first MAX_READ bytes.
    for (long position = 12; position <= MAX_READ - 8;) {
        uint8_t chunk[8];
        if (std::fseek(file, position, SEEK_SET) != 0 ||
            std::fread(chunk, 1, sizeof(chunk), file) != sizeof(chunk))
            return {};
        *size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && *size >= 16) {
            std::vector<uint8_t> format(std::min<uint32_t>(*size, 26));
            format.resize(std::fread(format.data(), 1, format.size(), file));
            if (format.size() < 16) return {};
            return format;
        }
        position += 8 + static_cast<long>(std::min<uint32_t>(*size, MAX_READ)) + (*size & 1);
    }
    return {};
}

std::string WavFormat(const std::string& path, std::string* faults) {
    uint32_t size = 0;
    const std::vector<uint8_t> format = WavFormatChunk(path, &size);
    if (format.empty()) return "";
    const uint8_t* f = format.data();
    int tag = Le16(f);
    const int channels = Le16(f + 2);
    const uint32_t rate = Le32(f + 4);
    const int bits = Le16(f + 14);
    if (tag == 0xFFFE && size >= 40 && format.size() >= 26) tag = Le16(f + 24);
    std::string coding = tag == 1                  ? "PCM"
                         : tag == 3                ? "float"
                         : tag == 6                ? "A-law"
                         : tag == 7                ? "u-law"
                         : tag == 2 || tag == 0x11 ? "ADPCM"
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

std::string RefusalNote(const std::string& message) {
    std::string path;
    if (TakePrefix(message, "GIF file has no global color table or is not 8 bit ", &path) ||
        TakePrefix(message, "GIF frame has a local color table instead of the global one ",
                   &path)) {
        const std::string faults = GifRefusal(path);
        if (faults.empty()) return "";
        return path + ": " + faults + "; " + Convert(path, path);
    }
    if (TakePrefix(message, "File is not 8bit 22kHz PCM ", &path)) {
        std::string faults;
        const std::string format = WavFormat(path, &faults);
        if (format.empty()) return "";
        return path + " is " + format + (faults.empty() ? "" : " (" + faults + ")") + "; " +
               Convert(path, path);
    }
    if (TakePrefix(message, "Unsupported image format ", &path) ||
        TakePrefix(message, "File Not Found: ", &path) ||
        TakePrefix(message, "Unsupported sound format ", &path) ||
        TakePrefix(message, "File is not a valid WAVE file ", &path)) {
        const std::string kind = Kind(ReadHead(path, 32));
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

} // namespace

// A note is a help, never a reason to stop: a file that cannot be described
// (memory refused included) gives none.

std::string DescribeGifRefusal(const std::string& path) {
    try {
        return GifRefusal(path);
    } catch (const std::exception&) {
        return "";
    }
}

std::string GifDisplayNote(const std::string& path) {
    try {
        GifInfo info;
        if (!ScanGif(path, &info) || !info.partials) return "";
        // A part-frame over a frame that stays (or comes back) is drawn by
        // viewers on top of it; the saver draws it alone.
        return path + ": " +
               FramesText(info.firstPartial, info.partials - 1,
                          "holds only what changed since the frame before") +
               ", but the saver draws each frame on its own; " + Convert(path, path);
    } catch (const std::exception&) {
        return "";
    }
}

std::string DescribeWavFormat(const std::string& path, std::string* faults) {
    try {
        return WavFormat(path, faults);
    } catch (const std::exception&) {
        return "";
    }
}

std::string MediaRefusalNote(const std::string& message) {
    try {
        return RefusalNote(message);
    } catch (const std::exception&) {
        return "";
    }
}
