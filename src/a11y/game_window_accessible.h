#pragma once

// What assistive technology (a screen reader, an AT-SPI client) finds in the game
// window: the window's painted controls described by role, name, description,
// state and action, in the words of the window's narrator (narrator.h).
//
// - each case is a push button "Чемодан N" (N the number on its plate) whose
//   description says "закрыт", "ваш" or "открыт: 5 000"; it is sensitive and
//   focusable exactly while a press on it would do something. A press the game
//   cannot take now is answered by the narrator ("Сейчас нельзя.");
// - the amount board is a list of the 22 amounts, each item sensitive while its
//   amount is still in play, and saying so in its name when it is not;
// - the counter panel is one status text, the offer one text, the earlier
//   offers a list, the winnings one text, the logo a button "Об авторах";
// - the news of each step is a notification shown once per step;
// - pictures and movies that only decorate, the parts of a text shown as one,
//   and the amount inside a case are left out of the tree: a client finds no
//   more than a sighted player sees.
//
// Nothing here changes what is drawn.
namespace accessibility {

// Installs the interface factory and the event filter; call once before the
// first window is built (again is harmless).
void install();

} // namespace accessibility
