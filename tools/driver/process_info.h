// What Windows counts for the process that owns a window: its kernel handles
// and its GDI and USER objects, for the resource benchmarks.
#pragma once
#include <string>
#include <vector>

// process-counts CLASS: prints "HANDLES GDI USER LISTED" for the process that
// owns the top-level window of the class: its handle count, its GDI and USER
// object counts (GetGuiResources), and its entries in the system's handle
// list (-1 when that list cannot be read). Wine answers 0 for the first
// three; the list it does keep. Exit status 1 when the window or its process
// cannot be found or read.
int RunProcessCounts(const std::vector<std::string>& args);
