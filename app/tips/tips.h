// The tip of the day and the tips' editor.
//
//   About         the product line and one tip, moved on by one tip at every
//                 opening; started on a thread of its own from Help > "&Tips"
//   BrowseTips    the list of tips, called by About on its thread
//   UpdateTips    the tip form (request 1 insert, 2 change, 3 delete; the tip
//                 in TIP), called by BrowseTips
//
// The tips live in the tips file TipOfTheDay() (TIP:TipID, memo TIP:TipDesc);
// which tip comes next and whether About opens at all are kept in section
// "TipOfDay" of "VAULTRIX.INI" (tip_of_day.h).
//
// Locks: REQUIRES the runtime lock, like every procedure.
#pragma once

namespace vaultrix::app {

void About();
void BrowseTips();
void UpdateTips();

// A data directory without a tips file gets one holding the tips written for
// Vaultrix's users (shipped_tips.cpp); an existing file, even an empty one,
// is left as it is, so tips the user deleted do not come back.
void ProvideShippedTips();

}  // namespace vaultrix::app
