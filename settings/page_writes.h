// What the pages of the settings sheet share when they store their values:
// flags kept as "Yes" or "No", and the writing of a page's keys in order,
// where each failed write names its key by a step code and a later failure
// replaces an earlier one in the single report the page makes.
#pragma once
#include <cstdint>
#include <span>

#include "settings/settings.h"

// "Yes" into the flag field when on, else "No".
void StoreFlag(char (&field)[4], bool on);

// A check box shows a flag ticked only when the value begins with "Y"; a
// value beginning with anything else shows it cleared.
inline bool TickedAtOpening(const char* value) { return value[0] == 'Y'; }

struct KeyStep {
    const char* key;
    uint16_t step;
};

// Writes each key from the program's settings (WriteSettingKey), in order,
// every one attempted. Returns the step of the last key that failed, 0 when
// every write succeeded.
uint16_t WriteKeysInOrder(std::span<const KeyStep> keys);

// Keeps the step of the last failure among writes made one by one.
class FailedStep {
public:
    // Returns `written` as a bool; a failure replaces the step kept so far.
    bool Note(int written, uint16_t step) {
        if (!written) step_ = step;
        return written != 0;
    }
    void Note(uint16_t step) {
        if (step != 0) step_ = step;
    }
    uint16_t step() const { return step_; }

private:
    uint16_t step_ = 0;
};
