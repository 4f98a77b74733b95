// Checking a theme as the saver would load it, for "check" and "render":
// every module's errors and warnings with their script lines, the notes on
// refused media files and the nearest keyword or file name for a misspelt
// one. The loads read on after an error, so that one pass reports every
// error it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct GlimmoraContext;
class HeadlessPort;

// Warnings kept and listed; beyond them only the lines are counted, so that a
// script of millions of doubtful lines is checked in little memory.
constexpr size_t CHECK_MAX_WARNINGS = 300;

struct Problem {
    int line = 0; // 0: the script or module as a whole
    std::string message;
    std::string note;       // what a refused media file is and how to convert it
    std::string suggestion; // the keyword or file name probably meant
};

// The keyword or file name probably meant by the one an error message names
// ("Invalid Keyword: Postion" gives "Position", "File Not Found: .../mon.gif"
// a "moon.gif" beside it); empty when none is near enough.
std::string SuggestionFor(const std::string& message);

// "FILE:LINE: message (did you mean "X"?)" on stderr, its note on a line of its own.
void PrintProblem(const char* script, const Problem& p);
// Prints errors and warnings together in line order; notes on the whole
// script or module (line 0) come last.
void PrintInLineOrder(const char* script, const std::vector<Problem>& errors,
                      const std::vector<Problem>& warnings);
// The problems as a JSON array's elements.
std::string ProblemsJson(const std::vector<Problem>& problems);

class ThemeCheck {
  public:
    // A check of the script at `script` (at most PATH_LEN characters), with
    // its media looked up in the script's folder.
    explicit ThemeCheck(const char* script);
    ~ThemeCheck();
    ThemeCheck(const ThemeCheck&) = delete;
    ThemeCheck& operator=(const ThemeCheck&) = delete;

    // Reads the module table. False when it cannot be read; its problems are
    // in `scanErrors`, the theme's warnings in `themeWarnings` either way.
    bool Scan();
    // Loads module `module` with the full-screen blocks, the preview blocks,
    // or both (`preview` last), as the saver would with the settings'
    // defaults; each problem is kept once. The context holds the last load
    // until the next.
    void LoadModule(int module, bool preview, bool bothBlockSets, std::vector<Problem>* errors,
                    std::vector<Problem>* warnings);
    // Frees what the last load left.
    void Forget();

    GlimmoraContext& Context() { return *context; }
    // Warnings on lines beyond those kept and listed.
    int64_t DroppedWarningLines() const;

    std::vector<Problem> scanErrors;
    std::vector<Problem> themeWarnings;

    struct Notes;

  private:
    void TakeErrors(std::vector<Problem>* into);

    std::unique_ptr<HeadlessPort> port;
    std::unique_ptr<GlimmoraContext> context;
    std::unique_ptr<Notes> notes;
};
