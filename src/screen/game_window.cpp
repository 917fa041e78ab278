#include "game_window.h"

#include "game_fonts.h"
#include "layout.h"
#include "movie_widget.h"
#include "narrator.h"
#include "pictures.h"
#include "rounds.h"
#include "shown_texts.h"
#include "sound_player.h"
#include "theme.h"

#include <QCloseEvent>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

template <class Label = ReadableLabel>
Label* makeLabel(QWidget* parent, const layout::Rect& rect, const QString& text, const QFont& font,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new Label(text, parent);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout::place(label, rect);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QPushButton* makeButton(QWidget* parent, const layout::Rect& rect, const QString& text,
                        const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setFont(font);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QString::fromLatin1(theme::kButtonStyle));
    button->setCursor(Qt::PointingHandCursor);
    layout::place(button, rect);
    return button;
}

MovieWidget* makeMovie(QWidget* parent, const layout::Rect& rect, ScaleMode mode) {
    auto* movie = new MovieWidget(mode, parent);
    movie->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout::place(movie, rect);
    return movie;
}

// Room left between a glyph's ink and the edge of its place.
constexpr int kGlyphMargin = 4;

RoundedFrame* makeFrame(QWidget* parent, const layout::Rect& rect) {
    auto* frame =
        new RoundedFrame(theme::kPanelText, theme::kPanelBorderWidth, theme::kPanelFill, parent);
    layout::place(frame, rect);
    return frame;
}

} // namespace

GameWindow::GameWindow(game::Game& game, std::unique_ptr<SoundPlayer> sound, QWidget* parent)
    : QWidget(parent), game_(game), sound_(std::move(sound)), baseDir_(media::currentDirectory()) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // Any size: the design is drawn scaled to the window, keeping its proportions.
    const QSize designed = twips::toPixels(layout::kGameWindow).size();
    setMinimumSize(designed / 4);
    resize(designed);
    layout::setScene(this, layout::fitScene(layout::kGameWindow, designed));
    setFont(fonts::caption(8, false));

    buildControls();
    retranslate();
    // Last, so that the pictures decoded on another thread meanwhile are ready.
    loadPictures();
    scaleBackdrop();
    showPictures();

    narrator_ = new a11y::Narrator(game_, this);
    drawNewGame();
    connectGame();
}

GameWindow::~GameWindow() = default;

void GameWindow::loadPictures() {
    // The double-size pictures once a picture is drawn larger than designed.
    const qreal ratio = devicePixelRatioF() * layout::sceneOf(this).scale;
    const bool doubleSize = ratio > 1.0;
    if (picturesLoaded_ && doubleSize == doubleSizePictures_)
        return;
    picturesLoaded_ = true;
    doubleSizePictures_ = doubleSize;
    designedBackdrop_ = pictures::load(pictures::kBackground, ratio);
    briefcasePicture_ = pictures::load(pictures::kBriefcase, ratio);
    logoPicture_ = pictures::load(pictures::kLogo, ratio);
    historyFramePicture_ = pictures::load(pictures::kHistoryFrame, ratio);
    for (int i = 0; i < game::kCaseCount; ++i)
        platePixmaps_[i] = pictures::load(pictures::plateName(i), ratio);
}

void GameWindow::showPictures() {
    ui_.logo->setPicture(logoPicture_);
    ui_.historyFrame->setPixmap(historyFramePicture_);
    for (int i = 0; i < game::kCaseCount; ++i) {
        ui_.caseBriefcases[i]->setPixmap(briefcasePicture_);
        ui_.casePlates[i]->setPicture(platePixmaps_[game::plateForCase(state().caseSkin, i)]);
    }
}

void GameWindow::scaleBackdrop() {
    // Scaled once per size, so that a paint only copies the part it needs.
    const layout::Scene scene = layout::sceneOf(this);
    const QSize drawn = twips::toPixels(layout::kGameWindow, scene.scale, {}).size();
    const qreal dpr = devicePixelRatioF();
    if (designedBackdrop_.isNull() || drawn.isEmpty()) {
        backdrop_ = QPixmap();
        return;
    }
    backdrop_ =
        designedBackdrop_.scaled(drawn * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    backdrop_.setDevicePixelRatio(dpr);
}

void GameWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates oldState = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if (isFullScreen() && !(oldState & Qt::WindowFullScreen)) {
        placeBeforeFullScreen_ = geometry();
        // Without a window manager nobody else makes the window as large as
        // the screen, or gives it back its place after.
        // (Through the window: the widget's setGeometry() would end its full
        // screen state.)
        QTimer::singleShot(0, this, [this] {
            if (isFullScreen() && windowHandle() && screen() && geometry() != screen()->geometry())
                windowHandle()->setGeometry(screen()->geometry());
        });
    } else if (!isFullScreen() && (oldState & Qt::WindowFullScreen) && !isMaximized() &&
               placeBeforeFullScreen_.isValid() && geometry() != placeBeforeFullScreen_) {
        setGeometry(placeBeforeFullScreen_);
    }
}

