// Controls of the headless video output for tests and tools: the picture the
// window shows, kept in memory, the presented rectangles, PNG output and the
// folder the fonts come from.
#pragma once

#include <cstdint>
#include <vector>

struct HeadlessPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
};

struct HeadlessRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// What the window shows: every presented rectangle copied in, black elsewhere.
const HeadlessPicture& HeadlessScreen();
// One pixel of the window (0 outside it).
uint32_t HeadlessScreenPixel(int32_t x, int32_t y);
// How many pictures were presented, and the bounding rectangle of the last one.
int HeadlessPresentCount();
HeadlessRect HeadlessLastPresent();
// Forgets the picture and the counts.
void HeadlessResetVideo();

// Writes the picture the window shows as an 8-bit RGB PNG file; 1 on success.
int HeadlessWritePng(const char* path);

// The folder of the Liberation TrueType fonts that stand in for the Windows
// faces ("Arial" and unknown faces: Liberation Sans, "Times New Roman":
// Liberation Serif, "Courier New": Liberation Mono). Fonts made afterwards
// come from there.
void HeadlessSetFontDirectory(const char* path);
