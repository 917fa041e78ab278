#pragma once

#include <QString>

namespace i18n {

// The text the screen shows for a text of the game's rules (src/game): the
// prompts and the words of the counter panel (game::kChooseOwnCasePrompt,
// game::counterAfterClick(), ...), the exchange offer game::kExchangeOffer and
// its form in the history game::kExchangeInHistory, in the language spoken
// now; any other text (an amount, an offer in digits) as it is.
//
// Only for what is shown: the game's state, its comparisons and the log keep
// the rules' own texts.
[[nodiscard]] QString shownGameText(const QString& designed);

} // namespace i18n
