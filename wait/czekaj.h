#pragma once
// The wait every operation uses between its exchanges: it keeps the windows
// answering, so a poll tick, a clock tick or a click may run inside it.
#include <cstdint>

// Waits ms milliseconds on the tick count while letting the toolkit process
// its messages; czekaj(0) returns at once.
void czekaj(uint32_t ms);
