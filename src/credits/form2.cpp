#include "form2.h"

#include "game_fonts.h"
#include "media_files.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

// Twips of the window design to pixels, rounded to the nearest pixel.
constexpr int pixels(int twips) {
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

constexpr QRect twipRect(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

constexpr int kClientWidth = 7350;
constexpr int kClientHeight = 2085;

constexpr int kName1Top = 720;
constexpr int kName1Width = 7095;
constexpr int kName1Height = 615;

constexpr int kSlideStep = 200;
// A name that comes closer than this to the left edge is put at its resting place.
constexpr int kSlideInLimit = 371;
constexpr int kFadeStep = 5;
constexpr int kWhite = 255;
constexpr int kHoldFromEntry = 9;
constexpr int kSmallNameEntry = 10;
constexpr double kSmallNamePoints = 22;

const QColor kNameColour(192, 192, 0);
const QColor kMailColour(255, 255, 192);

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

constexpr int timerSlot(Form2::Phase phase) {
    return static_cast<int>(phase) - 1;
}

} // namespace

Form2::Form2(std::unique_ptr<SoundPlayer> mp1, std::function<int()> mainWindowWidth,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      mp1_(std::move(mp1)), mainWindowWidth_(std::move(mainWindowWidth)), rank_(new QLabel(this)),
      name1_(new QLabel(this)), mail_(new QLabel(this)),
      command1_(new QPushButton(QStringLiteral("Закрыть"), this)) {
    setWindowTitle(QStringLiteral("Об авторах..."));
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    for (QTimer*& timer : timers_) {
        timer = new QTimer(this);
        timer->setInterval(kTickMs);
    }
    connect(timer(Phase::RoleFadeIn), &QTimer::timeout, this, &Form2::fadeInRole);
    connect(timer(Phase::NameSlideIn), &QTimer::timeout, this, &Form2::slideInName);
    connect(timer(Phase::Hold), &QTimer::timeout, this, &Form2::holdName);
    connect(timer(Phase::NameSlideOut), &QTimer::timeout, this, &Form2::slideOutName);
    connect(timer(Phase::RoleFadeOut), &QTimer::timeout, this, &Form2::fadeOutRole);
    connect(command1_, &QPushButton::clicked, this, &Form2::closeButtonClicked);

    applyDesign();
}

Form2::~Form2() = default;

QTimer* Form2::timer(Phase phase) const {
    return phase == Phase::None ? nullptr : timers_[timerSlot(phase)];
}

Form2::Phase Form2::runningPhase() const {
    for (const Phase phase : {Phase::RoleFadeIn, Phase::NameSlideIn, Phase::Hold,
                              Phase::NameSlideOut, Phase::RoleFadeOut}) {
        if (timer(phase)->isActive())
            return phase;
    }
    return Phase::None;
}

void Form2::tick() {
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

void Form2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        applyDesign();
        formLoad();
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    for (QTimer* timer : timers_)
        timer->stop();
    if (mp1_)
        mp1_->stop();
    loaded_ = false;
    event->accept();
}

// The controls as the window was designed, before the load handler runs.
void Form2::applyDesign() {
    rank_->setGeometry(twipRect(120, 120, 4815, 495));
    rank_->setFont(fonts::caption(20.25, true));
    rank_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(rank_, Qt::white);

    name1_->setGeometry(twipRect(120, kName1Top, kName1Width, kName1Height));
    name1Left_ = 120;
    name1_->setFont(fonts::caption(27.75, true, true));
    name1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(name1_, kNameColour);

    mail_->setGeometry(twipRect(1680, 1440, 4935, 495));
    mail_->setFont(fonts::caption(12, false));
    mail_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextColour(mail_, kMailColour);
    mail_->hide();

    command1_->setGeometry(twipRect(120, 1440, 1215, 315));
    command1_->hide();

    for (QTimer* timer : timers_)
        timer->stop();

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form2::formLoad() {
    loaded_ = true;
    entryIndex_ = 0;
    credits_ = creditEntries();
    holdTicks_ = kHoldTicks;
    timer(Phase::RoleFadeIn)->start();
    if (mp1_) {
        mp1_->setFileName(media::locate(QDir::currentPath(), media::kSoundCredits));
        mp1_->setPlayCount(0);
    }
    setRankGrey(0);
    rank_->setText(credits_[0].role);
    name1_->setText(credits_[0].name);
    mail_->setText(credits_[0].address);
    placeName1(mainWindowWidthTwips());
    stepCounter_ = 0;
}

void Form2::fadeInRole() {
    setRankGrey(stepCounter_);
    stepCounter_ += kFadeStep;
    if (stepCounter_ >= kWhite)
        handOver(Phase::RoleFadeIn, Phase::NameSlideIn);
}

void Form2::slideInName() {
    if (entryIndex_ == kHoldFromEntry)
        holdTicks_ = kLongHoldTicks;
    if (entryIndex_ == kSmallNameEntry) {
        QFont font = name1_->font();
        font.setPixelSize(fonts::pixels(kSmallNamePoints));
        name1_->setFont(font);
    }
    placeName1(name1Left_ - kSlideStep);
    if (name1Left_ < kSlideInLimit) {
        placeName1(kNameRestLeft);
        mail_->show();
        stepCounter_ = 0;
        handOver(Phase::NameSlideIn, Phase::Hold);
    }
}

void Form2::holdName() {
    ++stepCounter_;
    if (stepCounter_ == holdTicks_)
        handOver(Phase::Hold, Phase::NameSlideOut);
}

void Form2::slideOutName() {
    mail_->hide();
    placeName1(name1Left_ - kSlideStep);
    if (name1Left_ >= -kName1Width)
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
    placeName1(mainWindowWidthTwips());
    handOver(Phase::NameSlideOut, Phase::NameSlideIn);
}

void Form2::fadeOutRole() {
    if (entryIndex_ >= kCreditEntryCount) {
        endSequence();
        return;
    }
    setRankGrey(stepCounter_);
    stepCounter_ -= kFadeStep;
    if (stepCounter_ > 0)
        return;
    setRankGrey(0);
    rank_->setText(credits_[entryIndex_].role);
    placeName1(mainWindowWidthTwips());
    stepCounter_ = 0;
    handOver(Phase::RoleFadeOut, Phase::RoleFadeIn);
}

void Form2::closeButtonClicked() {
    if (mp1_)
        mp1_->setPlayCount(1);
    close();
}

void Form2::handOver(Phase from, Phase to) {
    timer(to)->start();
    timer(from)->stop();
}

void Form2::endSequence() {
    for (QTimer* timer : timers_)
        timer->stop();
    close();
}

void Form2::setRankGrey(int grey) {
    setTextColour(rank_, QColor(grey, grey, grey));
}

void Form2::placeName1(int leftTwips) {
    name1Left_ = leftTwips;
    name1_->move(pixels(leftTwips), pixels(kName1Top));
}

void Form2::loadNameAndAddress() {
    name1_->setText(credits_[entryIndex_].name);
    mail_->setText(credits_[entryIndex_].address);
}

int Form2::mainWindowWidthTwips() const {
    return mainWindowWidth_ ? mainWindowWidth_() : kClientWidth;
}
