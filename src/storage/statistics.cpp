#include "statistics.h"

#include "background_writes.h"
#include "kept_file.h"
#include "rounds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cmath>
#include <limits>

namespace storage {

namespace {

constexpr int kFormatVersion = 1;

// Reads the fields of one JSON object; the first wrong field is remembered and
// every later read gives 0.
class FieldReader {
  public:
    FieldReader(const QJsonObject& object, QString where)
        : object_(object), where_(std::move(where)) {}

    double amount(const QString& key) {
        const QJsonValue value = object_.value(key);
        if (!value.isDouble() ||
            !(value.toDouble() >= 0 && value.toDouble() <= Statistics::kMaxAmount))
            return fail(key, QStringLiteral("is not an amount"));
        return value.toDouble();
    }
    qint64 count(const QString& key) {
        const QJsonValue value = object_.value(key);
        const double number = value.toDouble(-1);
        if (!value.isDouble() || !(number >= 0 && number <= double(Statistics::kMaxCount)) ||
            number != std::floor(number))
            return static_cast<qint64>(fail(key, QStringLiteral("is not a count")));
        return static_cast<qint64>(number);
    }
    bool flag(const QString& key) {
        const QJsonValue value = object_.value(key);
        if (value.isUndefined())
            return false;
        if (!value.isBool())
            return fail(key, QStringLiteral("is not true or false")) != 0;
        return value.toBool();
    }
    QJsonArray array(const QString& key) {
        const QJsonValue value = object_.value(key);
        if (!value.isArray()) {
            fail(key, QStringLiteral("is not a list"));
            return {};
        }
        return value.toArray();
    }
    // The entries of a list, each an object that readEntry reads; what names
    // one entry in the errors.
    template <typename Entry, typename Read>
    std::vector<Entry> entries(const QJsonArray& list, const QString& what, Read readEntry) {
        std::vector<Entry> read;
        for (const QJsonValue& value : list) {
            const QJsonObject object = value.toObject();
            FieldReader fields(object, what + QStringLiteral(": "));
            require(value.isObject(), QStringLiteral("an %1 is not an object").arg(what));
            const Entry entry = readEntry(fields);
            require(fields.ok(), fields.error());
            read.push_back(entry);
        }
        return read;
    }
    void require(bool condition, const QString& what) {
        if (!condition && error_.isEmpty())
            error_ = where_ + what;
    }
    [[nodiscard]] bool ok() const { return error_.isEmpty(); }
    [[nodiscard]] const QString& error() const { return error_; }

  private:
    double fail(const QString& key, const QString& what) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1\"%2\" %3").arg(where_, key, what);
        return 0;
    }

    const QJsonObject& object_;
    QString where_;
    QString error_;
};

// The answers as the file names them, in the order of game::OfferAnswer
// (Unknown is not written).
const QLatin1String kAnswerNames[] = {QLatin1String(""), QLatin1String("declined"),
                                      QLatin1String("accepted"), QLatin1String("notAsked")};

// The answer and the amounts on the board are only told in the game's summary:
// kept when they make sense, else left unknown, so that they never make a file
// unreadable.
void readOfferDetails(const QJsonObject& entry, OfferRecord& offer) {
    const QString answer = entry.value(QStringLiteral("answer")).toString();
    for (size_t i = 1; i < std::size(kAnswerNames); ++i) {
        if (answer == kAnswerNames[i])
            offer.answer = static_cast<game::OfferAnswer>(i);
    }
    const QJsonValue onBoard = entry.value(QStringLiteral("onBoard"));
    if (!onBoard.isArray())
        return;
    std::array<bool, game::kCaseCount> ranks{};
    for (const QJsonValue& rank : onBoard.toArray()) {
        const int r = rank.toInt(-1);
        if (!rank.isDouble() || rank.toDouble() != r || r < 0 || r >= game::kCaseCount ||
            ranks[size_t(r)])
            return;
        ranks[size_t(r)] = true;
    }
    offer.onBoard = ranks;
}

