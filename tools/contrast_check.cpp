// Plays whole seeded games in the real game window (offscreen, silent) and, at
// every step, measures how well every text the window shows stands out from what
// lies behind it: the WCAG 2 contrast ratio between the text's colour and the
// background, pixel by pixel. Movies that start at a step (a plate unfolding, the
// banker's panel coming or going, a lid opening) are stepped through every one of
// their frames, so the moments when a text floats before its panel has arrived
// are measured too. Prints one Markdown table (the worst case of each control at
// each moment) and exits 1 when any text is under 4.5:1.
//
//   contrast_check [--lang ru|en] [--shots DIR] [--all]
//
// --lang: the language the game speaks (Russian by default). Every text is also
// checked to fit its place at the designed size: a label's or button's text, as
// QFontMetrics measures it in the control's font, as wide as its place at most,
// and wrapped onto no more lines than the place holds; the counter's caption as
// it lays itself out. A text that does not fit is listed and fails the check.
// --shots DIR writes a PNG of the window at each moment (settled, and the frame
// of its worst contrast when that is another one); --all also lists, for each
// row, the game and frame of its worst case.
//
// How a text is measured, for a control C at a region R of the window:
// - what lies behind: the window grabbed at R with C hidden (a button keeps its
//   face and loses its text);
// - the text's own pixels: C rendered alone onto a transparent picture gives, per
//   pixel, how much the text covers it and in which colour (a button's text
//   colour comes from its palette and its coverage from the two grabs);
// - what covers the text: the controls above C rendered alone at R;
// - a text pixel is one the text covers by half or more and nothing above covers
//   by half or more; its contrast is that of the text colour against the
//   background pixel under it. The control's figure is its lowest.
#include "contrast.h"
#include "game_harness.h"
#include "language.h"
#include "movie_widget.h"
#include "rounds.h"
#include "widgets.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextLayout>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr double kRequired = 4.5;

// How a scripted player plays one game.
struct Script {
    QString name;
    int ownCase = 21;
    std::vector<std::vector<float>> exchangeDraws; // at each offer, in order
    QString answers; // 'y' or 'n' for each offer that waits for an answer
    std::vector<int> swapPicks;
    std::vector<int> openingOrder = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                     11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
};

// The controls that show text, under the names the window gives them; indexed
// ones share the name of their group.
QMap<const QWidget*, QString> textControlNames(const GameWindow* w) {
    const GameWindow::Controls& c = w->controls();
    QMap<const QWidget*, QString> names;
    for (int i = 0; i < game::kCaseCount; ++i) {
        names[c.caseAmounts[i]] = QStringLiteral("caseAmounts[*]");
        names[c.boardAmounts[i]] = QStringLiteral("boardAmounts[*]");
    }
    for (QLabel* amount : c.historyAmounts)
        names[amount] = QStringLiteral("historyAmounts[*]");
    for (QLabel* mark : c.historySoldMarks)
        names[mark] = QStringLiteral("historySoldMarks[*]");
    names[c.soldCaption] = QStringLiteral("soldCaption");
    names[c.historyTitle] = QStringLiteral("historyTitle");
    names[c.offerAmount] = QStringLiteral("offerAmount");
    names[c.acceptButton] = QStringLiteral("acceptButton");
    names[c.declineButton] = QStringLiteral("declineButton");
    names[c.counterCaption] = QStringLiteral("counterCaption");
    names[c.counterNumber] = QStringLiteral("counterNumber");
    names[c.phoneGlyph] = QStringLiteral("phoneGlyph");
    names[c.winningsTitle] = QStringLiteral("winningsTitle");
    names[c.winningsAmount] = QStringLiteral("winningsAmount");
    names[c.startButton] = QStringLiteral("startButton");
    names[c.newGameButton] = QStringLiteral("newGameButton");
    return names;
}

QString textOf(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QPushButton*>(control))
        return button->text();
    return {};
}

