// display_claim.h -- one kiosk per X display: the first kiosk owns an X
// selection, which the X server gives up by itself when that kiosk's
// connection closes, however the kiosk ended.
#pragma once

// Claims the display named by DISPLAY for this kiosk. When another kiosk
// holds it, says which process that is and returns false. A display that
// cannot be opened is left for GLUT to report.
bool claim_kiosk_display();
