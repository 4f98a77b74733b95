// The memory one module load may hold: every picture (pixels, masks, frame
// records, colour tables) and every sound held in memory count against one
// budget, so that no theme can take more of the machine than this.
#pragma once

#include <cstdint>

// What the pictures and sounds of one module load may hold together.
constexpr int64_t THEME_MEMORY_LIMIT = int64_t{320} << 20;
// What the allocator adds to every block it hands out, near enough: each
// block is counted with it, so that many small blocks cost what they take.
constexpr int64_t BLOCK_OVERHEAD = 32;

// The cost of one allocated block of `bytes`.
constexpr int64_t BlockCost(int64_t bytes) {
    return bytes + BLOCK_OVERHEAD;
}

// The message of a load that the budget stops, with the limit in MiB and the
// file being loaded.
constexpr const char THEME_LIMIT_FORMAT[] = "Theme memory limit of %lld MiB reached: %s";

// What one module load may still take. Loaders take before they allocate and
// give back what they free; the owner resets it with the module.
struct MemoryBudget {
    int64_t limit = THEME_MEMORY_LIMIT;
    int64_t used = 0;

    bool Fits(int64_t bytes) const { return bytes >= 0 && bytes <= limit - used; }
    // Takes `bytes`; false (and nothing taken) when they do not fit.
    bool Take(int64_t bytes) {
        if (!Fits(bytes)) return false;
        used += bytes;
        return true;
    }
    void Give(int64_t bytes) { used = bytes < used ? used - bytes : 0; }
    void Reset() { used = 0; }
    // The limit in whole MiB, for messages.
    long long LimitMiB() const { return static_cast<long long>(limit >> 20); }
};
