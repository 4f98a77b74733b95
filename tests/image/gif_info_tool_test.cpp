// glimmora-tool gif-info: the JSON description and the failure path.
#include "image_test_util.h"

#include <gtest/gtest.h>

namespace {

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

TEST(GifInfoToolTest, DescribesFramesAsJson) {
    TempDir dir;
    std::vector<uint8_t> a = {1, 2, 3, 4, 5, 6}, b = {7, 8};
    GifImage second = MakeImage(1, 2, b);
    second.left = 2;
    second.top = 1;
    std::string gif = dir.WriteBytes("x.gif", GifBuilder(3, 2)
                                                  .Netscape(0)
                                                  .Control(5, 4)
                                                  .Image(MakeImage(3, 2, a))
                                                  .Image(second)
                                                  .Trailer()
                                                  .Bytes());
    std::string out = dir.File("out.json");
    ASSERT_EQ(
        RunCommand(Quote(GLIMMORA_TOOL) + " gif-info --json " + Quote(gif) + " >" + Quote(out)), 0);
    // FNV-1a 64 of the bytes 1..6 and of 7, 8.
    auto fnv = [](const std::vector<uint8_t>& bytes) {
        uint64_t h = 0xcbf29ce484222325ull;
        for (uint8_t v : bytes) h = (h ^ v) * 0x100000001b3ull;
        char text[17];
        std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(h));
        return std::string(text);
    };
    EXPECT_EQ(ReadFileText(out),
              "{\"width\":3,\"height\":2,\"loop\":true,\"frame_count\":2,\"frames\":["
              "{\"index\":0,\"left\":0,\"top\":0,\"width\":3,\"height\":2,\"delay_ms\":50,"
              "\"transparent_index\":4,\"indices_fnv1a64\":\"" +
                  fnv(a) +
                  "\"},"
                  "{\"index\":1,\"left\":2,\"top\":1,\"width\":1,\"height\":2,\"delay_ms\":66,"
                  "\"transparent_index\":null,\"indices_fnv1a64\":\"" +
                  fnv(b) + "\"}],\"frames_not_listed\":0}\n");
}

TEST(GifInfoToolTest, FramesAreNumberedPast65535AndListedUpToALimit) {
    TempDir dir;
    GifBuilder builder(1, 1);
    for (int i = 0; i < 100003; ++i) builder.EmptyFrame(1, 1);
    std::string gif = dir.WriteBytes("many.gif", builder.Trailer().Bytes());
    std::string out = dir.File("out.txt");
    ASSERT_EQ(RunCommand(Quote(GLIMMORA_TOOL) + " gif-info " + Quote(gif) + " >" + Quote(out)), 0);
    std::string text = ReadFileText(out);
    EXPECT_EQ(text.substr(0, text.find('\n')), "screen 1x1, not looping, 100003 frames");
    for (const char* line : {"\nframe 65535: 1x1 at 0,0, 66 ms", "\nframe 65536: 1x1 at 0,0, 66 ms",
                             "\nframe 99999: 1x1 at 0,0, 66 ms"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("\nframe 100000:"), std::string::npos);
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1),
              "3 more frames not listed (at most 100000 are)\n");

    ASSERT_EQ(
        RunCommand(Quote(GLIMMORA_TOOL) + " gif-info --json " + Quote(gif) + " >" + Quote(out)), 0);
    text = ReadFileText(out);
    EXPECT_EQ(text.rfind("{\"width\":1,\"height\":1,\"loop\":false,\"frame_count\":100003,", 0),
              0u);
    EXPECT_NE(text.find("{\"index\":65536,"), std::string::npos);
    EXPECT_EQ(text.substr(text.rfind(',')), ",\"frames_not_listed\":3}\n");
}

TEST(GifInfoToolTest, ReportsTheLoadersMessageAndFails) {
    TempDir dir;
    std::string bmp = dir.WriteBytes("x.bmp", {'B', 'M'});
    std::string err = dir.File("err.txt");
    EXPECT_EQ(RunCommand(Quote(GLIMMORA_TOOL) + " gif-info --json " + Quote(bmp) + " 2>" +
                         Quote(err) + " >/dev/null"),
              1);
    EXPECT_EQ(ReadFileText(err), "Unsupported image format " + bmp + "\n");
    std::string missing = dir.File("none.gif");
    EXPECT_EQ(RunCommand(Quote(GLIMMORA_TOOL) + " gif-info " + Quote(missing) + " 2>" + Quote(err)),
              1);
    EXPECT_EQ(ReadFileText(err), "File Not Found: " + missing + "\n");
}

} // namespace
