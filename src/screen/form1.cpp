#include "form1.h"

#include "game_fonts.h"
#include "layout.h"
#include "media_files.h"
#include "movie_widget.h"
#include "pictures.h"
#include "rounds.h"
#include "sound_player.h"
#include "theme.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cstdio>

namespace {

QLabel* makeLabel(QWidget* parent, const layout::TwipRect& rect, const QString& text,
                  const QFont& font, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new QLabel(text, parent);
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

QPushButton* makeButton(QWidget* parent, const layout::TwipRect& rect, const QString& text,
                        const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setFont(font);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QString::fromLatin1(theme::kButtonStyle));
    button->setCursor(Qt::PointingHandCursor);
    layout::place(button, rect);
    return button;
}

MovieWidget* makeMovie(QWidget* parent, const layout::TwipRect& rect, ScaleMode mode) {
    auto* movie = new MovieWidget(mode, parent);
    movie->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout::place(movie, rect);
    return movie;
}

} // namespace

Form1::Form1(game::GameState& state, Form1Services services, QWidget* parent)
    : QWidget(parent), s(state), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("? ЗОРБАН !"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(layout::toPixels(layout::kForm1).size());
    setFont(fonts::caption(8, false));

    mp = services_.makeSoundPlayer();
    buildControls();

    main = new IntervalTimer(this, [this] { main_Timer(); });
    Timerchosen = new ClipWaitTimer(this, mp.get(), [this] { Timerchosen_Timer(); });
    Timer1 = new ClipWaitTimer(this, mp.get(), [this] { Timer1_Timer(); });
    TimerPredl = new IntervalTimer(this, [this] { TimerPredl_Timer(); });
    final = new IntervalTimer(this, [this] { final_Timer(); });
    finish = new IntervalTimer(this, [this] { finish_Timer(); });

    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const QFont caption12 = fonts::caption(12);
    backdrop_ = pictures::load(pictures::kBackground, dpr);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, theme::kText);
    setPalette(palette);

    // The offer history, and the cover that hides it while no history is shown.
    Label3 = makeLabel(this, layout::kLabel3, QStringLiteral("Банк предлагал:"), caption12);
    setTextColour(Label3, theme::kTextOnBackdrop);
    Label3->hide();
    for (int row = 0; row < 5; ++row) {
        flashPredl[row] = makeMovie(this, layout::historyPlate(row), ScaleMode::ExactFit);
        labelPredl[row] = makeLabel(this, layout::historyLabel(row), QStringLiteral("3 000 000"),
                                    fonts::digits(11.25), Qt::AlignHCenter | Qt::AlignTop);
        flashPredl[row]->hide();
        labelPredl[row]->hide();
    }

    Label4 = new BackdropCover(&backdrop_, this);
    layout::place(Label4, layout::kLabel4);

    // Bottom row, over the history cover, under its texts.
    WinFlash = makeMovie(this, layout::kWinFlash, ScaleMode::ExactFit);
    WinFlash->hide();
    Shape1 = new ShapeWidget(theme::kPanelText, theme::kPanelBorderWidth, theme::kPanelFill, this);
    Shape2 = new ShapeWidget(theme::kPanelText, theme::kPanelBorderWidth, theme::kPanelFill, this);
    Shape3 = new ShapeWidget(theme::kPanelText, theme::kPanelBorderWidth, theme::kPanelFill, this);
    layout::place(Shape1, layout::kShape1);
    layout::place(Shape2, layout::kShape2);
    layout::place(Shape3, layout::kShape3);
    Label5 = makeLabel(this, layout::kLabel5, game::kChooseSwapCasePrompt, caption12);
    Label6 = makeLabel(this, layout::kLabel6, QStringLiteral("6"), fonts::digits(32.25, false),
                       Qt::AlignHCenter | Qt::AlignTop);
    Label7 = makeLabel(this, layout::kLabel7, QString(QChar(0x260E)), fonts::caption(30, false),
                       Qt::AlignHCenter | Qt::AlignTop);
    for (QLabel* label : {Label5, Label6, Label7})
        setTextColour(label, theme::kPanelText);
    winlabel = makeLabel(this, layout::kWinLabel, QStringLiteral("Выигрыш"), fonts::caption(18),
                         Qt::AlignHCenter | Qt::AlignTop);
    win = makeLabel(this, layout::kWin, QStringLiteral("3 000 000"), fonts::digits(27.75, false),
                    Qt::AlignHCenter | Qt::AlignTop);
    for (QWidget* w : std::initializer_list<QWidget*>{Shape1, Shape2, Shape3, Label5, Label6,
                                                      Label7, winlabel, win})
        w->hide();

    // The offer panel.
    BankFlash = makeMovie(this, layout::kBankFlash, ScaleMode::ExactFit);
    LabelBank = makeLabel(this, layout::kLabelBank, QStringLiteral("0"), fonts::offer(36),
                          Qt::AlignHCenter | Qt::AlignTop);
    LabelBank->hide();

    // The amount board.
    for (int rank = 0; rank < game::kCaseCount; ++rank) {
        plast[rank] = makeMovie(this, layout::boardPlate(rank), ScaleMode::ExactFit);
        labelSum[rank] = makeLabel(this, layout::boardLabel(rank), QStringLiteral("3 000 000"),
                                   fonts::digits(12), Qt::AlignHCenter | Qt::AlignTop);
    }

    // Buttons and the title logo.
    const QFont buttonFont = fonts::caption(24);
    Command1 = makeButton(this, layout::kCommand1, QStringLiteral("Начать игру"), buttonFont);
    Command2 = makeButton(this, layout::kCommand2, QStringLiteral("Новая игра"), buttonFont);
    Command2->hide();
    yes = makeButton(this, layout::kYes, QStringLiteral("ДА"), fonts::caption(11.25));
    no = makeButton(this, layout::kNo, QStringLiteral("НЕТ"), fonts::caption(11.25));
    yes->hide();
    no->hide();
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(yes, &QPushButton::clicked, this, [this] { yes_Click(); });
    connect(no, &QPushButton::clicked, this, [this] { no_Click(); });

    Picture1 = new ClickablePicture(this);
    Picture1->setPicture(pictures::load(pictures::kLogo, dpr));
    Picture1->setToolTip(QStringLiteral("Об авторах"));
    Picture1->setCursor(Qt::PointingHandCursor);
    layout::place(Picture1, layout::kPicture1);
    connect(Picture1, &ClickablePicture::clicked, this, [this] { Picture1_Click(); });

    metka = makeLabel(this, layout::kMetka, QStringLiteral("Метка для чемодана"), font());
    obmenMetka = makeLabel(this, layout::kObmenMetka, QStringLiteral("Метка для обмена"), font());
    metka->hide();
    obmenMetka->hide();

    // The cases last, so that a case set down at its mark lies above everything.
    const QPixmap briefcase = pictures::load(pictures::kBriefcase, dpr);
    for (int i = 0; i < game::kCaseCount; ++i) {
        Chem[i] = pictures::load(pictures::plateName(i), dpr);
        buildCase(i);
        Image1[i]->setPixmap(briefcase);
    }
}

