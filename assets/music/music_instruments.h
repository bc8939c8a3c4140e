#pragma once
// The synthesised instruments of the two tunes. Tonal instruments are
// periodic tones with a lead-in and a forward loop of whole cycles, tuned so
// that a pattern note sounds its equal-tempered pitch (A-4 = 440 Hz); their
// loudness over time is an XM volume envelope, so a tick length (from the
// tune's BPM) goes into each of them. Drums are one-shot samples played at
// C-4, their recorded pitch.
#include "assets/music/xm_writer.h"

namespace music {

// Drums
xm::TInstrument DeepKick();    // long, round night-drive kick
xm::TInstrument PunchyKick();  // short and hard, cuts through a fast groove
xm::TInstrument RoomSnare();   // snare in a big gated room
xm::TInstrument TightSnare();
xm::TInstrument Clap();
xm::TInstrument ClosedHat();
xm::TInstrument OpenHat();
xm::TInstrument Crash();

// Tones
xm::TInstrument SoftBass(int bpm);   // round saw-and-sub bass with a short bright attack
xm::TInstrument DriveBass(int bpm);  // brighter, snappier bass for eighth-note drive
xm::TInstrument WarmPad(int bpm);    // slow chorus of detuned saws
xm::TInstrument PluckArp(int bpm);   // hollow square pluck
xm::TInstrument Lead(int bpm, bool bright);  // detuned saw lead with delayed vibrato
xm::TInstrument Stab(int bpm);       // short bright chord hit

// The rate at which C-4 plays a tone of `period` samples per cycle so that
// it sounds middle C.
double MiddleCRate(double period);

}  // namespace music