QRect GameWindow::placeOutsideFullScreen() const {
    return isFullScreen() && placeBeforeFullScreen_.isValid() ? placeBeforeFullScreen_ : geometry();
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layout::setScene(this, layout::fitScene(layout::kGameWindow, size()));
    const bool wasDoubleSize = doubleSizePictures_;
    loadPictures();
    if (wasDoubleSize != doubleSizePictures_)
        showPictures();
    scaleBackdrop();
    update();
}

void GameWindow::buildControls() {
    const QFont caption12 = fonts::caption(12);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, theme::kText);
    setPalette(palette);

    // The offer history in its frame, and the cover that hides it while no history
    // is shown.
    ui_.historyFrame = new QLabel(this);
    ui_.historyFrame->setScaledContents(true);
    ui_.historyFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout::place(ui_.historyFrame, layout::kHistoryFrame);
    ui_.historyTitle = makeLabel(this, layout::kHistoryTitle, QString(), caption12);
    setTextColour(ui_.historyTitle, theme::kTextOnBackdrop);
    for (int row = 0; row < game::kHistoryRowsShown; ++row) {
        ui_.historyPlates[row] = makeMovie(this, layout::historyPlate(row), ScaleMode::ExactFit);
        ui_.historyAmounts[row] = makeLabel(this, layout::historyAmount(row), QString(),
                                            fonts::digits(11.25), Qt::AlignHCenter | Qt::AlignTop);
        ui_.historySoldMarks[row] =
            makeLabel(this, layout::historySoldMark(row), QString(QChar(0x2605)),
                      fonts::caption(16, false), Qt::AlignCenter);
        setTextColour(ui_.historySoldMarks[row], theme::kTextOnBackdrop);
    }

    ui_.historyCover = new BackdropCover(&backdrop_, this);
    layout::place(ui_.historyCover, layout::kHistoryCover);

    // Bottom row, over the history cover, under its texts.
    ui_.winningsPanel = makeMovie(this, layout::kWinningsPanel, ScaleMode::ExactFit);
    ui_.captionFrame = makeFrame(this, layout::kCaptionFrame);
    ui_.numberFrame = makeFrame(this, layout::kNumberFrame);
    ui_.phoneFrame = makeFrame(this, layout::kPhoneFrame);
    ui_.counterCaption =
        makeLabel<FittedCaption>(this, layout::kCounterCaption, QString(), caption12);
    ui_.counterNumber = makeLabel(this, layout::kCounterNumber, QString(),
                                  fonts::digits(32.25, false), Qt::AlignHCenter | Qt::AlignTop);
    // The glyph is drawn as large as the design has it, but no larger than fits
    // inside its frame's border.
    const QString phone(QChar(0x260E));
    const QSizeF phoneBox = QSizeF(twips::toPixels(layout::kPhoneGlyph).size()) -
                            QSizeF(2 * kGlyphMargin, 2 * kGlyphMargin);
    const QFont phoneFont = fonts::caption(30, false);
    phoneGlyph_ =
        makeLabel<FittedSymbol>(this, layout::kPhoneGlyph, phone, phoneFont, Qt::AlignCenter);
    phoneGlyph_->fitTo(phoneFont, phoneBox);
    ui_.phoneGlyph = phoneGlyph_;
    for (QLabel* label : {ui_.counterCaption, ui_.counterNumber, ui_.phoneGlyph})
        setTextColour(label, theme::kPanelText);
    ui_.winningsTitle = makeLabel(this, layout::kWinningsTitle, QString(), fonts::caption(18),
                                  Qt::AlignHCenter | Qt::AlignTop);
    ui_.winningsAmount = makeLabel(this, layout::kWinningsAmount, QString(),
                                   fonts::digits(27.75, false), Qt::AlignHCenter | Qt::AlignTop);

    // The offer panel.
    ui_.offerPanel = makeMovie(this, layout::kOfferPanel, ScaleMode::ExactFit);
    ui_.offerAmount = makeLabel<FittedCaption>(this, layout::kOfferAmount, QString(),
                                               fonts::offer(36), Qt::AlignHCenter | Qt::AlignTop);
    ui_.soldCaption = makeLabel(this, layout::kSoldCaption, QString(), caption12,
                                Qt::AlignLeft | Qt::AlignVCenter);
    setTextColour(ui_.soldCaption, theme::kTextOnBackdrop);

    // The amount board.
    for (int rank = 0; rank < game::kCaseCount; ++rank) {
        ui_.boardPlates[rank] = makeMovie(this, layout::boardPlate(rank), ScaleMode::ExactFit);
        ui_.boardAmounts[rank] = makeLabel(this, layout::boardAmount(rank), QString(),
                                           fonts::digits(12), Qt::AlignHCenter | Qt::AlignTop);
    }

    // Buttons and the title logo.
    const QFont buttonFont = fonts::caption(24);
    ui_.startButton = makeButton(this, layout::kStartButton, QString(), buttonFont);
    ui_.newGameButton = makeButton(this, layout::kNewGameButton, QString(), buttonFont);
    ui_.acceptButton = makeButton(this, layout::kAcceptButton, QString(), fonts::caption(11.25));
    ui_.declineButton = makeButton(this, layout::kDeclineButton, QString(), fonts::caption(11.25));
    connect(ui_.startButton, &QPushButton::clicked, &game_, &game::Game::start);
    connect(ui_.newGameButton, &QPushButton::clicked, &game_, &game::Game::askNewGame);
    connect(ui_.acceptButton, &QPushButton::clicked, &game_, &game::Game::accept);
    connect(ui_.declineButton, &QPushButton::clicked, &game_, &game::Game::decline);

    ui_.logo = new ClickablePicture(this);
    ui_.logo->setCursor(Qt::PointingHandCursor);
    layout::place(ui_.logo, layout::kLogo);
    connect(ui_.logo, &ClickablePicture::clicked, this, &GameWindow::creditsRequested);

    // The cases last, so that a case set down at its spot lies above everything.
    for (int i = 0; i < game::kCaseCount; ++i)
        buildCase(i);
}

