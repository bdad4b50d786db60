#pragma once
#include <cstdint>

// Wall-clock milliseconds since the epoch. Every part of the program reads
// time through this one function so that tests can substitute a clock.
int64_t now_ms();

// Replaces the clock (nullptr restores the system clock). For tests.
using ClockFunction = int64_t (*)();
void set_clock_for_tests(ClockFunction clock);
