// Ends a Windows start-up probe at its first drawn frame: prints the wall
// clock then (ns since the Unix epoch, which Wine shares with the host) and
// the peak working set (KB), so a runner can time the process from launch.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>

inline void report_first_paint() {
  GdiFlush();
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long since_1601 = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const unsigned long long unix_ns = (since_1601 - 116444736000000000ULL) * 100;
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("%llu %llu\n", unix_ns, static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
  std::fflush(stdout);
}
