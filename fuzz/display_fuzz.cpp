// Drives the view with arbitrary commands: frames of any size and layout,
// placements at any position, invalidations, backgrounds and banners, and
// paints. Every pixel read and write must stay inside its buffer.
#include "app/glimmora_context.h"
#include "display/ss_view.h"
#include "image/image.h"
#include "image/screen_frame.h"
#include "ports/headless/headless_port.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class Bytes {
  public:
    Bytes(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool More() const { return pos < size; }
    uint8_t U8() { return pos < size ? data[pos++] : 0; }
    int32_t I32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | U8();
        int32_t r;
        std::memcpy(&r, &v, sizeof r);
        return r;
    }

  private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

struct FuzzFrame {
    CImage image;
    ColorInfo colors = {};
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> mask;

    ~FuzzFrame() { FreeScreenFrame(image); }

    // The frame as it comes from the bytes; some converted for the
    // compositor at `scale` (or at another scale), as loading converts them.
    void Build(Bytes& in, int32_t scale) {
        image.width = in.U8() % 70;
        image.height = in.U8() % 70;
        image.left = static_cast<int8_t>(in.U8());
        image.top = static_cast<int8_t>(in.U8());
        // Buffers sized as the frame says, or short of it.
        const uint8_t shape = in.U8();
        int32_t bytes = image.Stride() * image.height;
        if (shape & 1) bytes /= 2;
        pixels.assign(static_cast<size_t>(bytes), 0);
        for (size_t i = 0; i < pixels.size() && i < 64; ++i) pixels[i] = in.U8();
        image.pixelBytes = bytes;
        image.pixels = pixels.empty() ? nullptr : pixels.data();
        for (int i = 0; i < 256; ++i) colors.colors[i] = {static_cast<uint8_t>(i), 0, 0, 0};
        image.colorInfo = (shape & 2) ? nullptr : &colors;
        if (shape & 4) {
            int32_t maskBytes = image.MaskStride() * image.height;
            if (shape & 8) maskBytes /= 2;
            mask.assign(static_cast<size_t>(maskBytes), 0xA5);
            image.maskBytes = static_cast<uint32_t>(maskBytes);
            image.mask = mask.empty() ? nullptr : mask.data();
        } else {
            image.mask = nullptr;
            image.maskBytes = 0;
        }
        if (shape & 16) ConvertScreenFrame(image, (shape & 32) ? scale + 1 : scale);
        if (shape & 64) image.brightness = 50; // faded: drawn from its colour table
    }
};

const void* Window() {
    static const int token = 0;
    return &token;
}

// Composes what changed and shows it, as a window's paint does.
void Paint(CSSView& view, HeadlessPicture& screen) {
    VidFrame frame{};
    VidRect rects[REGION_MAX_RECTS];
    const int count = view.Paint(&frame, rects);
    if (count > 0) HeadlessCopyRects(screen, frame, rects, count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    // One context serves every input: making one costs more than most inputs.
    static const std::unique_ptr<HeadlessPort> port = std::make_unique<HeadlessPort>();
    static const std::unique_ptr<GlimmoraContext> ctx =
        std::make_unique<GlimmoraContext>(port->Services());
    CSSView& view = ctx->view;
    view.Reset();
    HeadlessPicture screen;
    view.SetSize(1 + in.U8() % 200, 1 + in.U8() % 150);
    view.SetPictureScale(1 + in.U8() % 3);
    view.Init(Window());
    FuzzFrame frames[4];
    for (FuzzFrame& f : frames) f.Build(in, view.pictureScale);
    int steps = 0;
    while (in.More() && steps++ < 200) {
        const uint8_t op = in.U8();
        switch (op % 9) {
        case 0: view.AllocSlot(); break;
        case 1: {
            SpriteSlot& slot = view.slots[in.U8() % MAX_SLOTS];
            const int32_t x = in.I32();
            const int32_t y = in.I32();
            FuzzFrame& f = frames[in.U8() % 4];
            // Without the window the placement invalidates nothing.
            const void* window = view.window;
            if (op & 0x10) view.window = nullptr;
            slot.Place(view, x, y, (op & 0x20) ? nullptr : &f.image, (op & 0x40) != 0);
            view.window = window;
            break;
        }
        case 2: view.slots[in.U8() % MAX_SLOTS].Remove(view); break;
        case 3: {
            const int32_t l = in.I32(), t = in.I32(), r = in.I32(), b = in.I32();
            view.Invalidate({l, t, r, b});
            break;
        }
        case 4: view.SetBackgroundColor(static_cast<uint32_t>(in.I32())); break;
        case 5: view.SetBackgroundImage((op & 0x10) ? nullptr : &frames[in.U8() % 4].image); break;
        case 6: {
            char text[160];
            const int length = in.U8() % 150;
            for (int i = 0; i < length; ++i) text[i] = static_cast<char>(in.U8() | 1);
            text[length] = '\0';
            view.SetBanner(in.U8() % 3, in.I32() % 100000, in.I32() % 100000, text);
            break;
        }
        case 7: Paint(view, screen); break;
        case 8: view.InvalidateAll(); break;
        }
    }
    Paint(view, screen);
    view.Reset();
    return 0;
}