void Form1::buildCase(int i) {
    Image1[i] = new QLabel(this);
    Image1[i]->setScaledContents(true);
    Image1[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout::place(Image1[i], layout::caseBriefcase(i));

    Label2[i] = makeLabel(this, layout::caseAmount(i), QStringLiteral("0"), fonts::digits(6),
                          Qt::AlignHCenter | Qt::AlignTop);
    Label2[i]->setWordWrap(false);

    Крышка[i] = makeMovie(this, layout::caseLid(i), ScaleMode::ShowAll);

    Label1[i] = new ClickablePicture(this);
    Label1[i]->setPicture(Chem[i]);
    Label1[i]->setCursor(Qt::PointingHandCursor);
    layout::place(Label1[i], layout::casePlate(i));
    connect(Label1[i], &ClickablePicture::clicked, this, [this, i] { Label1_Click(i); });
}

void Form1::Form_Load() {
    s.swapOfferAllowed = true;
    s.swapPending = false;
    s.finalSwapDone = false;
    s.baseDir = QDir::currentPath();

    log_.setPath(QDir(s.baseDir).filePath(QStringLiteral("log.txt")));
    if (!log_.reset()) {
        // The game can be played without its log; say so once and go on.
        std::fprintf(stderr, "zorban: cannot empty the game log %s: %s\n",
                     qPrintable(QDir::toNativeSeparators(log_.path())),
                     qPrintable(log_.lastError()));
    }

    s.offerCount = 0;
    for (MovieWidget* plate : flashPredl)
        loadMovie(plate, media::kMovieOpenPlate);
    for (int k = 0; k < game::kCaseCount; ++k) {
        loadMovie(plast[k], media::kMovieOpenPlate);
        loadMovie(Крышка[k], media::kMovieLidOpen);
        Крышка[k]->setFrameNum(1);
    }
    loadMovie(WinFlash, media::kMovieBankOpen);
    setCasesEnabled(false);
    for (int k = 0; k < game::kCaseCount; ++k) {
        labelSum[k]->hide();
        plast[k]->hide();
    }
    s.openedCount = -1;
    s.ownCase = -1;
    services_.random->reseedFromTimeOfDay();
    s.caseSkin = static_cast<quint8>(game::drawBelow(*services_.random, 3));
    for (int i = 0; i < game::kCaseCount; ++i)
        Label1[i]->setPicture(Chem[game::plateForCase(s.caseSkin, i)]);
    phase_ = Phase::Loaded;
}

void Form1::paintEvent(QPaintEvent*) {
    if (backdrop_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, backdrop_);
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    if (services_.closed)
        services_.closed();
}

void Form1::setCasesEnabled(bool enabled) {
    for (ClickablePicture* plate : Label1)
        plate->setEnabled(enabled);
}

void Form1::setCounterPanelVisible(bool visible) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label5, Label6, Label7, Shape1, Shape2, Shape3})
        w->setVisible(visible);
}

