#pragma once
// The window of the program: the Qt application, the start sequence and the
// event loop until the main window closes.
//
// For the screenshots of the documentation, the environment can ask the window to
// sail and to photograph itself: VENTREL_SCREENSHOT=FILE.png writes the window to
// FILE.png after VENTREL_SCREENSHOT_AFTER seconds (30 by default) and closes it;
// VENTREL_SAIL=1 presses the start button as soon as the window shows;
// VENTREL_FULL_SCREEN=1 takes the full-screen layout first; VENTREL_NMEA_PORT=DEVICE
// opens that device in the NMEA panel and presses "Activer".

namespace ventrel::app {

int RunWindowApp(int argc, char** argv);

}  // namespace ventrel::app
