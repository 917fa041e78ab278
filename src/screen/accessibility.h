#pragma once

#include <QString>

// What assistive technology (a screen reader, an AT-SPI client) finds in the game
// window: the window's painted controls described by role, name, description,
// state and action, in Russian through tr().
//
// - each case is a push button "Чемодан N" (N the number on its plate) whose
//   description says "закрыт", "ваш" or "открыт: 5 000"; it is sensitive and
//   focusable only while a click on it would do something;
// - the amount board is a list of the 22 amounts, each item sensitive while its
//   amount is still in play, and saying so in its name when it is not; the keys
//   can read it item by item;
// - the counter panel is one status text, the offer one text ("Банк предлагает
//   12 000" / "Банк предлагает обмен"), the earlier offers a list, the winnings
//   one text ("Выигрыш: 12 000"), the logo a button "Об авторах";
// - pictures and movies that only decorate, the parts of a text shown as one,
//   and the amount inside a case are left out of the tree: a client finds no
//   more than a sighted player sees.
//
// Nothing here changes what is drawn.
class GameWindow;

namespace accessibility {

// What a key has a screen reader say about the game.
enum class Fact {
    LastNews,      // the last news again
    AmountsInPlay, // the amounts still in play, low to high
    Offers,        // the banker's offers so far and the one accepted
    ClosedCases    // the numbers of the closed cases and the own case
};

// Installs the interface factory; call once before the first window is built
// (again is harmless).
void install();

// Has a screen reader say the fact now, through the window's news; nothing
// while no assistive technology is there.
void say(GameWindow* window, Fact fact);
// The same with a text of one's own (a setting changed by a key).
void say(GameWindow* window, const QString& text);

} // namespace accessibility
