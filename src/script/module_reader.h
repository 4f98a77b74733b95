// The body of a module: its background, sections and features, read from
// the current script position up to the module's closing brace.
#pragma once

class MediaBinder;
struct ScriptContext;

// Reads the module body into the section and feature tables, handing every
// media line to `media` as it is read. Returns false when loading stops (a
// reported error, or an incomplete sound line, which stops it silently).
bool ReadModuleBody(ScriptContext& s, MediaBinder& media);