QImage grabAt(QWidget* window, const QRect& region) {
    return window->grab(region).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage transparentImage(const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Renders a child of the window alone (no background) into image, which covers
// the window's region.
void renderAlone(QWidget* child, QImage& image, const QRect& region) {
    const QRect overlap = child->geometry() & region;
    if (overlap.isEmpty())
        return;
    child->render(&image, overlap.topLeft() - region.topLeft(),
                  QRegion(overlap.translated(-child->pos())), QWidget::RenderFlags());
}

// How a control's text goes out of its place ("" when it fits): the text's
// size against the place's, in pixels.
QString overflowOf(QWidget* control) {
    const QString text = textOf(control);
    if (text.trimmed().isEmpty())
        return {};
    QSize place;
    QSize needed;
    if (auto* caption = qobject_cast<FittedCaption*>(control)) {
        const QTextLayout& layout = caption->textLayout();
        place = caption->contentsRect().size();
        double width = 0;
        for (int i = 0; i < layout.lineCount(); ++i)
            width = std::max(width, layout.lineAt(i).naturalTextWidth());
        needed = QSizeF(width, layout.boundingRect().height()).toSize();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        const QFontMetrics metrics(QFont(label->font(), label));
        const QRect box = label->contentsRect();
        place = box.size();
        const int oneLine = metrics.boundingRect(box, int(label->alignment()), text).height();
        // One line may be taller than a place designed tight round its glyphs;
        // a text wrapped onto more lines must fit in height too.
        needed = QSize(metrics.horizontalAdvance(text), std::min(oneLine, box.height()));
        if (label->wordWrap()) {
            const QRect wrapped =
                metrics.boundingRect(box, int(label->alignment()) | Qt::TextWordWrap, text);
            needed.setWidth(wrapped.width());
            if (wrapped.height() > oneLine)
                needed.setHeight(wrapped.height());
        }
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        place =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
        const QFontMetrics metrics(QFont(button->font(), button));
        needed = QSize(metrics.horizontalAdvance(text), metrics.height());
    } else {
        return {};
    }
    if (needed.width() <= place.width() && needed.height() <= place.height())
        return {};
    return QStringLiteral("%1x%2 in %3x%4")
        .arg(needed.width())
        .arg(needed.height())
        .arg(place.width())
        .arg(place.height());
}

// The worst contrast of one control's text as it stands, or nothing when none of
// its text can be seen.
struct Reading {
    double contrast = 0;
    int pixels = 0;
};

std::optional<Reading> measure(GameWindow* w, QWidget* control) {
    const QRect region = control->geometry() & w->rect();
    if (region.isEmpty() || textOf(control).trimmed().isEmpty())
        return std::nullopt;
    auto* button = qobject_cast<QPushButton*>(control);

    const QImage withText = grabAt(w, region);
    QImage behind;
    QImage alone = transparentImage(region.size());
    if (button) {
        const QString text = button->text();
        button->setText(QString());
        behind = grabAt(w, region);
        button->setText(text);
    } else {
        renderAlone(control, alone, region);
        control->hide();
        behind = grabAt(w, region);
        control->show();
    }

    // What lies above the control.
    QImage above = transparentImage(region.size());
    const QObjectList& siblings = w->children();
    for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i) {
        auto* sibling = qobject_cast<QWidget*>(siblings[i]);
        if (sibling && !sibling->isHidden())
            renderAlone(sibling, above, region);
    }

    const QColor buttonInk = button ? button->palette().color(QPalette::ButtonText) : QColor();
    Reading reading{1e9, 0};
    for (int y = 0; y < region.height(); ++y) {
        for (int x = 0; x < region.width(); ++x) {
            if (qAlpha(above.pixel(x, y)) >= 128)
                continue;
            const QRgb background = behind.pixel(x, y);
            QRgb ink = 0;
            if (button) {
                // How far the pixel went from the face towards the text colour.
                const QRgb seen = withText.pixel(x, y);
                const double dr = buttonInk.red() - qRed(background);
                const double dg = buttonInk.green() - qGreen(background);
                const double db = buttonInk.blue() - qBlue(background);
                const double span = dr * dr + dg * dg + db * db;
                if (span < 1)
                    continue;
                const double coverage = (dr * (qRed(seen) - qRed(background)) +
                                         dg * (qGreen(seen) - qGreen(background)) +
                                         db * (qBlue(seen) - qBlue(background))) /
                                        span;
                if (coverage < 0.5)
                    continue;
                ink = buttonInk.rgb();
            } else {
                const QRgb own = alone.pixel(x, y);
                if (qAlpha(own) < 128)
                    continue;
                ink = qUnpremultiply(own);
            }
            reading.contrast = std::min(reading.contrast, contrast::ratio(ink, background));
            ++reading.pixels;
        }
    }
    if (reading.pixels == 0)
        return std::nullopt;
    return reading;
}

// The worst reading of a control group at a moment, and where it was seen.
struct Worst {
    double contrast = 1e9;
    QString text;
    QString where;
};

class Report {
  public:
    explicit Report(QString shotsDir) : shotsDir_(std::move(shotsDir)) {}

    // Measures the window as it stands after a step: the movies that play are
    // stepped through their frames together, then left on their last.
    void step(GameWindow* w, const QString& game, const QString& moment) {
        QList<MovieWidget*> playing;
        for (MovieWidget* movie : w->findChildren<MovieWidget*>()) {
            if (movie->isVisible() && movie->isPlaying())
                playing << movie;
        }
        int frames = 1;
        for (MovieWidget* movie : playing)
            frames = std::max(frames, movie->frameCount());
        const QMap<const QWidget*, QString> names = textControlNames(w);
        double worstOfMoment = 1e9;
        int worstFrame = -1;
        for (int frame = 0; frame < frames; ++frame) {
            const bool last = frame == frames - 1;
            for (MovieWidget* movie : playing)
                movie->jumpToFrame(std::min(frame, movie->frameCount() - 1));
            for (auto it = names.begin(); it != names.end(); ++it) {
                auto* control = const_cast<QWidget*>(it.key());
                if (!control->isVisible())
                    continue;
                // Between the first and the last frame only the texts over a moving
                // movie can change.
                if (!last && std::none_of(playing.begin(), playing.end(), [&](MovieWidget* m) {
                        return m->geometry().intersects(control->geometry());
                    }))
                    continue;
                const std::optional<Reading> reading = measure(w, control);
                if (!reading)
                    continue;
                Worst& worst = rows_[{order(moment), it.value()}];
                if (reading->contrast < worst.contrast) {
                    worst.contrast = reading->contrast;
                    worst.text = textOf(control);
                    worst.where = playing.isEmpty() ? game
                                                    : QStringLiteral("%1, movie frame %2/%3")
                                                          .arg(game)
                                                          .arg(frame)
                                                          .arg(frames - 1);
                }
                if (reading->contrast < worstOfMoment) {
                    worstOfMoment = reading->contrast;
                    worstFrame = frame;
                }
            }
            if (last) {
                for (auto it = names.begin(); it != names.end(); ++it) {
                    auto* control = const_cast<QWidget*>(it.key());
                    if (!control->isVisible())
                        continue;
                    const QString overflow = overflowOf(control);
                    const QPair<QString, QString> key{it.value(), textOf(control).simplified()};
                    if (!overflow.isEmpty() && !overflows_.contains(key))
                        overflows_[key] = QStringLiteral("%1 (%2, %3)").arg(overflow, game, moment);
                }
            }
            if (!shotsDir_.isEmpty() && last) {
                save(w, game, moment, QString());
                if (worstFrame >= 0 && worstFrame != frame) {
                    for (MovieWidget* movie : playing)
                        movie->jumpToFrame(std::min(worstFrame, movie->frameCount() - 1));
                    save(w, game, moment, QStringLiteral("-frame%1").arg(worstFrame));
                    for (MovieWidget* movie : playing)
                        movie->jumpToFrame(movie->frameCount() - 1);
                }
            }
        }
        ++steps_;
    }

    // Prints the table; true when every text reads.
    bool print(bool withPlaces) const {
        std::printf("| moment | control | text | contrast | result |%s\n",
                    withPlaces ? " worst seen in |" : "");
        std::printf("|---|---|---|---:|---|%s\n", withPlaces ? "---|" : "");
        bool allRead = true;
        for (auto it = rows_.begin(); it != rows_.end(); ++it) {
            const Worst& worst = it.value();
            const bool reads = worst.contrast >= kRequired;
            allRead = allRead && reads;
            QString text = worst.text.simplified();
            text.replace(QLatin1Char('|'), QStringLiteral("\\|"));
            std::printf("| %s | %s | %s | %.2f:1 | %s |%s\n", qPrintable(moments_[it.key().first]),
                        qPrintable(it.key().second), qPrintable(text), worst.contrast,
                        reads ? "pass" : "FAIL",
                        withPlaces ? qPrintable(QStringLiteral(" %1 |").arg(worst.where)) : "");
        }
        std::printf("\n%d steps measured in %d games (%s); %s\n", steps_, games_,
                    qPrintable(i18n::currentLanguage()),
                    allRead ? "every text reads at 4.5:1 or more" : "some text is under 4.5:1");
        if (overflows_.isEmpty()) {
            std::printf("every text fits its place\n");
        } else {
            std::printf("\n| control | text | needs, in its place (first seen) |\n|---|---|---|\n");
            for (auto it = overflows_.begin(); it != overflows_.end(); ++it)
                std::printf("| %s | %s | %s |\n", qPrintable(it.key().first),
                            qPrintable(it.key().second), qPrintable(it.value()));
            std::printf("\n%d texts do not fit their place\n", int(overflows_.size()));
        }
        return allRead && overflows_.isEmpty();
    }

    void gameDone() { ++games_; }

  private:
    int order(const QString& moment) {
        int index = int(moments_.indexOf(moment));
        if (index < 0) {
            index = int(moments_.size());
            moments_ << moment;
        }
        return index;
    }

    void save(GameWindow* w, const QString& game, const QString& moment, const QString& suffix) {
        QString name = moment;
        name.replace(QRegularExpression(QStringLiteral("[^\\w]+")), QStringLiteral("-"));
        const QString path = QDir(shotsDir_).filePath(QStringLiteral("%1-%2-%3%4.png")
                                                          .arg(game)
                                                          .arg(++shots_, 3, 10, QLatin1Char('0'))
                                                          .arg(name, suffix));
        w->grab().save(path);
    }

    QString shotsDir_;
    QStringList moments_;
    QMap<QPair<int, QString>, Worst> rows_;
    // By control and text: how it overflows, the first time seen.
    QMap<QPair<QString, QString>, QString> overflows_;
    int steps_ = 0;
    int games_ = 0;
    int shots_ = 0;
};

// Plays one scripted game to its end screen, measuring after every step; false
// when the game got stuck.
bool play(const Script& script, Report& report) {
    GameHarness h(wholeGameDraws(script.exchangeDraws));
    GameWindow* w = h.w();
    const GameWindow::Controls& c = w->controls();
    const game::GameState& s = h.app->state();
    auto step = [&](const QString& moment) { report.step(w, script.name, moment); };
    auto endSound = [&] {
        h.endSound();
        QCoreApplication::sendPostedEvents();
    };
    step(QStringLiteral("start"));
    int answer = 0;
    size_t pick = 0;
    for (int turn = 0; turn < 1000; ++turn) {
        switch (w->phase()) {
        case GameWindow::Phase::Loaded:
            QTest::mouseClick(c.startButton, Qt::LeftButton);
            step(QStringLiteral("start clicked"));
            break;
        case GameWindow::Phase::ChoosingOwnCase:
            if (fireIfRunning(h.app->game(), game::Game::Step::BoardReveal)) {
                step(c.counterCaption->isVisible() ? QStringLiteral("choose prompt")
                                                   : QStringLiteral("board reveal"));
            } else {
                if (!GameHarness::click(c.casePlates[script.ownCase]))
                    return false;
                step(QStringLiteral("own case chosen"));
            }
            break;
        case GameWindow::Phase::WaitingForClick: {
            const bool floatingOffer = c.offerAmount->isVisible();
            for (int i : script.openingOrder) {
                if (i != s.ownCase && !c.casePlates[i]->isHidden()) {
                    if (!GameHarness::click(c.casePlates[i]))
                        return false;
                    break;
                }
            }
            if (w->phase() == GameWindow::Phase::Suspense)
                step(QStringLiteral("suspense"));
            else
                step(floatingOffer ? QStringLiteral("opening after ДА to money")
                                   : QStringLiteral("opening"));
            break;
        }
        case GameWindow::Phase::Suspense:
            endSound();
            step(QStringLiteral("opening"));
            break;
        case GameWindow::Phase::OfferPending: {
            const bool history = s.offerCount > 0;
            endSound();
            step(history ? QStringLiteral("offer, history coming") : QStringLiteral("offer"));
            break;
        }
        case GameWindow::Phase::OfferShown:
            if (fireIfRunning(h.app->game(), game::Game::Step::HistoryReveal)) {
                step(QStringLiteral("offer, history reveal"));
            } else if (answer < script.answers.size()) {
                const bool yes = script.answers[answer++] == QLatin1Char('y');
                const bool exchange = s.offer.exchange;
                const int opened = s.openedCount;
                QTest::mouseClick(yes ? c.acceptButton : c.declineButton, Qt::LeftButton);
                if (!yes)
                    step(QStringLiteral("after НЕТ"));
                else if (!exchange)
                    step(QStringLiteral("after ДА to money"));
                else if (opened == 20)
                    step(QStringLiteral("final exchange (ДА to ОБМЕН at 20)"));
                else
                    step(QStringLiteral("after ДА to ОБМЕН: exchange pick"));
            } else {
                return false;
            }
            break;
        case GameWindow::Phase::ExchangePick:
            if (pick >= script.swapPicks.size())
                return false;
            if (!GameHarness::click(c.casePlates[script.swapPicks[pick++]]))
                return false;
            step(QStringLiteral("exchange done"));
            break;
        case GameWindow::Phase::EndOfGame:
            endSound();
            if (fireIfRunning(h.app->game(), game::Game::Step::OwnCaseWait)) {
                step(QStringLiteral("own case opened"));
            } else if (fireIfRunning(h.app->game(), game::Game::Step::WinningsWait)) {
                step(QStringLiteral("end: winnings"));
            }
            break;
        case GameWindow::Phase::GameOver:
            report.gameDone();
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QString shotsDir;
    bool withPlaces = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--shots") && i + 1 < args.size()) {
            shotsDir = QDir(args[++i]).absolutePath();
            QDir().mkpath(shotsDir);
        } else if (args[i] == QStringLiteral("--all")) {
            withPlaces = true;
        } else if (args[i] == QStringLiteral("--lang") && i + 1 < args.size()) {
            const QString language = args[++i];
            if (!i18n::setLanguage(language)) {
                std::fprintf(stderr, "contrast_check: no language \"%s\"\n", qPrintable(language));
                return 2;
            }
        } else {
            std::fprintf(stderr, "usage: contrast_check [--lang ru|en] [--shots DIR] [--all]\n");
            return 2;
        }
    }

    const std::vector<float> none;
    const std::vector<float> twentyYes = {0.75f};
    // Money taken at the second offer: the accepted offer stays on screen through
    // the openings and offers after it, to the end screen.
    Script money;
    money.name = QStringLiteral("money");
    money.ownCase = 3;
    money.exchangeDraws = {none, none, kYesExchange, kNoExchange, kNoExchange, twentyYes};
    money.answers = QStringLiteral("nyny");
    money.openingOrder = {21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11,
                          10, 9,  8,  7,  6,  5,  4,  2,  1,  0};
    // An exchange accepted at twelve (another case picked) and at twenty.
    Script exchanges;
    exchanges.name = QStringLiteral("exchanges");
    exchanges.ownCase = 10;
    exchanges.exchangeDraws = {none, none, kYesExchange, kNoExchange, kNoExchange, twentyYes};
    exchanges.answers = QStringLiteral("nnynny");
    exchanges.swapPicks = {21};
    // Five offers declined (the history fills all its rows), then an exchange
    // accepted at twenty.
    Script finalExchange;
    finalExchange.name = QStringLiteral("final-exchange");
    finalExchange.exchangeDraws = {none, none, kNoExchange, kNoExchange, kNoExchange, twentyYes};
    finalExchange.answers = QStringLiteral("nnnnny");

    Report report(shotsDir);
    for (const Script& script : {money, exchanges, finalExchange}) {
        if (!play(script, report)) {
            std::fprintf(stderr, "contrast_check: game \"%s\" did not reach its end\n",
                         qPrintable(script.name));
            return 2;
        }
    }
    return report.print(withPlaces) ? 0 : 1;
}
