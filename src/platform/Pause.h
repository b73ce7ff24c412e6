// Timed waits that keep the window alive.
#pragma once

namespace ostrand {

// Waits ms milliseconds (times the delay scale) while handling events.
void delay(int ms);

// ms milliseconds under the delay scale, for timers that must not block.
int ScaledDelay(int ms);

// Scale applied to every delay: 1 is real time; tests set a small value so a 3-second pause
// takes a few milliseconds.
void SetDelayScale(double scale);

} // namespace ostrand