void Form1::hideHistory() {
    Label4->show();
    Label3->hide();
    for (int row = 0; row < 5; ++row) {
        flashPredl[row]->hide();
        labelPredl[row]->hide();
    }
}

void Form1::playSound(const QString& relativePath) {
    mp->setFileName(media::locate(QDir::currentPath(), relativePath));
}

void Form1::loadMovie(MovieWidget* movie, const QString& relativePath) {
    movie->setMovie(media::locate(s.baseDir, relativePath));
    movie->setLoop(false);
}

void Form1::placeCaseAt(int i, int anchorLeft, int anchorTop) {
    layout::setLeft(Label1[i], anchorLeft);
    layout::setTop(Label1[i], anchorTop + layout::kPlateBelowAnchor);
    layout::setLeft(Image1[i], anchorLeft);
    layout::setTop(Image1[i], anchorTop);
    layout::setTop(Label2[i], anchorTop + layout::kAmountBelowAnchor);
    layout::setLeft(Label2[i], anchorLeft);
    layout::setLeft(Крышка[i], anchorLeft);
    layout::setTop(Крышка[i], anchorTop);
}

void Form1::writeLog(const QString& record) {
    if (log_.append(record)) {
        return;
    }
    if (logFailureShown_)
        return;
    logFailureShown_ = true;
    std::fprintf(stderr, "zorban: cannot write the game log %s: %s\n",
                 qPrintable(QDir::toNativeSeparators(log_.path())), qPrintable(log_.lastError()));
    if (services_.logFailed)
        services_.logFailed(QDir::toNativeSeparators(log_.path()), log_.lastError());
}
