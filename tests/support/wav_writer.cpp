#include "support/wav_writer.h"

namespace {

void Put16(std::string& out, uint32_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutChunk(std::string& out, const std::string& id, const std::string& body) {
    out += id;
    Put32(out, uint32_t(body.size()));
    out += body;
    if (body.size() % 2) out.push_back('\0');
}

} // namespace

std::vector<unsigned char> MakeWav(const std::vector<unsigned char>& samples,
                                   const WavLayout& layout) {
    std::string body = "WAVE";
    for (const WavChunk& c : layout.beforeFormat) PutChunk(body, c.id, c.body);
    std::string format;
    Put16(format, layout.formatTag);
    Put16(format, layout.channels);
    Put32(format, layout.rate);
    Put32(format, layout.rate * layout.channels * layout.bits / 8);
    Put16(format, layout.channels * layout.bits / 8);
    Put16(format, layout.bits);
    if (layout.formatExtra >= 2) Put16(format, uint32_t(layout.formatExtra - 2));
    while (int(format.size()) < 16 + layout.formatExtra) format.push_back('\0');
    PutChunk(body, "fmt ", format);
    for (const WavChunk& c : layout.beforeData) PutChunk(body, c.id, c.body);
    body += "data";
    Put32(body, layout.declaredDataSize >= 0 ? uint32_t(layout.declaredDataSize)
                                             : uint32_t(samples.size()));
    body.append(samples.begin(), samples.end());
    if (layout.declaredDataSize < 0 && samples.size() % 2) body.push_back('\0');
    for (const WavChunk& c : layout.afterData) PutChunk(body, c.id, c.body);
    std::string file = "RIFF";
    Put32(file, uint32_t(body.size()));
    file += body;
    return std::vector<unsigned char>(file.begin(), file.end());
}

std::vector<unsigned char> RampSamples(size_t count) {
    std::vector<unsigned char> samples(count);
    for (size_t i = 0; i < count; i++) samples[i] = (unsigned char)(i & 0xFF);
    return samples;
}
