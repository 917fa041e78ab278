#pragma once

// Points this test process's kept files (settings, statistics, the game's own
// state folder) at a temporary folder of its own, removed at exit. Test programs
// run side by side and must not share a settings file (one's mute or summary
// choice would become another's), and a test run by hand must leave the
// player's own files alone. Qt's test mode does the second but not the first:
// every test program shares its ~/.qttest.
void usePrivateHome();