QJsonObject gameToJson(const GameRecord& game) {
    QJsonArray offers;
    for (const OfferRecord& offer : game.offers) {
        QJsonObject entry{{QStringLiteral("boardAverage"), offer.boardAverage}};
        if (offer.exchange)
            entry.insert(QStringLiteral("exchange"), true);
        else
            entry.insert(QStringLiteral("amount"), offer.amount);
        if (offer.answer != game::OfferAnswer::Unknown)
            entry.insert(QStringLiteral("answer"), kAnswerNames[size_t(offer.answer)]);
        if (offer.onBoard) {
            QJsonArray ranks;
            for (int rank = 0; rank < game::kCaseCount; ++rank) {
                if ((*offer.onBoard)[size_t(rank)])
                    ranks.append(rank);
            }
            entry.insert(QStringLiteral("onBoard"), ranks);
        }
        offers.append(entry);
    }
    QJsonArray exchanges;
    for (const ExchangeRecord& exchange : game.exchanges)
        exchanges.append(QJsonObject{{QStringLiteral("given"), exchange.given},
                                     {QStringLiteral("taken"), exchange.taken}});
    QJsonObject object{{QStringLiteral("ownCase"), game.ownCaseAmount},
                       {QStringLiteral("offers"), offers},
                       {QStringLiteral("exchanges"), exchanges}};
    if (game.acceptedOffer)
        object.insert(QStringLiteral("acceptedOffer"), *game.acceptedOffer);
    if (game.acceptedAt)
        object.insert(QStringLiteral("acceptedAt"), *game.acceptedAt);
    return object;
}

std::optional<GameRecord> gameFromJson(const QJsonObject& object, QString* error) {
    GameRecord game;
    FieldReader fields(object, QStringLiteral("last game: "));
    game.ownCaseAmount = fields.amount(QStringLiteral("ownCase"));
    if (object.contains(QStringLiteral("acceptedOffer")))
        game.acceptedOffer = fields.amount(QStringLiteral("acceptedOffer"));
    const QJsonArray offers = fields.array(QStringLiteral("offers"));
    const QJsonArray exchanges = fields.array(QStringLiteral("exchanges"));
    game.offers = fields.entries<OfferRecord>(offers, QStringLiteral("offer"), [](FieldReader& f) {
        OfferRecord offer;
        offer.exchange = f.flag(QStringLiteral("exchange"));
        if (!offer.exchange)
            offer.amount = f.amount(QStringLiteral("amount"));
        offer.boardAverage = f.amount(QStringLiteral("boardAverage"));
        return offer;
    });
    for (size_t i = 0; i < game.offers.size(); ++i)
        readOfferDetails(offers.at(qsizetype(i)).toObject(), game.offers[i]);
    game.exchanges = fields.entries<
        ExchangeRecord>(exchanges, QStringLiteral("exchange"), [](FieldReader& f) {
        return ExchangeRecord{f.amount(QStringLiteral("given")), f.amount(QStringLiteral("taken"))};
    });
    // A game makes an offer at the end of each round, and each exchange taken
    // answers one.
    fields.require(game.offers.size() <= size_t(game::kOffersPerGame),
                   QStringLiteral("more offers than a game can make"));
    fields.require(game.exchanges.size() <= game.offers.size(),
                   QStringLiteral("more exchanges than offers"));
    if (!fields.ok()) {
        if (error)
            *error = fields.error();
        return std::nullopt;
    }
    // Only marks the chart: kept when it names a money offer of the amount
    // accepted, else left unknown.
    const QJsonValue at = object.value(QStringLiteral("acceptedAt"));
    const int index = at.isDouble() ? at.toInt(-1) : -1;
    if (game.acceptedOffer && index >= 0 && size_t(index) < game.offers.size() &&
        !game.offers[size_t(index)].exchange &&
        game.offers[size_t(index)].amount == *game.acceptedOffer)
        game.acceptedAt = index;
    return game;
}

// A name next to path that no file has yet: path.damaged, path.damaged-2, ...
QString asideName(const QString& path) {
    QString name = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = path + QStringLiteral(".damaged-%1").arg(n);
    return name;
}

} // namespace

namespace {
void countUp(qint64& count) {
    count = std::min(count + 1, Statistics::kMaxCount);
}
double added(double total, double amount) {
    return std::clamp(total + amount, -Statistics::kMaxAmount, Statistics::kMaxAmount);
}
} // namespace

void Statistics::addLeftGame() {
    countUp(gamesLeft_);
}

void Statistics::addGame(const GameRecord& game) {
    lastGame_ = game;
    // Every count stops once the games stop being counted: a deal or an
    // exchange counted past the games would make a file no run reads.
    if (gamesPlayed_ == kMaxCount)
        return;
    countUp(gamesPlayed_);
    const double winnings = game.winnings();
    totalWinnings_ = added(totalWinnings_, winnings);
    bestWinnings_ = std::max(bestWinnings_, winnings);
    if (game.acceptedOffer) {
        const double deal = *game.acceptedOffer;
        if (deal > game.ownCaseAmount)
            countUp(dealsAbove_);
        else if (deal < game.ownCaseAmount)
            countUp(dealsBelow_);
        else
            countUp(dealsEven_);
        dealsGain_ = added(dealsGain_, deal - game.ownCaseAmount);
    }
    for (const ExchangeRecord& exchange : game.exchanges) {
        countUp(exchangesTaken_);
        if (exchange.taken > exchange.given)
            countUp(exchangesPaidOff_);
    }
}

