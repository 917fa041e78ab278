#pragma once

#include <functional>

class QAccessibleEvent;
class QAccessibleInterface;

// What the game does only because of the Qt and Orca versions of Debian 12
// (Qt 6.4.2, Orca 43.1). Each names the version that needs it and how to see
// whether a newer one still does; once none does, the call goes and the plain
// Qt way takes its place. Two more live where they act, named there:
// DesktopControls::showMenu() chooses the menu's first entry for Orca 43, which
// does not say a menu's opening, and the focus waits on the game window while a
// press is taken (DesktopControls::press(), the cases' doAction()), as Qt 6.4
// moves it on for a moment from a control the press hides and Orca reads that one.
namespace a11y::workarounds {

// Has a screen reader say notification's text now, wherever the focus is.
// Qt 6.4 has no QAccessibleAnnouncementEvent (Qt 6.8 has), and Orca 43 speaks
// no text change away from the focus; it does read an object of the
// notification role each time that object is shown, so the notification is
// shown again. Still needed while tests/a11y/listen_with_orca.py hears the news
// only this way: with Qt >= 6.8, send a QAccessibleAnnouncementEvent instead
// and see whether Orca says it.
void announce(QAccessibleInterface* notification);

// Keeps the events for which unwanted() is true from the platform's bridge
// (once, before the first window). Orca 43 reads the window's title at every
// focus move to the window and is flooded ("DELUGE! Queue size is 101") by
// state changes it does not speak; Qt 6.4 has no way to keep an event from
// the bridge but a global update handler, and hands an event to the bridge
// only while no handler is set, so the handler steps aside for each event it
// passes on. To check: run listen_with_orca.py with the filter off and count
// "DELUGE" and window titles in Orca's debug output.
void filterUpdates(std::function<bool(QAccessibleEvent*)> unwanted);

} // namespace a11y::workarounds
