#include "settings/page_writes.h"

#include <cstring>

#include "settings/settings_keys.h"

void StoreFlag(char (&field)[4], bool on) {
    std::memset(field, 0, sizeof field);
    std::strcpy(field, on ? "Yes" : "No");
}

uint16_t WriteKeysInOrder(std::span<const KeyStep> keys) {
    FailedStep failed;
    for (const KeyStep& key : keys) failed.Note(WriteSettingKey(key.key), key.step);
    return failed.step();
}