void GameWindow::retranslate() {
    setWindowTitle(tr("? ЗОРБАН !"));
    ui_.historyTitle->setText(tr("Банк предлагал:"));
    ui_.winningsTitle->setText(tr("Выигрыш"));
    ui_.startButton->setText(tr("Начать игру"));
    ui_.newGameButton->setText(tr("Новая игра"));
    ui_.acceptButton->setText(tr("ДА"));
    ui_.declineButton->setText(tr("НЕТ"));
    ui_.soldCaption->setText(tr("продано"));
    for (QLabel* mark : ui_.historySoldMarks)
        mark->setAccessibleName(tr("продано"));
    ui_.logo->setToolTip(tr("Об авторах"));
    for (auto shown = gameTexts_.cbegin(); shown != gameTexts_.cend(); ++shown)
        shown.key()->setText(shown.value()());
    if (game_.phase() == game::Phase::ExchangePick && !i18n::exchangeOfferShownWhilePicking())
        ui_.offerAmount->hide();
}

void GameWindow::showGameText(QLabel* label, std::function<QString()> text) {
    label->setText(text());
    gameTexts_.insert(label, std::move(text));
}

void GameWindow::buildCase(int i) {
    ui_.caseBriefcases[i] = new QLabel(this);
    ui_.caseBriefcases[i]->setScaledContents(true);
    ui_.caseBriefcases[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout::place(ui_.caseBriefcases[i], layout::caseBriefcase(i));

    ui_.caseAmounts[i] = makeLabel(this, layout::caseAmount(i), QString(), fonts::digits(6),
                                   Qt::AlignHCenter | Qt::AlignTop);
    ui_.caseAmounts[i]->setWordWrap(false);

    ui_.caseLids[i] = makeMovie(this, layout::caseLid(i), ScaleMode::ShowAll);

    ui_.casePlates[i] = new ClickablePicture(this);
    ui_.casePlates[i]->setCursor(Qt::PointingHandCursor);
    layout::place(ui_.casePlates[i], layout::casePlate(i));
    connect(ui_.casePlates[i], &ClickablePicture::clicked, &game_,
            [this, i] { game_.pressCase(i); });
}

// The window as a newly loaded game shows it: the window is built bare and
// drawn through this one description, and so is every new game. Whatever a game
// shows, hides, moves, plays or writes on the window is set here.
void GameWindow::drawNewGame() {
    // Shown at the load; every other control a game shows is hidden.
    ui_.startButton->show();
    ui_.historyCover->show();
    std::vector<QWidget*> hidden = {
        ui_.historyFrame,   ui_.historyTitle,   ui_.winningsPanel, ui_.winningsTitle,
        ui_.winningsAmount, ui_.newGameButton,  ui_.acceptButton,  ui_.declineButton,
        ui_.offerAmount,    ui_.counterCaption, ui_.counterNumber, ui_.phoneGlyph,
        ui_.captionFrame,   ui_.numberFrame,    ui_.phoneFrame,    ui_.soldCaption};
    hidden.insert(hidden.end(), ui_.historyPlates.begin(), ui_.historyPlates.end());
    hidden.insert(hidden.end(), ui_.historySoldMarks.begin(), ui_.historySoldMarks.end());
    hidden.insert(hidden.end(), ui_.historyAmounts.begin(), ui_.historyAmounts.end());
    hidden.insert(hidden.end(), ui_.boardPlates.begin(), ui_.boardPlates.end());
    for (QWidget* widget : hidden)
        widget->hide();
    for (int k = 0; k < game::kCaseCount; ++k)
        ui_.boardAmounts[k]->setVisible(state().boardShown[static_cast<size_t>(k)]);

    soldHistoryEntry_ = 0; // no offer sold yet

    // The texts a game writes: the widest amount where an amount goes, until the
    // game writes its own (in no language: nothing of the last game comes back
    // with a switch of language).
    const QString widestAmount = QStringLiteral("3 000 000");
    std::vector<std::pair<QLabel*, QString>> texts = {
        {ui_.offerAmount, QStringLiteral("0")},
        {ui_.winningsAmount, widestAmount},
        {ui_.counterNumber, QString::number(state().counter)}};
    for (int row = 0; row < game::kHistoryRowsShown; ++row)
        texts.emplace_back(ui_.historyAmounts[row], widestAmount);
    for (int k = 0; k < game::kCaseCount; ++k) {
        texts.emplace_back(ui_.boardAmounts[k], widestAmount);
        texts.emplace_back(ui_.caseAmounts[k], QStringLiteral("0"));
    }
    for (const auto& [label, text] : texts) {
        gameTexts_.remove(label);
        label->setText(text);
    }
    showGameText(ui_.counterCaption, i18n::chooseSwapCasePrompt);

    // The movies at their first frame, standing still.
    ui_.offerPanel->setFile(QString());
    for (MovieWidget* plate : ui_.historyPlates)
        loadMovie(plate, media::kMovieOpenPlate);
    for (int k = 0; k < game::kCaseCount; ++k) {
        loadMovie(ui_.boardPlates[k], media::kMovieOpenPlate);
        loadMovie(ui_.caseLids[k], media::kMovieLidOpen);
        ui_.caseLids[k]->jumpToFrame(1);
    }
    loadMovie(ui_.winningsPanel, media::kMovieBankOpen);

    // Every case closed, home in its cell, with the plate of the new arrangement.
    for (int i = 0; i < game::kCaseCount; ++i) {
        layout::place(ui_.casePlates[i], layout::casePlate(i));
        layout::place(ui_.caseBriefcases[i], layout::caseBriefcase(i));
        layout::place(ui_.caseAmounts[i], layout::caseAmount(i));
        layout::place(ui_.caseLids[i], layout::caseLid(i));
        ui_.casePlates[i]->setPicture(platePixmaps_[game::plateForCase(state().caseSkin, i)]);
        ui_.casePlates[i]->show();
    }
    setCasesEnabled(game_.casesEnabled());
}

void GameWindow::prepareForPlay() {
    for (MovieWidget* movie : findChildren<MovieWidget*>())
        static_cast<void>(movie->isLoaded());
    phoneGlyph_->fit();
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QPoint origin = layout::sceneOf(this).origin;
    // The margins around the scene.
    const QRegion margins =
        QRegion(rect()) - QRegion(QRect(origin, backdrop_.deviceIndependentSize().toSize()));
    for (const QRect& margin : margins & event->region())
        painter.fillRect(margin, theme::kMargin);
    if (!backdrop_.isNull())
        painter.drawPixmap(origin, backdrop_);
}

void GameWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

void GameWindow::setCasesEnabled(bool enabled) {
    for (ClickablePicture* plate : ui_.casePlates)
        plate->setEnabled(enabled);
}

void GameWindow::setCounterPanelVisible(bool visible) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_.counterCaption, ui_.counterNumber, ui_.phoneGlyph,
                                         ui_.captionFrame, ui_.numberFrame, ui_.phoneFrame})
        w->setVisible(visible);
}

void GameWindow::loadMovie(MovieWidget* movie, const QString& relativePath) {
    movie->setFile(media::locate(baseDir_, relativePath));
    movie->setLoop(false);
}
