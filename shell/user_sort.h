// Sorting the user area by a column: the texts compare byte by byte as
// unsigned bytes (no locale, no numeric order, so 192.168.0.10 sorts before
// 192.168.0.9), and each column has its own direction, flipped by every
// click on it.
#pragma once

constexpr int kUserColumns = 3;

// Negative when a sorts first, 0 when equal, positive when b sorts first.
int CompareBytes(const char* a, const char* b);

// The direction flag of each column: set means descending. All are set at
// start, and a click flips the flag before sorting, so the first click on a
// column sorts it ascending.
class SortDirections {
public:
    // Flips the column's flag; columns outside 0..2 are ignored.
    void Flip(int column);
    bool Descending(int column) const;
    // The comparison of two column texts in the column's direction.
    int Compare(int column, const char* a, const char* b) const;

private:
    bool descending_[kUserColumns] = {true, true, true};
};
