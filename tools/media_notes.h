// Notes for theme authors on media files the saver refuses: what the file
// is and how to convert it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a file is by its first bytes (at least 32 of them when it has so
// many): "a JPEG picture", "an Ogg sound"; empty when it is none the
// importer knows.
std::string FileKind(const uint8_t* data, size_t size);

// The note for a loader message that names a refused media file ("File is
// not 8bit 22kHz PCM PATH" and the like): "PATH is 16-bit stereo 44100 Hz
// PCM, not mono, not 8-bit...; convert it with: glimmora-tool import PATH
// OUT", the command quoted so that it can be pasted into a shell. Empty for
// other messages and for files there is nothing to say about.
//
// The notes read only regular files (a FIFO or a device is not described),
// at most their first 64 MiB, in memory that does not grow with the file.
std::string MediaRefusalNote(const std::string& message);

// What a GIF file holds that the loader refuses ("it has no global colour
// table; frame 3 has a local colour table"), empty when nothing.
std::string DescribeGifRefusal(const std::string& path);
// For a GIF the saver loads: a note when it is an animation whose frames
// hold only what changed (as optimising tools write them), which the saver
// would show as fragments; empty otherwise.
std::string GifDisplayNote(const std::string& path);
// The sample format of a WAV file ("16-bit stereo 44100 Hz PCM"), empty when
// it has none that can be read.
std::string DescribeWavFormat(const std::string& path, std::string* faults = nullptr);
