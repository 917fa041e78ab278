#pragma once

#include "game_record.h"
#include "regular_file.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace storage {

using game::ExchangeRecord;
using game::GameRecord;
using game::OfferRecord;

// The player's record over every finished game, and the last game in full.
class Statistics {
  public:
    void addGame(const GameRecord& game);
    // A game left before anything was decided: counted apart, never as played.
    void addLeftGame();

    // The largest count and amount kept: every whole number up to them is a
    // JSON number exactly, and shown without overflow. A count or total that
    // would pass them stays at them; once the games played reach it, a game
    // counts in none of the figures (only as the last game), so that the
    // counts still add up. A file holding more is refused.
    static constexpr qint64 kMaxCount = (qint64(1) << 53) - 1;
    static constexpr double kMaxAmount = double(kMaxCount);

    [[nodiscard]] qint64 gamesPlayed() const { return gamesPlayed_; }
    [[nodiscard]] qint64 gamesLeft() const { return gamesLeft_; }
    [[nodiscard]] double totalWinnings() const { return totalWinnings_; }
    [[nodiscard]] double averageWinnings() const;
    [[nodiscard]] double bestWinnings() const { return bestWinnings_; }
    // Deals: money accepted from the banker, against what the own case held.
    [[nodiscard]] qint64 offersAccepted() const { return dealsAbove_ + dealsBelow_ + dealsEven_; }
    [[nodiscard]] qint64 dealsAboveOwnCase() const { return dealsAbove_; }
    [[nodiscard]] qint64 dealsBelowOwnCase() const { return dealsBelow_; }
    [[nodiscard]] qint64 dealsEqualToOwnCase() const { return dealsEven_; }
    // The accepted amounts less what the own cases held, over every deal.
    [[nodiscard]] double dealsGain() const { return dealsGain_; }
    // Exchanges taken, and those where the case taken held more than the one given.
    [[nodiscard]] qint64 exchangesTaken() const { return exchangesTaken_; }
    [[nodiscard]] qint64 exchangesPaidOff() const { return exchangesPaidOff_; }
    [[nodiscard]] const std::optional<GameRecord>& lastGame() const { return lastGame_; }

    [[nodiscard]] QJsonObject toJson() const;
    // Null when the object is not statistics this program wrote: a missing or
    // mistyped field, a negative count or amount, counts that do not add up.
    // error tells what is wrong.
    [[nodiscard]] static std::optional<Statistics> fromJson(const QJsonObject& object,
                                                            QString* error = nullptr);

  private:
    qint64 gamesPlayed_ = 0;
    qint64 gamesLeft_ = 0;
    double totalWinnings_ = 0;
    double bestWinnings_ = 0;
    qint64 dealsAbove_ = 0;
    qint64 dealsBelow_ = 0;
    qint64 dealsEven_ = 0;
    double dealsGain_ = 0;
    qint64 exchangesTaken_ = 0;
    qint64 exchangesPaidOff_ = 0;
    std::optional<GameRecord> lastGame_;
};

// The statistics file. Reading never fails: a missing file gives empty
// statistics, and a damaged or unreadable one is moved aside (never deleted) and
// the statistics start afresh. Games running at once share it: each change is
// made under a lock to what the file holds at that moment, so that no game's
// record is lost, and is written whole or not at all (kept_file::replace).
class StatisticsStore {
  public:
    explicit StatisticsStore(QString path) : path_(std::move(path)) {}
    [[nodiscard]] const QString& path() const { return path_; }

    struct Loaded {
        Statistics statistics;
        // Empty when the file was read or was missing; otherwise what was wrong
        // with it and where it was kept.
        QString problem;
        // The damaged file could not be moved aside: writing would destroy it.
        bool mustNotWrite = false;
    };
    // Also removes the temporary files a killed game left, when no other game
    // is writing. Reads once this run's writes (background_writes) are done.
    [[nodiscard]] Loaded load() const;
    // Under the lock: reads the file as it is now, applies change and writes
    // the result, creating the directory when missing. result (when given)
    // gets what was written. Returns false and says why in error; the file is
    // then as it was, and problem (when given) tells of what kind it was.
    // notice (when given) tells of a damaged file found and moved aside on the
    // way.
    [[nodiscard]] bool update(const std::function<void(Statistics&)>& change,
                              Statistics* result = nullptr, QString* error = nullptr,
                              QString* notice = nullptr, files::Problem* problem = nullptr) const;

    // Under the lock: the file as it is now is kept beside it as
    // path.bak-YYYYMMDD-HHMMSS (the time given), and empty statistics take its
    // place. backup (when given) gets the backup's path, empty when there was no
    // file to keep. Returns false and says why in error (of what kind in
    // problem); the file is then as it was.
    [[nodiscard]] bool startAfresh(const QDateTime& now, QString* backup = nullptr,
                                   QString* error = nullptr,
                                   files::Problem* problem = nullptr) const;

    // The file an earlier version kept at from is moved to this store's path,
    // once: when this one has no file yet. When both exist, the one here is
    // kept and the one at from is left where it is. Returns what the player
    // should be told, empty when there was nothing to move.
    [[nodiscard]] QString takeOver(const QString& from) const;

  private:
    [[nodiscard]] Loaded read(bool mayMoveAside) const;

    QString path_;
};

} // namespace storage
