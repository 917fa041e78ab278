#include "statistics_keeper.h"

#include "background_writes.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

namespace storage {

namespace {

void reportOnStderr(const QString& message) {
    std::fprintf(stderr, "zorban: %s\n", qPrintable(message));
}

// Every change in turn, as one.
StatisticsKeeper::Change allOf(std::vector<StatisticsKeeper::Change> changes) {
    return [changes = std::move(changes)](Statistics& statistics) {
        for (const auto& change : changes)
            change(statistics);
    };
}

} // namespace

StatisticsKeeper::StatisticsKeeper(QString path, const QString& earlierPath)
    : store_(std::move(path)) {
    if (!earlierPath.isEmpty()) {
        if (const QString moved = store_.takeOver(earlierPath); !moved.isEmpty())
            reportOnStderr(moved);
    }
    const StatisticsStore::Loaded loaded = store_.load();
    statistics_ = loaded.statistics;
    saving_ = !loaded.mustNotWrite;
    if (!loaded.problem.isEmpty())
        reportOnStderr(loaded.problem);
}

StatisticsKeeper::~StatisticsKeeper() {
    background_writes::wait(); // the writes under way answer to this object
}

void StatisticsKeeper::keep(const Change& change) {
    change(statistics_); // shown even when the file cannot take it
    if (saving_) {
        {
            const std::lock_guard<std::mutex> lock(unsaved_->mutex);
            unsaved_->changes.push_back(change);
        }
        write();
    }
    emit changed();
}

void StatisticsKeeper::write() {
    // Runs after every write asked for before; the destructor waits for it.
    background_writes::post([this, store = store_, unsaved = unsaved_] {
        std::vector<Change> changes;
        {
            const std::lock_guard<std::mutex> lock(unsaved->mutex);
            changes = unsaved->changes;
        }
        if (changes.empty())
            return; // an earlier write took them
        Statistics saved;
        Problem problem;
        QString notice;
        const bool done =
            store.update(allOf(changes), &saved, &problem.error, &notice, &problem.kind);
        if (done) {
            const std::lock_guard<std::mutex> lock(unsaved->mutex);
            unsaved->changes.erase(unsaved->changes.begin(),
                                   unsaved->changes.begin() + qsizetype(changes.size()));
        }
        QMetaObject::invokeMethod(
            this, [this, done, saved, problem, notice] { written(done, saved, problem, notice); },
            Qt::QueuedConnection);
    });
}

void StatisticsKeeper::written(bool done, const Statistics& saved, const Problem& problem,
                               const QString& notice) {
    if (!notice.isEmpty())
        reportOnStderr(notice);
    if (done) {
        statistics_ = saved; // with what other games have added meanwhile
        const std::lock_guard<std::mutex> lock(unsaved_->mutex);
        for (const auto& change : unsaved_->changes)
            change(statistics_); // still on their way to the file
        problem_ = {};
    } else if (problem_.kind == files::Problem::None) {
        problem_ = problem;
        if (problem_.kind == files::Problem::None)
            problem_.kind = files::Problem::Other;
        reportOnStderr(QStringLiteral("cannot write the statistics to %1 (%2); the file is "
                                      "kept as it was, and this run tries again after the "
                                      "next game")
                           .arg(store_.path(), problem.error));
    }
    emit changed();
}

bool StatisticsKeeper::startAfresh() {
    if (!saving_) {
        problem_.kind = files::Problem::Other;
        problem_.damagedInPlace = true;
        emit changed();
        return false;
    }
    background_writes::wait();
    QString backup;
    Problem problem;
    if (!store_.startAfresh(QDateTime::currentDateTime(), &backup, &problem.error, &problem.kind)) {
        problem_ = problem;
        if (problem_.kind == files::Problem::None)
            problem_.kind = files::Problem::Other;
        emit changed();
        return false;
    }
    statistics_ = Statistics();
    {
        const std::lock_guard<std::mutex> lock(unsaved_->mutex);
        unsaved_->changes.clear();
    }
    problem_ = {};
    if (!backup.isEmpty())
        reportOnStderr(
            QStringLiteral("statistics started afresh; the old ones are kept as %1").arg(backup));
    emit changed();
    return true;
}

void StatisticsKeeper::writeUnsavedAtQuit() {
    background_writes::wait();
    std::vector<Change> changes;
    {
        const std::lock_guard<std::mutex> lock(unsaved_->mutex);
        changes = unsaved_->changes;
    }
    if (changes.empty())
        return;
    QString error;
    if (store_.update(allOf(changes), nullptr, &error)) {
        const std::lock_guard<std::mutex> lock(unsaved_->mutex);
        unsaved_->changes.clear();
        reportOnStderr(QStringLiteral("the statistics the file could not take earlier are "
                                      "written to %1 now")
                           .arg(store_.path()));
        return;
    }
    reportOnStderr(QStringLiteral("cannot write the statistics to %1 (%2) at quit: %3 "
                                  "change(s) of this run are not kept")
                       .arg(store_.path(), error)
                       .arg(changes.size()));
}

QString StatisticsKeeper::problemText() const {
    if (problem_.damagedInPlace)
        return QCoreApplication::translate("StatisticsKeeper",
                                           "файл статистики повреждён и не отложен");
    if (problem_.kind == files::Problem::None)
        return {};
    // What stands in the way is where the lock of the file belongs; anything
    // else is about the file's place.
    const QString place =
        files::standsInTheWay(problem_.kind) ? path() + QStringLiteral(".lock") : path();
    return files::playerText(problem_.kind, place, problem_.error);
}

int StatisticsKeeper::unsavedChanges() const {
    const std::lock_guard<std::mutex> lock(unsaved_->mutex);
    return int(unsaved_->changes.size());
}

} // namespace storage