double Statistics::averageWinnings() const {
    return gamesPlayed_ == 0 ? 0 : totalWinnings_ / gamesPlayed_;
}

QJsonObject Statistics::toJson() const {
    QJsonObject object{
        {QStringLiteral("version"), kFormatVersion},
        {QStringLiteral("gamesPlayed"), gamesPlayed_},
        {QStringLiteral("gamesLeft"), gamesLeft_},
        {QStringLiteral("totalWinnings"), totalWinnings_},
        {QStringLiteral("bestWinnings"), bestWinnings_},
        {QStringLiteral("dealsAboveOwnCase"), dealsAbove_},
        {QStringLiteral("dealsBelowOwnCase"), dealsBelow_},
        {QStringLiteral("dealsEqualToOwnCase"), dealsEven_},
        {QStringLiteral("dealsGain"), dealsGain_},
        {QStringLiteral("exchangesTaken"), exchangesTaken_},
        {QStringLiteral("exchangesPaidOff"), exchangesPaidOff_},
    };
    if (lastGame_)
        object.insert(QStringLiteral("lastGame"), gameToJson(*lastGame_));
    return object;
}

std::optional<Statistics> Statistics::fromJson(const QJsonObject& object, QString* error) {
    Statistics s;
    FieldReader fields(object, QString());
    fields.require(object.value(QStringLiteral("version")).toInt() == kFormatVersion,
                   QStringLiteral("not version %1 of the statistics").arg(kFormatVersion));
    s.gamesPlayed_ = fields.count(QStringLiteral("gamesPlayed"));
    // Files written before games left were counted have none.
    if (object.contains(QStringLiteral("gamesLeft")))
        s.gamesLeft_ = fields.count(QStringLiteral("gamesLeft"));
    s.totalWinnings_ = fields.amount(QStringLiteral("totalWinnings"));
    s.bestWinnings_ = fields.amount(QStringLiteral("bestWinnings"));
    s.dealsAbove_ = fields.count(QStringLiteral("dealsAboveOwnCase"));
    s.dealsBelow_ = fields.count(QStringLiteral("dealsBelowOwnCase"));
    s.dealsEven_ = fields.count(QStringLiteral("dealsEqualToOwnCase"));
    const QJsonValue gain = object.value(QStringLiteral("dealsGain"));
    fields.require(gain.isDouble() && std::fabs(gain.toDouble()) <= kMaxAmount,
                   QStringLiteral("\"dealsGain\" is not a number"));
    s.dealsGain_ = gain.toDouble();
    s.exchangesTaken_ = fields.count(QStringLiteral("exchangesTaken"));
    s.exchangesPaidOff_ = fields.count(QStringLiteral("exchangesPaidOff"));
    // Each game adds at most one deal; the best game is one of the games.
    fields.require(s.dealsAbove_ + s.dealsBelow_ + s.dealsEven_ <= s.gamesPlayed_,
                   QStringLiteral("more deals than games"));
    fields.require(s.exchangesPaidOff_ <= s.exchangesTaken_,
                   QStringLiteral("more exchanges paid off than taken"));
    fields.require(s.bestWinnings_ <= s.totalWinnings_,
                   QStringLiteral("best winnings above the total"));
    const QJsonValue last = object.value(QStringLiteral("lastGame"));
    fields.require(last.isUndefined() == (s.gamesPlayed_ == 0),
                   QStringLiteral("the last game does not match the number of games"));
    if (fields.ok() && last.isObject()) {
        QString gameError;
        s.lastGame_ = gameFromJson(last.toObject(), &gameError);
        fields.require(s.lastGame_.has_value(), gameError);
    }
    if (!fields.ok()) {
        if (error)
            *error = fields.error();
        return std::nullopt;
    }
    return s;
}

StatisticsStore::Loaded StatisticsStore::load() const {
    background_writes::wait(); // what this run has asked to write counts
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).absoluteDir().exists())
        return {}; // nothing written yet: the folder is made by the first write
    kept_file::Lock lock(path_);
    QString lockError;
    // Never waits: a game writing now leaves a whole file to read all the same.
    const bool locked = lock.take(0, &lockError);
    if (locked)
        kept_file::removeLeftovers(path_);
    Loaded loaded = read(locked);
    if (!locked && loaded.problem.isEmpty() && QFileInfo::exists(path_))
        loaded.problem = QStringLiteral("statistics file %1: %2").arg(path_, lockError);
    return loaded;
}

