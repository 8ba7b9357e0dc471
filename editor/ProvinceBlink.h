#pragma once

class CProvince;

// One province's piece blinks on the world view with the main window's
// 150 ms timer: darker, as it is, lighter, as it is. Only one blinks at a
// time: a new blink stops the old one first, which leaves its piece as it
// normally looks.

// The province may be null: the timer runs and nothing blinks.
void StartProvinceBlink(CProvince* province);
// The timer stops and the piece is painted as it normally looks.
void StopProvinceBlink();
