// One window per user: a second start brings the running window to the front
// and ends, so that two windows never write the same tev_13f.xml with counts
// that disagree.
#pragma once

class QWidget;

// True when no other copy runs for this user. False when another copy runs:
// it has been asked to raise its window.
bool ClaimSingleInstance();

// Later starts raise `window` from now on.
void RaiseOnLaterStarts(QWidget* window);

// Lets the next start run a window of its own again.
void ReleaseSingleInstance();
