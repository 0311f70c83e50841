#include "shell/user_sort.h"

int CompareBytes(const char* a, const char* b) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    while (*x != 0 && *x == *y) {
        ++x;
        ++y;
    }
    return static_cast<int>(*x) - static_cast<int>(*y);
}

void SortDirections::Flip(int column) {
    if (column >= 0 && column < kUserColumns) descending_[column] = !descending_[column];
}

bool SortDirections::Descending(int column) const {
    return column >= 0 && column < kUserColumns && descending_[column];
}

int SortDirections::Compare(int column, const char* a, const char* b) const {
    int order = CompareBytes(a, b);
    return Descending(column) ? -order : order;
}
