#pragma once

#include "regular_file.h"
#include "statistics.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace storage {

// This run's statistics: the figures shown, and the file they are kept in.
// Each change is applied at once to the figures shown and written to the file
// on the writing thread (background_writes), never on the caller's. A change
// the file cannot take is said once on stderr, kept and tried again with the
// next change, and once more at quit. Lives on the window's thread.
class StatisticsKeeper final : public QObject {
    Q_OBJECT

  public:
    using Change = std::function<void(Statistics&)>;

    // Reads the file at path, after moving the one earlier versions kept at
    // earlierPath there (when given). What was wrong with either is said on
    // stderr.
    explicit StatisticsKeeper(QString path, const QString& earlierPath = {});
    // Waits for the writes under way; writes nothing itself (writeUnsavedAtQuit).
    ~StatisticsKeeper() override;
    StatisticsKeeper(const StatisticsKeeper&) = delete;
    StatisticsKeeper& operator=(const StatisticsKeeper&) = delete;

    [[nodiscard]] const QString& path() const { return store_.path(); }
    // With what other games running at once have added, as of the last write.
    [[nodiscard]] const Statistics& statistics() const { return statistics_; }

    void keep(const Change& change);
    // The file is kept beside as a backup and the statistics start from
    // nothing. False when that could not be done; problemText() says why.
    bool startAfresh();
    // The changes the file could not take are tried once more, waiting for the
    // writing thread first; what is lost then is said on stderr.
    void writeUnsavedAtQuit();

    // Why the file does not hold this run's statistics, in the language spoken
    // now; empty when it does.
    [[nodiscard]] QString problemText() const;
    // How many changes the file has not taken yet.
    [[nodiscard]] int unsavedChanges() const;

  signals:
    // The figures or the problem have changed.
    void changed();

  private:
    // Why the last write failed: its kind, and the system's words for stderr.
    struct Problem {
        files::Problem kind = files::Problem::None;
        QString error;
        bool damagedInPlace = false; // the file is damaged and could not be moved aside
    };

    void write();
    void written(bool done, const Statistics& saved, const Problem& problem, const QString& notice);

    StatisticsStore store_;
    Statistics statistics_;
    // Off when the file is damaged and could not be kept aside.
    bool saving_ = true;
    // The changes the file has not taken yet, shared with the writing thread.
    struct Unsaved {
        std::mutex mutex;
        std::vector<Change> changes;
    };
    std::shared_ptr<Unsaved> unsaved_ = std::make_shared<Unsaved>();
    Problem problem_;
};

} // namespace storage
