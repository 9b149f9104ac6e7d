#pragma once

// Where the user lets the application post the paste chord: the status
// menu's permission row, the panel's banner and the first-run step all lead
// here. On X11 no setting grants synthetic keys (the display server offers
// XTEST or it does not), so there is nothing to ask for or open; the log
// says so.
void openAccessibilitySettings();
