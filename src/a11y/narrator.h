#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <bitset>

namespace game {
class Game;
}

namespace a11y {

// What a key has a screen reader say about the game.
enum class Fact {
    LastNews,      // the last news again
    AmountsInPlay, // the amounts still in play, low to high
    Offers,        // the banker's offers so far and the one accepted
    ClosedCases    // the numbers of the closed cases and the own case
};

// Every word a screen reader gets about the game window, made from the game's
// facts and signals in the language spoken now, never from a widget:
// - the news: what one step of the game did (a case opened and what it held,
//   the cases left before the offer, an offer, the answer, an exchange, the
//   winnings), as one utterance, said through spoken();
// - what each control of the window stands for now (a case, an amount of the
//   board, an earlier offer, the offer, the counter, the winnings);
// - the answers to the fact keys.
// It follows what the window shows from the same signals the window draws, so
// a text is empty exactly while the window does not show it. An amount inside
// a closed case is never part of any text.
class Narrator final : public QObject {
    Q_OBJECT
  public:
    // game outlives the narrator.
    explicit Narrator(const game::Game& game, QObject* parent = nullptr);

    // The last utterance said.
    [[nodiscard]] const QString& news() const { return news_; }
    // Says text at once (a fact asked for by a key, a setting changed), or the
    // last news again when text is empty.
    void say(const QString& text);
    void say(Fact fact);
    [[nodiscard]] QString factText(Fact fact) const;

    // The number on case i's plate.
    [[nodiscard]] int caseNumber(int caseIndex) const;
    [[nodiscard]] QString caseName(int caseIndex) const;
    [[nodiscard]] QString caseDescription(int caseIndex) const;
    // An amount of the board: its name says when it is out of play; empty
    // while its plate is not up yet.
    [[nodiscard]] QString boardItemName(int rank) const;
    [[nodiscard]] QString boardItemDescription(int rank) const;
    // Row 0 is the latest of the earlier offers shown; empty while not shown.
    [[nodiscard]] QString historyItemName(int row) const;
    [[nodiscard]] bool historyRowShown(int row) const { return historyRowsShown_.test(row); }
    [[nodiscard]] QString offerText() const;    // empty while no offer is shown
    [[nodiscard]] QString winningsText() const; // empty until the winnings are shown
    [[nodiscard]] QString counterText() const;  // empty while the panel is not shown
    [[nodiscard]] static QString boardName();
    [[nodiscard]] static QString historyName();
    [[nodiscard]] static QString logoName();
    // The answer to a press the game cannot take now.
    [[nodiscard]] static QString pressNotTaken();

  signals:
    // An utterance to be said now (also the last news, asked for again).
    void spoken(const QString& text);

  private:
    enum class Caption { OwnCasePrompt, SwapCasePrompt, Count };

    void addNews(const QString& news);
    void sayNews();
    [[nodiscard]] QString spokenRank(int rank) const;
    [[nodiscard]] QString spokenMoney(qint64 amount) const;
    [[nodiscard]] QString winnings() const;

    const game::Game& game_;
    QStringList unsaid_; // the news of the step under way
    QString news_;       // the last said
    // What the window shows of the counter panel.
    Caption caption_ = Caption::SwapCasePrompt;
    bool captionShown_ = false;
    bool countShown_ = false;
    int count_ = 0;
    bool offerShown_ = false;
    bool winningsShown_ = false;
    std::bitset<8> historyRowsShown_;
};

} // namespace a11y
