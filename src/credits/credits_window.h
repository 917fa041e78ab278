#pragma once

#include "credit_entries.h"
#include "sound_player.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

// The credits window "Об авторах...": the entries pass one after another to
// looping music, then the window closes itself; a click, Esc or Ctrl+W
// closes it early.
//
// A top-level window that runs beside the game. Whoever opens it sets
// Qt::WA_DeleteOnClose, so that every opening builds a fresh window; a window
// that lives on after closing starts over from the first entry when shown again.
//
// Positions are kept in twips of the window design (15 twips = 1 pixel).
class CreditsWindow final : public QWidget {
    Q_OBJECT
  public:
    // The five phases of an entry, one timer each; exactly one timer runs at a time.
    enum class Phase { None, RoleFadeIn, NameSlideIn, Hold, NameSlideOut, RoleFadeOut };

    // The period of every phase timer.
    static constexpr int kTickMs = 15;
    // Where a name stands still, in twips from the window's left edge.
    static constexpr int kNameRestLeft = 360;
    static constexpr int kHoldTicks = 130;
    static constexpr int kLongHoldTicks = 350;

    // music: the window's own sound player. mainWindowWidth: the current width of
    // the main window in twips; names start from there, beyond the right edge.
    CreditsWindow(std::unique_ptr<SoundPlayer> music, std::function<int()> mainWindowWidth,
                  QWidget* parent = nullptr);
    ~CreditsWindow() override;

    [[nodiscard]] QLabel* roleLabel() const { return roleLabel_; }
    [[nodiscard]] QLabel* nameLabel() const { return nameLabel_; }
    [[nodiscard]] QLabel* addressLabel() const { return addressLabel_; }
    [[nodiscard]] QPushButton* closeButton() const { return closeButton_; }
    [[nodiscard]] SoundPlayer* music() const { return music_.get(); }
    [[nodiscard]] QTimer* timer(Phase phase) const;

    [[nodiscard]] const CreditTable& credits() const { return credits_; }
    [[nodiscard]] int entryIndex() const { return entryIndex_; }
    [[nodiscard]] int stepCounter() const { return stepCounter_; }
    [[nodiscard]] int holdTicks() const { return holdTicks_; }
    // The left edge of the name, in twips.
    [[nodiscard]] int nameLeft() const { return nameLeft_; }

    // The phase whose timer runs, None once the sequence has ended.
    [[nodiscard]] Phase runningPhase() const;
    // One step of the running phase, as if its timer had fired.
    void tick();

  signals:
    // An entry's name has come to rest with its role and address shown: what a
    // screen reader says once for the entry.
    void entryShown(int entry);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A click anywhere in the window, Esc or Ctrl+W closes it early.
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Sets every text in the language spoken now; the credits go on where they are.
    void retranslate();
    void applyDesign();
    void startCredits();

    void fadeInRole();
    void slideInName();
    void holdName();
    void slideOutName();
    void fadeOutRole();
    void closeButtonClicked();

    void handOver(Phase from, Phase to);
    void endSequence();
    void setRoleGrey(int grey);
    void placeName(int leftTwips);
    void loadNameAndAddress();
    [[nodiscard]] int mainWindowWidthTwips() const;

    std::unique_ptr<SoundPlayer> music_;
    std::function<int()> mainWindowWidth_;

    QLabel* roleLabel_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* addressLabel_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    std::array<QTimer*, 5> timers_{};

    CreditTable credits_;
    int entryIndex_ = 0;
    int stepCounter_ = 0;
    int holdTicks_ = kHoldTicks;
    int nameLeft_ = 0;
    bool loaded_ = false;
};
