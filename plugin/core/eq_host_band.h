#pragma once
// ReaEQ switches its bands on and off outside its parameters. Where a map names no BandOn index for a band,
// the host tells which of the effect's bands the band's frequency (else gain, else Q) parameter belongs to,
// and the Band On button and lamp work on that band. Effects the host does not answer for, and hosts without
// the EQ band functions, leave the button and lamp as they were.

#include "eq_map_track.h"

// Switches the host band behind `band` over. True when it wrote.
bool eqToggleHostBand(const EqMapMatch& match, int band);
// Whether the host band behind `band` is enabled; false when there is none.
bool eqHostBandLit(const EqMapMatch& match, int band);
