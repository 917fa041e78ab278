#include "credits_window.h"

#include "credits_accessible.h"

#include "game_fonts.h"
#include "language.h"
#include "media_files.h"
#include "twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kClientWidth = 7350;
constexpr int kClientHeight = 2085;

constexpr int kNameTop = 720;
constexpr int kNameWidth = 7095;
constexpr int kNameHeight = 615;

constexpr int kSlideStep = 200;
// A name that comes closer than this to the left edge is put at its resting place.
constexpr int kSlideInLimit = 371;
constexpr int kFadeStep = 5;
constexpr int kWhite = 255;
constexpr int kHoldFromEntry = 9;
constexpr int kSmallNameEntry = 10;
constexpr double kSmallNamePoints = 22;

const QColor kNameColour(192, 192, 0);
const QColor kAddressColour(255, 255, 192);

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

constexpr int timerSlot(CreditsWindow::Phase phase) {
    return static_cast<int>(phase) - 1;
}

} // namespace

CreditsWindow::CreditsWindow(std::unique_ptr<SoundPlayer> music,
                             std::function<int()> mainWindowWidth, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      music_(std::move(music)), mainWindowWidth_(std::move(mainWindowWidth)),
      roleLabel_(new QLabel(this)), nameLabel_(new QLabel(this)), addressLabel_(new QLabel(this)),
      closeButton_(new QPushButton(this)) {
    credits::installAccessibility();
    retranslate();
    i18n::followLanguage(this, [this] { retranslate(); });
    setFixedSize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    for (QTimer*& timer : timers_) {
        timer = new QTimer(this);
        timer->setInterval(kTickMs);
    }
    connect(timer(Phase::RoleFadeIn), &QTimer::timeout, this, &CreditsWindow::fadeInRole);
    connect(timer(Phase::NameSlideIn), &QTimer::timeout, this, &CreditsWindow::slideInName);
    connect(timer(Phase::Hold), &QTimer::timeout, this, &CreditsWindow::holdName);
    connect(timer(Phase::NameSlideOut), &QTimer::timeout, this, &CreditsWindow::slideOutName);
    connect(timer(Phase::RoleFadeOut), &QTimer::timeout, this, &CreditsWindow::fadeOutRole);
    connect(closeButton_, &QPushButton::clicked, this, &CreditsWindow::closeButtonClicked);

    applyDesign();
}

CreditsWindow::~CreditsWindow() = default;

QTimer* CreditsWindow::timer(Phase phase) const {
    return phase == Phase::None ? nullptr : timers_[timerSlot(phase)];
}

CreditsWindow::Phase CreditsWindow::runningPhase() const {
    for (const Phase phase : {Phase::RoleFadeIn, Phase::NameSlideIn, Phase::Hold,
                              Phase::NameSlideOut, Phase::RoleFadeOut}) {
        if (timer(phase)->isActive())
            return phase;
    }
    return Phase::None;
}

void CreditsWindow::tick() {
    switch (runningPhase()) {
    case Phase::RoleFadeIn:
        fadeInRole();
        break;
    case Phase::NameSlideIn:
        slideInName();
        break;
    case Phase::Hold:
        holdName();
        break;
    case Phase::NameSlideOut:
        slideOutName();
        break;
    case Phase::RoleFadeOut:
        fadeOutRole();
        break;
    case Phase::None:
        break;
    }
}

void CreditsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        applyDesign();
        startCredits();
    }
}

void CreditsWindow::closeEvent(QCloseEvent* event) {
    for (QTimer* timer : timers_)
        timer->stop();
    if (music_)
        music_->stop();
    loaded_ = false;
    event->accept();
}

void CreditsWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    closeButtonClicked();
}

void CreditsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel) || event->matches(QKeySequence::Close) ||
        (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
        event->accept();
        closeButtonClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CreditsWindow::retranslate() {
    setWindowTitle(tr("Об авторах..."));
    closeButton_->setText(tr("Закрыть"));
    if (!loaded_)
        return; // the entries are read when the credits start
    credits_ = creditEntries();
    // While a role fades out, the entry has already moved on to the next one.
    const int roleEntry =
        runningPhase() == Phase::RoleFadeOut ? std::max(entryIndex_ - 1, 0) : entryIndex_;
    roleLabel_->setText(credits_[roleEntry].role);
    loadNameAndAddress();
}

// The controls as the window was designed, before the load handler runs.
void CreditsWindow::applyDesign() {
    roleLabel_->setGeometry(twips::toPixels(twips::Rect{120, 120, 4815, 495}));
    roleLabel_->setFont(fonts::caption(20.25, true));
    roleLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(roleLabel_, Qt::white);

    nameLabel_->setGeometry(twips::toPixels(twips::Rect{120, kNameTop, kNameWidth, kNameHeight}));
    nameLeft_ = 120;
    nameLabel_->setFont(fonts::caption(27.75, true, true));
    nameLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(nameLabel_, kNameColour);

    addressLabel_->setGeometry(twips::toPixels(twips::Rect{1680, 1440, 4935, 495}));
    addressLabel_->setFont(fonts::caption(12, false));
    addressLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextColour(addressLabel_, kAddressColour);
    addressLabel_->hide();

    closeButton_->setGeometry(twips::toPixels(twips::Rect{120, 1440, 1215, 315}));
    closeButton_->hide();

    for (QTimer* timer : timers_)
        timer->stop();

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void CreditsWindow::startCredits() {
    loaded_ = true;
    entryIndex_ = 0;
    credits_ = creditEntries();
    holdTicks_ = kHoldTicks;
    timer(Phase::RoleFadeIn)->start();
    if (music_) {
        music_->start(
            media::locate(media::currentDirectory(), media::soundFile(media::Sound::Credits)));
        music_->setLooping(true);
    }
    setRoleGrey(0);
    roleLabel_->setText(credits_[0].role);
    nameLabel_->setText(credits_[0].name);
    addressLabel_->setText(credits_[0].address);
    placeName(mainWindowWidthTwips());
    stepCounter_ = 0;
}

void CreditsWindow::fadeInRole() {
    setRoleGrey(stepCounter_);
    stepCounter_ += kFadeStep;
    if (stepCounter_ >= kWhite)
        handOver(Phase::RoleFadeIn, Phase::NameSlideIn);
}

void CreditsWindow::slideInName() {
    if (entryIndex_ == kHoldFromEntry)
        holdTicks_ = kLongHoldTicks;
    if (entryIndex_ == kSmallNameEntry) {
        QFont font = nameLabel_->font();
        font.setPixelSize(fonts::pixels(kSmallNamePoints));
        nameLabel_->setFont(font);
    }
    placeName(nameLeft_ - kSlideStep);
    if (nameLeft_ < kSlideInLimit) {
        placeName(kNameRestLeft);
        addressLabel_->show();
        stepCounter_ = 0;
        handOver(Phase::NameSlideIn, Phase::Hold);
        emit entryShown(entryIndex_);
    }
}

void CreditsWindow::holdName() {
    ++stepCounter_;
    if (stepCounter_ == holdTicks_)
        handOver(Phase::Hold, Phase::NameSlideOut);
}

void CreditsWindow::slideOutName() {
    addressLabel_->hide();
    placeName(nameLeft_ - kSlideStep);
    if (nameLeft_ >= -kNameWidth)
        return;

    stepCounter_ = kWhite;
    const bool sameRole = credits_[entryIndex_].role == credits_[entryIndex_ + 1].role;
    ++entryIndex_;
    loadNameAndAddress();
    if (!sameRole) {
        // The name stays out of sight on the left until the new role has faded in.
        handOver(Phase::NameSlideOut, Phase::RoleFadeOut);
        return;
    }
    if (entryIndex_ >= kCreditEntryCount) {
        endSequence();
        return;
    }
    placeName(mainWindowWidthTwips());
    handOver(Phase::NameSlideOut, Phase::NameSlideIn);
}

void CreditsWindow::fadeOutRole() {
    if (entryIndex_ >= kCreditEntryCount) {
        endSequence();
        return;
    }
    setRoleGrey(stepCounter_);
    stepCounter_ -= kFadeStep;
    if (stepCounter_ > 0)
        return;
    setRoleGrey(0);
    roleLabel_->setText(credits_[entryIndex_].role);
    placeName(mainWindowWidthTwips());
    stepCounter_ = 0;
    handOver(Phase::RoleFadeOut, Phase::RoleFadeIn);
}

void CreditsWindow::closeButtonClicked() {
    if (music_)
        music_->setLooping(false);
    close();
}

void CreditsWindow::handOver(Phase from, Phase to) {
    timer(to)->start();
    timer(from)->stop();
}

void CreditsWindow::endSequence() {
    for (QTimer* timer : timers_)
        timer->stop();
    close();
}

void CreditsWindow::setRoleGrey(int grey) {
    setTextColour(roleLabel_, QColor(grey, grey, grey));
}

void CreditsWindow::placeName(int leftTwips) {
    nameLeft_ = leftTwips;
    nameLabel_->move(twips::toPixels(leftTwips), twips::toPixels(kNameTop));
}

void CreditsWindow::loadNameAndAddress() {
    nameLabel_->setText(credits_[entryIndex_].name);
    addressLabel_->setText(credits_[entryIndex_].address);
}

int CreditsWindow::mainWindowWidthTwips() const {
    return mainWindowWidth_ ? mainWindowWidth_() : kClientWidth;
}