StatisticsStore::Loaded StatisticsStore::read(bool mayMoveAside) const {
    Loaded loaded;
    // A file larger than any the game writes is not read whole.
    constexpr qint64 kLargest = 1 << 20;
    const kept_file::Read file = kept_file::read(path_, kLargest);
    if (!file.exists)
        return loaded;
    QString problem;
    if (!file.error.isEmpty() && !QFileInfo(path_).isFile()) {
        // A named pipe, a device or a folder is never moved aside nor replaced.
        loaded.mustNotWrite = true;
        loaded.problem =
            QStringLiteral("statistics file %1 %2; statistics are not kept in this run")
                .arg(path_, file.error);
        return loaded;
    }
    if (!file.error.isEmpty()) {
        problem = file.error.startsWith(QLatin1String("is "))
                      ? file.error
                      : QStringLiteral("cannot be read (%1)").arg(file.error);
    } else {
        QJsonParseError parseError{};
        const QByteArray& bytes = file.bytes;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            problem = QStringLiteral("is not JSON (%1 at byte %2)")
                          .arg(parseError.errorString())
                          .arg(parseError.offset);
        } else if (!document.isObject()) {
            problem = QStringLiteral("is not a JSON object");
        } else {
            QString error;
            if (const std::optional<Statistics> read =
                    Statistics::fromJson(document.object(), &error)) {
                loaded.statistics = *read;
                return loaded;
            }
            problem = QStringLiteral("is damaged (%1)").arg(error);
        }
    }
    if (!mayMoveAside) {
        // Another game is writing: the file is moved aside by the next change.
        loaded.problem = QStringLiteral("statistics file %1 %2; left as it is while another game "
                                        "writes it")
                             .arg(path_, problem);
        return loaded;
    }
    const QString aside = asideName(path_);
    if (QFile::rename(path_, aside)) {
        loaded.problem =
            QStringLiteral("statistics file %1 %2; kept as %3, statistics start afresh")
                .arg(path_, problem, aside);
    } else {
        loaded.mustNotWrite = true;
        loaded.problem = QStringLiteral("statistics file %1 %2 and cannot be moved aside; "
                                        "statistics are not kept in this run")
                             .arg(path_, problem);
    }
    return loaded;
}

bool StatisticsStore::update(const std::function<void(Statistics&)>& change, Statistics* result,
                             QString* error, QString* notice, files::Problem* problem) const {
    kept_file::Lock lock(path_);
    if (!lock.take(kept_file::kLockWaitMs, error, problem))
        return false;
    Loaded now = read(true);
    if (now.mustNotWrite) {
        if (error)
            *error = now.problem;
        if (problem)
            *problem = files::Problem::Other;
        return false;
    }
    if (notice)
        *notice = now.problem;
    change(now.statistics);
    if (!kept_file::replace(path_, QJsonDocument(now.statistics.toJson()).toJson(), error, problem))
        return false;
    if (result)
        *result = now.statistics;
    return true;
}

bool StatisticsStore::startAfresh(const QDateTime& now, QString* backup, QString* error,
                                  files::Problem* problem) const {
    kept_file::Lock lock(path_);
    if (!lock.take(kept_file::kLockWaitMs, error, problem))
        return false;
    QString kept;
    QFile file(path_);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = file.errorString();
            if (problem)
                *problem = files::Problem::Other;
            return false;
        }
        const QByteArray bytes = file.readAll();
        file.close();
        kept = path_ + QStringLiteral(".bak-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
        for (int n = 2; QFileInfo::exists(kept); ++n)
            kept = path_ + QStringLiteral(".bak-%1-%2")
                               .arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss")))
                               .arg(n);
        if (!kept_file::replace(kept, bytes, error, problem))
            return false;
    }
    if (!kept_file::replace(path_, QJsonDocument(Statistics().toJson()).toJson(), error, problem))
        return false;
    if (backup)
        *backup = kept;
    return true;
}

QString StatisticsStore::takeOver(const QString& from) const {
    if (from == path_ || !QFileInfo::exists(from))
        return {};
    if (QFileInfo::exists(path_))
        return QStringLiteral("statistics file %1 is kept; an older one at %2 is left as it is")
            .arg(path_, from);
    kept_file::Lock oldLock(from);
    kept_file::Lock newLock(path_);
    QString error;
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()) ||
        !oldLock.take(kept_file::kLockWaitMs, &error) ||
        !newLock.take(kept_file::kLockWaitMs, &error) || QFileInfo::exists(path_) ||
        !QFile::rename(from, path_)) {
        return QStringLiteral("cannot move the statistics file %1 to %2%3; it is left where it is")
            .arg(from, path_, error.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(error));
    }
    return QStringLiteral("statistics file moved from %1 to %2").arg(from, path_);
}

} // namespace storage
